#pragma once

#include "runtime/FileError.h"
#include "runtime/NativeFile.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace runtime {

// Sends the bytes of finished files on their way to the medium on a thread of its own, while
// the thread that wrote them goes on with the next one: the medium writes while the job still
// copies, and the copy never waits for the medium.
class Writeback {
public:
    Writeback() = default;
    // What still waits is closed without being flushed; the thread has ended when it returns.
    ~Writeback();
    Writeback(const Writeback&) = delete;
    Writeback& operator=(const Writeback&) = delete;

    // The file, written to its end, is the writeback's to flush and close; path names it in a
    // failure.
    void take(NativeHandle file, std::string path);
    // Waits until every file taken is closed, on Windows with its bytes on the medium, and
    // throws the first failure of any.
    void finish();
    // Closes what still waits without flushing it and waits for the file on its way: the files
    // are to go again, and Windows removes no file that is open.
    void abandon();

private:
    struct Finished {
        NativeHandle file;
        std::string path;
    };

    void run(std::stop_token stop);
    void keepFailure(std::optional<FileError> failure);

    // The system's part, once for each system: sends the file's bytes on their way (Linux) or
    // puts them on the medium (Windows), and closes the file.
    static std::optional<FileError> flushAndClose(const Finished& file);
    static std::optional<FileError> close(const Finished& file);
    // Files that may wait at once. Where a program may hold few files open (Linux), one more is
    // closed at once instead: the flush at the job's end puts its bytes on the medium.
    static const std::size_t kMostWaiting;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Finished> waiting_;  // guarded by mutex_
    bool busy_ = false;             // guarded by mutex_: the thread is at a file
    std::optional<FileError> failure_;  // guarded by mutex_: the first
    std::jthread thread_;
};

} // namespace runtime
