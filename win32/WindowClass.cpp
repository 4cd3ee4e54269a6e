#include "WindowClass.h"

#include "SystemError.h"

namespace win32window {

WindowClass::WindowClass(const WNDCLASSEXW& description)
    : name_(description.lpszClassName)
    , instance_(description.hInstance)
{
    if (!::RegisterClassExW(&description))
        throwLastError("RegisterClassExW");
}

WindowClass::~WindowClass()
{
    ::UnregisterClassW(name_, instance_);
}

} // namespace win32window
