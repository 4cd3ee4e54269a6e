#pragma once

#include "CopyProgress.h"
#include "CuttingPlan.h"
#include "JoinScript.h"
#include "engine/DateiZerlegen.h"
#include "runtime/InputFile.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace engine {

// The SHA-256 digests the join script checks: of the whole source and of each piece. They are
// worked out on two threads of their own while the job copies, each reading the source for
// itself, so that the job waits for the longer of the copy and the hashing, not for both, and no
// byte the kernel copies passes through this process for them. Each thread holds one buffer,
// however large the file and however many its pieces.
class SourceDigests {
public:
    // pieceDone hears of each piece's digest, in number order, on the pieces' thread; what it
    // throws ends the hashing and comes back from wholeDigest. Left out, every digest is zeros
    // and told at once.
    SourceDigests(const runtime::InputFile& source, const CuttingPlan& plan,
                  std::function<void(std::int64_t number, const Digest& digest)> pieceDone,
                  Digests digests = Digests::Worked);
    // Stops the threads where they still run, and waits for them.
    ~SourceDigests();
    SourceDigests(const SourceDigests&) = delete;
    SourceDigests& operator=(const SourceDigests&) = delete;

    // The bytes of the source both threads are past.
    runtime::ByteCount done() const { return std::min(wholeDone_.load(), piecesDone_.load()); }

    // Waits until both threads are done, telling progress how far they are, and returns the
    // whole file's digest. Throws what a thread failed with, and JobStopped once a stop is asked
    // for.
    Digest wholeDigest(CopyProgress& progress);

private:
    void run(void (SourceDigests::*hashing)());
    void hashWhole();
    void hashPieces();
    // Hashes length bytes of the source from offset, a buffer at a time; false when stopped.
    bool hash(runtime::ByteCount offset, runtime::ByteCount length, runtime::Sha256& sha,
              std::atomic<runtime::ByteCount>& done);

    const runtime::InputFile& source_;
    const CuttingPlan& plan_;
    std::function<void(std::int64_t, const Digest&)> pieceDone_;
    std::stop_source stop_;

    std::mutex mutex_;
    std::condition_variable_any news_;
    std::uint64_t newsCount_ = 0;      // guarded by mutex_: raised with every buffer hashed
    int threadsDone_ = 0;              // guarded by mutex_
    std::exception_ptr failure_;       // guarded by mutex_
    Digest whole_{};                   // written by the whole file's thread before it is done
    std::atomic<runtime::ByteCount> wholeDone_{0}, piecesDone_{0};

    std::thread wholeThread_, piecesThread_;
};

} // namespace engine
