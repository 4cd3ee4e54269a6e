#include "Form1.h"

#include "MessageLoop.h"
#include "runtime/WideText.h"

#include <memory>
#include <optional>
#include <utility>

namespace win32window {

void Form1::startCutting(const std::string& source, std::int64_t pieceLength)
{
    // The window goes on painting and showing what the job reports until it has ended; what
    // input it takes meanwhile, passesDuringJob says. A close that a stop asked for happens then.
    run_.start(source, pieceLength);
    std::optional<int> quit;
    MSG message{};
    while (run_.running()) {
        if (::GetMessageW(&message, nullptr, 0, 0) == 0)
            quit = static_cast<int>(message.wParam);
        else if (passesDuringJob(message))
            dispatchMessage(message);
    }
    if (quit)
        ::PostQuitMessage(*quit);
    if (run_.closeAfterJob())
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

bool Form1::passesDuringJob(const MSG& message) const
{
    // Painting, the job's news, moving the window and its close box pass; of keys and clicks
    // only those for "Ende", Escape and Alt+F4, which offer to stop the job, and Tab and
    // Shift+Tab, which move the focus, to "Ende" too.
    const UINT kind = message.message;
    const bool key = kind >= WM_KEYFIRST && kind <= WM_KEYLAST;
    const bool click = kind >= WM_MOUSEFIRST && kind <= WM_MOUSELAST;
    const bool plainKey = kind == WM_KEYDOWN || kind == WM_KEYUP || kind == WM_CHAR;
    const bool systemKey = kind == WM_SYSKEYDOWN || kind == WM_SYSKEYUP;
    if ((plainKey && (message.wParam == VK_ESCAPE || message.wParam == VK_TAB)) ||
        (systemKey && message.wParam == VK_F4))
        return true;
    return (!key && !click) || message.hwnd == buttonEnde;
}

void Form1::postToWindow(std::function<void()> call)
{
    auto posted = std::make_unique<std::function<void()>>(std::move(call));
    // A full queue is waited out: every call must arrive, and after those posted before it.
    while (!::PostMessageW(window_, postedCall, 0, reinterpret_cast<LPARAM>(posted.get()))) {
        if (::GetLastError() != ERROR_NOT_ENOUGH_QUOTA)
            return;
        ::Sleep(10);
    }
    posted.release();
}

void Form1::showBusy(bool busy)
{
    busy_ = busy;
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Form1::showProgressText(const std::string& text)
{
    ::SetWindowTextW(labelInfo, runtime::widen(text).c_str());
    ::UpdateWindow(labelInfo);
}

void Form1::showDesktopProgress(double fraction)
{
    taskbar_->showProgress(window_, fraction);
}

void Form1::showDesktopFailure()
{
    taskbar_->showFailure(window_);
}

void Form1::clearDesktopProgress()
{
    taskbar_->clear(window_);
}

void Form1::jobEnded()
{
    // Nothing more to do: the job's loop in startCutting ends as run_ stops running.
}

} // namespace win32window
