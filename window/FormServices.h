#pragma once

#include "engine/WindowServices.h"

#include <functional>
#include <mutex>
#include <string>

class Form1;

// Form1's services for a cutting job on any thread. Each call is carried over to the window's
// thread, in the order the job makes them; a message waits there until the user closes it.
// Progress texts come faster than a screen can show them (thousands of small pieces a second):
// the window is handed only the newest, so it never falls behind the job.
class FormServices : public engine::WindowServices {
public:
    explicit FormServices(Form1& form) : form_(form) {}

    void showMessage(const std::string& text) override;
    void setBusy(bool busy) override;
    void setProgressText(const std::string& text) override;
    void repaint() override;

private:
    void onWindowThread(std::function<void()> action, bool wait);
    void showNewestProgress();

    Form1& form_;
    std::mutex mutex_;
    std::string newestProgress_;  // guarded by mutex_
    bool progressPosted_ = false;  // guarded by mutex_: the window has yet to show the newest
    bool firstTextShown_ = false;  // used by the job's thread alone
};
