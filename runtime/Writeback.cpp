#include "Writeback.h"

#include <system_error>
#include <utility>

namespace runtime {

Writeback::~Writeback()
{
    if (thread_.joinable()) {
        thread_.request_stop();
        changed_.notify_all();
        thread_.join();
    }
    for (const Finished& file : waiting_)
        close(file);
}

void Writeback::take(NativeHandle file, std::string path)
{
    Finished finished{file, std::move(path)};
    std::unique_lock lock(mutex_);
    if (waiting_.size() >= kMostWaiting) {
        lock.unlock();
        return keepFailure(close(finished));
    }
    if (!thread_.joinable()) {
        try {
            thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
        } catch (const std::system_error&) {
            // No thread to be had: the file goes to the medium on the writing thread.
            lock.unlock();
            return keepFailure(flushAndClose(finished));
        }
    }
    waiting_.push_back(std::move(finished));
    changed_.notify_all();
}

void Writeback::finish()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty() && !busy_; });
    if (failure_)
        throw *std::exchange(failure_, std::nullopt);
}

void Writeback::abandon()
{
    std::unique_lock lock(mutex_);
    for (const Finished& file : waiting_)
        close(file);
    waiting_.clear();
    changed_.wait(lock, [this] { return !busy_; });
    failure_.reset();
}

void Writeback::run(std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop.stop_requested() || !waiting_.empty(); });
        if (stop.stop_requested())
            return;
        const Finished file = std::move(waiting_.front());
        waiting_.pop_front();
        busy_ = true;
        lock.unlock();
        std::optional<FileError> failure = flushAndClose(file);
        lock.lock();
        if (failure && !failure_)
            failure_ = std::move(failure);
        busy_ = false;
        changed_.notify_all();
    }
}

void Writeback::keepFailure(std::optional<FileError> failure)
{
    std::lock_guard lock(mutex_);
    if (failure && !failure_)
        failure_ = std::move(failure);
}

} // namespace runtime
