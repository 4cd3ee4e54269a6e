#include "MessageLoop.h"

namespace win32window {

void dispatchMessage(MSG& message)
{
    const HWND topLevel = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (topLevel && ::IsDialogMessageW(topLevel, &message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

int runMessageLoop()
{
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatchMessage(message);
    return static_cast<int>(message.wParam);
}

} // namespace win32window
