#include "form/CuttingRun.h"

#include "form/Texts.h"
#include "runtime/FileError.h"

#include <new>
#include <utility>

namespace form {

CuttingRun::~CuttingRun()
{
    if (job_.joinable())
        job_.join();
}

void CuttingRun::start(std::string source, engine::ByteCount pieceLength)
{
    running_ = true;
    job_ = std::thread([this, source = std::move(source), pieceLength] { run(source, pieceLength); });
}

void CuttingRun::run(const std::string& source, engine::ByteCount pieceLength)
{
    try {
        engine::DateiZerlegen(source, pieceLength, *this);
    } catch (const runtime::FileError& error) {
        message(texts::jobFailed(error.what()));
    } catch (const std::bad_alloc&) {
        message(texts::jobFailed(texts::outOfMemory));
    } catch (const std::exception& error) {
        message(texts::jobFailed(texts::internalFault(error.what())));
    }
    view_.postToWindow([this] { finish(); });
}

void CuttingRun::message(const std::string& text)
{
    std::lock_guard lock(mutex_);
    messages_.push_back(text);
}

void CuttingRun::pieceStarted(std::int64_t, const std::string& path)
{
    {
        std::lock_guard lock(mutex_);
        newestProgress_ = texts::copyingTo(path);
        if (std::exchange(progressPosted_, true))
            return;
    }
    view_.postToWindow([this] { showNewestProgress(); });
}

void CuttingRun::showNewestProgress()
{
    std::string text;
    {
        std::lock_guard lock(mutex_);
        text = newestProgress_;
        progressPosted_ = false;
    }
    if (!std::exchange(busyShown_, true))
        view_.showBusy(true);
    view_.showProgressText(text);
}

void CuttingRun::finish()
{
    job_.join();
    view_.showProgressText({});
    if (std::exchange(busyShown_, false))
        view_.showBusy(false);
    std::vector<std::string> messages;
    {
        std::lock_guard lock(mutex_);
        messages.swap(messages_);
    }
    for (const std::string& text : messages)
        view_.showMessage(text);
    running_ = false;
    view_.jobEnded();
}

} // namespace form
