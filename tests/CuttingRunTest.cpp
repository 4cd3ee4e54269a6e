// A job run off the window's thread, with a window of the test's own: what the window is told
// when the system gives the job no thread.
#include "form/CuttingRun.h"

#include "LinuxFaults.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using namespace testsupport;

// A window that runs what is posted to it in order, and keeps the messages it showed.
class QueueView : public form::JobView {
public:
    void postToWindow(std::function<void()> call) override
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(call));
    }
    void showBusy(bool) override {}
    void showProgressText(const std::string&) override {}
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string&) override { return false; }
    void showDesktopProgress(double) override {}
    void showDesktopFailure() override {}
    void clearDesktopProgress() override {}
    void jobEnded() override { ended_ = true; }

    // Runs what is posted, as a window's loop does, until the job has ended.
    void runUntilTheJobEnds()
    {
        while (!ended_) {
            std::function<void()> call;
            {
                std::lock_guard lock(mutex_);
                if (!posted_.empty()) {
                    call = std::move(posted_.front());
                    posted_.pop_front();
                }
            }
            call ? call() : std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ended_ = false;
    }

    std::vector<std::string> messages;

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    bool ended_ = false;
};

TEST(CuttingRun, WithoutAThreadForTheJobTheWindowSaysSoAndStaysUsable)
{
    SKIP_UNLESS_ROOT();
    TempFolder folder;
    std::filesystem::permissions(folder.path(), std::filesystem::perms::all);
    const std::string bytes = randomBytes(3000);
    writeFile(folder / "film.avi", bytes);
    // What the window showed, and whether it was idle again, after a job without a thread and
    // after one once the system gives threads again.
    const std::string shown = asUser(65534, [&] {
        QueueView window;
        form::CuttingRun run(window);
        rlimit given{};
        ::getrlimit(RLIMIT_NPROC, &given);
        const auto cut = [&](rlim_t threads) {
            const rlimit limit{threads, given.rlim_max};
            ::setrlimit(RLIMIT_NPROC, &limit);
            window.messages.clear();
            run.start(folder / "film.avi", 1000);
            window.runUntilTheJobEnds();
            return (window.messages.empty() ? "no message" : window.messages.front()) +
                   (run.running() ? ", running\n" : ", idle\n");
        };
        const std::string withoutThread = cut(1);  // this process alone, no thread more
        return withoutThread + cut(given.rlim_max);
    });
    EXPECT_TRUE(shown.starts_with("Das Zerlegen wurde abgebrochen.")) << shown;
    EXPECT_NE(shown.find("Das System lässt gerade keinen weiteren Arbeitsablauf zu"), std::string::npos) << shown;
    EXPECT_NE(shown.find(", idle\nno message, idle\n"), std::string::npos) << shown;
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"film.001", "film.002", "film.003", "film.avi", "film.bat"}));
    EXPECT_TRUE(joinedPieces(folder / "film.") == bytes);
}

} // namespace
