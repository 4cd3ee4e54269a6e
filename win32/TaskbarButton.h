#pragma once

#include <memory>
#include <windows.h>

namespace win32window {

// Where Windows shows a program's progress: its button on the taskbar. The window tells it how
// far a job is; tests put a button of their own in its place, as the system's keeps nothing a
// test could read.
class TaskbarButton {
public:
    virtual ~TaskbarButton() = default;

    // Normal progress, from 0 to 1.
    virtual void showProgress(HWND window, double fraction) = 0;
    // The error state, while a failure's message is up.
    virtual void showFailure(HWND window) = 0;
    virtual void clear(HWND window) = 0;
};

// The taskbar's own (ITaskbarList3); where the system has none, a button that shows nothing.
std::unique_ptr<TaskbarButton> systemTaskbarButton();

} // namespace win32window
