#pragma once

#include "engine/DateiZerlegen.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace form {

// What a window shows of a running job. Every call but postToWindow comes on the window's
// thread.
class JobView {
public:
    virtual ~JobView() = default;

    // Runs call on the window's thread, after every call posted before it. Called from the
    // job's thread.
    virtual void postToWindow(std::function<void()> call) = 0;
    virtual void showBusy(bool busy) = 0;
    virtual void showProgressText(const std::string& text) = 0;
    // A modal box titled Palvo with the text and an OK button.
    virtual void showMessage(const std::string& text) = 0;
    // A modal box titled Palvo with the question, "Ja" and "Nein" (the default): whether Ja.
    virtual bool askYesNo(const std::string& question) = 0;
    // Where the desktop shows a program's progress (the taskbar button, the dock): how far the
    // job is, from 0 to 1; that it failed, while its message is up; nothing, once it is over.
    virtual void showDesktopProgress(double fraction) = 0;
    virtual void showDesktopFailure() = 0;
    virtual void clearDesktopProgress() = 0;
    // The job is over and everything it had to say has been shown: the window is idle again.
    virtual void jobEnded() = 0;
};

// One cutting job at a time, on a thread of its own, so that the window's thread stays free
// to paint and to answer while pieces are written.
//
// The window owns its CuttingRun and the CuttingRun owns the job's thread, which it joins
// before the job counts as ended. The job's thread calls the engine and, through the
// JobReport below, touches only the mailbox (under its mutex) and posts to the window;
// everything shown happens on the window's thread. Progress comes faster than a screen can
// show it (thousands of small pieces a second): the window is handed only the newest text, and
// how far the job is at most ten times a second. The job's end is posted from the job's thread
// after its last report, and posts arrive in the order they were made, so every update
// reaches the window before the end does.
class CuttingRun : private engine::JobReport {
public:
    explicit CuttingRun(JobView& view) : view_(view) {}
    ~CuttingRun();
    CuttingRun(const CuttingRun&) = delete;
    CuttingRun& operator=(const CuttingRun&) = delete;

    // Starts cutting; the view hears of the job until its jobEnded(). Window's thread only.
    void start(std::string source, engine::ByteCount pieceLength);
    bool running() const { return running_; }

    // What the window does once a stop it offered has been answered with Ja.
    enum class AfterStop { StayOpen, Close };
    // While the job runs: asks whether to stop it, once the job waits at its next point where a
    // stop still takes back all it wrote; it waits there until the question is answered. On Ja
    // it takes back what it wrote and ends without a word; on Nein it goes on. A job past its
    // last such point is about to end: nothing is asked, and where the window was to close, it
    // closes after the job. The window's own close happens once the job's end has been shown
    // (see closeAfterJob).
    void offerToStop(AfterStop after);
    // Whether a stop asked the window to close now that the job has ended; once only.
    bool closeAfterJob() { return std::exchange(closeAfterJob_, false); }

private:
    // The job's thread.
    void run(const std::string& source, engine::ByteCount pieceLength);
    void message(const std::string& text) override;
    void replacingEarlierOutputs() override;
    void pieceStarted(std::int64_t number, const std::string& path) override;
    void progressed(std::int64_t done, std::int64_t total) override;
    void atStopPoint() override;
    void pastStopPoints() override;
    void postNewestProgress();

    // The window's thread.
    void showNewestProgress();
    void askWhetherToStop();
    void finish();

    JobView& view_;
    std::thread job_;
    std::stop_source stop_;
    bool running_ = false;    // window's thread
    bool busyShown_ = false;  // window's thread
    bool closeAfterJob_ = false;  // window's thread
    std::chrono::steady_clock::time_point lastFraction_;  // job's thread

    std::mutex mutex_;
    std::string newestText_;            // guarded by mutex_
    double newestFraction_ = 0;         // guarded by mutex_
    bool progressPosted_ = false;       // guarded by mutex_: the window has yet to show the newest
    std::vector<std::string> messages_; // guarded by mutex_: refusals
    bool replacingEarlier_ = false;     // guarded by mutex_: a stop leaves an earlier set incomplete
    std::string failure_;               // guarded by mutex_
    // A stop offered and not yet answered, and what the window does after it; the job waits for
    // the answer at its next stop point.
    std::optional<AfterStop> offered_;  // guarded by mutex_
    bool answered_ = false;             // guarded by mutex_
    bool pastStopPoints_ = false;       // guarded by mutex_
    std::condition_variable answer_;
};

} // namespace form
