#pragma once

#include <windows.h>

namespace win32window {

// A window class of this program, registered for as long as this lives.
class WindowClass {
public:
    // Throws std::runtime_error when the system refuses the class.
    explicit WindowClass(const WNDCLASSEXW& description);
    ~WindowClass();
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;

    const wchar_t* name() const { return name_; }

private:
    const wchar_t* name_;
    HINSTANCE instance_;
};

} // namespace win32window
