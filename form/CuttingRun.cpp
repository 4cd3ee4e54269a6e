#include "form/CuttingRun.h"

#include "form/Texts.h"
#include "runtime/FileError.h"

#include <new>
#include <system_error>
#include <utility>

namespace form {

namespace {

// How often the desktop hears how far the job is.
constexpr auto kFractionEvery = std::chrono::milliseconds(100);

} // namespace

CuttingRun::~CuttingRun()
{
    if (job_.joinable())
        job_.join();
}

void CuttingRun::start(std::string source, engine::ByteCount pieceLength)
{
    running_ = true;
    stop_ = std::stop_source();
    try {
        job_ = std::thread([this, source = std::move(source), pieceLength] { run(source, pieceLength); });
    } catch (const std::system_error&) {
        // The system gives the job no thread: the job ends before it began, with a message.
        failure_ = texts::jobFailed(texts::noThreadForTheJob);
        view_.postToWindow([this] { finish(); });
    }
}

void CuttingRun::offerToStop(AfterStop after)
{
    if (!running_)
        return;
    std::lock_guard lock(mutex_);
    if (pastStopPoints_) {
        closeAfterJob_ = closeAfterJob_ || after == AfterStop::Close;
        return;
    }
    // Asked once: a second way of asking while the question waits only makes the window close.
    if (offered_ && *offered_ == AfterStop::StayOpen)
        offered_ = after;
    offered_ = offered_.value_or(after);
}

void CuttingRun::atStopPoint()
{
    std::unique_lock lock(mutex_);
    if (!offered_)
        return;
    answered_ = false;
    view_.postToWindow([this] { askWhetherToStop(); });
    answer_.wait(lock, [this] { return answered_; });
}

void CuttingRun::askWhetherToStop()
{
    AfterStop after = AfterStop::StayOpen;
    bool replacingEarlier = false;
    {
        std::lock_guard lock(mutex_);
        after = offered_.value_or(AfterStop::StayOpen);
        replacingEarlier = replacingEarlier_;
    }
    const bool stop =
        view_.askYesNo(replacingEarlier ? texts::stopQuestionOverEarlierPieces : texts::stopQuestion);
    if (stop) {
        stop_.request_stop();
        closeAfterJob_ = closeAfterJob_ || after == AfterStop::Close;
    }
    {
        std::lock_guard lock(mutex_);
        offered_.reset();
        answered_ = true;
    }
    answer_.notify_all();
}

void CuttingRun::pastStopPoints()
{
    std::lock_guard lock(mutex_);
    pastStopPoints_ = true;
}

void CuttingRun::run(const std::string& source, engine::ByteCount pieceLength)
{
    std::string reason;
    try {
        engine::DateiZerlegen(source, pieceLength, *this, stop_.get_token());
    } catch (const runtime::FileError& error) {
        reason = error.what();
    } catch (const std::bad_alloc&) {
        reason = texts::outOfMemory;
    } catch (const std::exception& error) {
        reason = texts::internalFault(error.what());
    }
    if (!reason.empty()) {
        std::lock_guard lock(mutex_);
        failure_ = texts::jobFailed(reason, replacingEarlier_ ? texts::EarlierPieces::PartlyReplaced
                                                              : texts::EarlierPieces::Untouched);
    }
    view_.postToWindow([this] { finish(); });
}

void CuttingRun::message(const std::string& text)
{
    std::lock_guard lock(mutex_);
    messages_.push_back(text);
}

void CuttingRun::replacingEarlierOutputs()
{
    std::lock_guard lock(mutex_);
    replacingEarlier_ = true;
}

void CuttingRun::pieceStarted(std::int64_t, const std::string& path)
{
    {
        std::lock_guard lock(mutex_);
        newestText_ = texts::copyingTo(path);
    }
    postNewestProgress();
}

void CuttingRun::progressed(std::int64_t done, std::int64_t total)
{
    const auto now = std::chrono::steady_clock::now();
    if (now - lastFraction_ < kFractionEvery && done < total)
        return;
    lastFraction_ = now;
    {
        std::lock_guard lock(mutex_);
        newestFraction_ = static_cast<double>(done) / static_cast<double>(total);
    }
    postNewestProgress();
}

void CuttingRun::postNewestProgress()
{
    {
        std::lock_guard lock(mutex_);
        if (std::exchange(progressPosted_, true))
            return;
    }
    view_.postToWindow([this] { showNewestProgress(); });
}

void CuttingRun::showNewestProgress()
{
    std::string text;
    double fraction = 0;
    {
        std::lock_guard lock(mutex_);
        text = newestText_;
        fraction = newestFraction_;
        progressPosted_ = false;
    }
    if (!std::exchange(busyShown_, true))
        view_.showBusy(true);
    view_.showProgressText(text);
    view_.showDesktopProgress(fraction);
}

void CuttingRun::finish()
{
    if (job_.joinable())
        job_.join();
    view_.showProgressText({});
    if (std::exchange(busyShown_, false))
        view_.showBusy(false);
    std::vector<std::string> messages;
    std::string failure;
    {
        std::lock_guard lock(mutex_);
        messages.swap(messages_);
        failure.swap(failure_);
        newestText_.clear();
        newestFraction_ = 0;
        replacingEarlier_ = false;
        // Offered after the job's last stop point, or as it failed: nothing left to stop.
        closeAfterJob_ = closeAfterJob_ || offered_ == AfterStop::Close;
        offered_.reset();
        pastStopPoints_ = false;
    }
    if (!failure.empty()) {
        view_.showDesktopFailure();
        view_.showMessage(failure);
    }
    view_.clearDesktopProgress();
    for (const std::string& text : messages)
        view_.showMessage(text);
    running_ = false;
    view_.jobEnded();
}

} // namespace form
