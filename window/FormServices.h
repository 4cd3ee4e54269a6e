#pragma once

#include "engine/WindowServices.h"

#include <functional>

class Form1;

// Form1's services for a cutting job on any thread. Each call is carried over to the window's
// thread, in the order the job makes them; a message waits there until the user closes it.
class FormServices : public engine::WindowServices {
public:
    explicit FormServices(Form1& form) : form_(form) {}

    void showMessage(const std::string& text) override;
    void setBusy(bool busy) override;
    void setProgressText(const std::string& text) override;
    void repaint() override;

private:
    void onWindowThread(std::function<void()> action, bool wait);

    Form1& form_;
};
