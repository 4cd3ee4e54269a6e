#include "SourceDigests.h"

#include <vector>

namespace engine {

namespace {

// Large enough that a call costs nothing beside the hashing, small enough to stop at once.
constexpr std::size_t kHashBuffer = 1 << 20;

} // namespace

SourceDigests::SourceDigests(const runtime::InputFile& source, const CuttingPlan& plan,
                             std::function<void(std::int64_t, const Digest&)> pieceDone, Digests digests)
    : source_(source)
    , plan_(plan)
    , pieceDone_(std::move(pieceDone))
{
    if (digests == Digests::Worked) {
        wholeThread_ = std::thread([this] { run(&SourceDigests::hashWhole); });
        piecesThread_ = std::thread([this] { run(&SourceDigests::hashPieces); });
        return;
    }
    for (std::int64_t number = 1; number <= plan_.pieceCount; ++number)
        pieceDone_(number, Digest{});
    wholeDone_ = piecesDone_ = plan_.sourceLength;
    threadsDone_ = 2;
}

SourceDigests::~SourceDigests()
{
    stop_.request_stop();
    for (std::thread* thread : {&wholeThread_, &piecesThread_}) {
        if (thread->joinable())
            thread->join();
    }
}

void SourceDigests::run(void (SourceDigests::*hashing)())
{
    std::exception_ptr failure;
    try {
        (this->*hashing)();
    } catch (...) {
        failure = std::current_exception();
        stop_.request_stop();
    }
    {
        std::lock_guard lock(mutex_);
        if (failure && !failure_)
            failure_ = failure;
        ++threadsDone_;
        ++newsCount_;
    }
    news_.notify_all();
}

bool SourceDigests::hash(runtime::ByteCount offset, runtime::ByteCount length, runtime::Sha256& sha,
                         std::atomic<runtime::ByteCount>& done)
{
    std::vector<std::byte> buffer(static_cast<std::size_t>(std::min<runtime::ByteCount>(length, kHashBuffer)));
    for (runtime::ByteCount hashed = 0; hashed < length;) {
        if (stop_.stop_requested())
            return false;
        const auto block = std::span(buffer).first(
            static_cast<std::size_t>(std::min<runtime::ByteCount>(length - hashed, kHashBuffer)));
        source_.readAt(offset + hashed, block);
        sha.add(block);
        hashed += static_cast<runtime::ByteCount>(block.size());
        done += static_cast<runtime::ByteCount>(block.size());
        {
            std::lock_guard lock(mutex_);
            ++newsCount_;
        }
        news_.notify_all();
    }
    return true;
}

void SourceDigests::hashWhole()
{
    runtime::Sha256 sha;
    if (hash(0, plan_.sourceLength, sha, wholeDone_))
        whole_ = sha.finish();
}

void SourceDigests::hashPieces()
{
    runtime::Sha256 sha;
    for (std::int64_t number = 1; number <= plan_.pieceCount; ++number) {
        if (!hash((number - 1) * plan_.pieceLength, plan_.lengthOf(number), sha, piecesDone_))
            return;
        pieceDone_(number, sha.finish());
    }
}

Digest SourceDigests::wholeDigest(CopyProgress& progress)
{
    for (;;) {
        std::unique_lock lock(mutex_);
        const std::uint64_t seen = newsCount_;
        news_.wait(lock, progress.stopToken(), [&] { return newsCount_ != seen || threadsDone_ == 2; });
        const bool finished = threadsDone_ == 2;
        const std::exception_ptr failure = failure_;
        lock.unlock();
        if (failure)
            std::rethrow_exception(failure);
        progress.stopPoint();
        if (finished)
            return whole_;
    }
}

} // namespace engine
