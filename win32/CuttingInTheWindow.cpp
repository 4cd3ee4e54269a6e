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
    // input it takes meanwhile, form::passesDuringJob says. A close that a stop asked for
    // happens then.
    run_.start(source, pieceLength);
    std::optional<int> quit;
    MSG message{};
    while (run_.running()) {
        if (::GetMessageW(&message, nullptr, 0, 0) == 0)
            quit = static_cast<int>(message.wParam);
        else if (form::passesDuringJob(inputOf(message)))
            dispatchMessage(message);
    }
    if (quit)
        ::PostQuitMessage(*quit);
    if (run_.closeAfterJob())
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

namespace {

form::Input::Key keyOf(WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_ESCAPE:
        return form::Input::Key::Escape;
    case VK_TAB:
        return form::Input::Key::Tab;
    case VK_F4:
        return form::Input::Key::F4;
    default:
        return form::Input::Key::Other;
    }
}

} // namespace

form::Input Form1::inputOf(const MSG& message) const
{
    // Keys held with Alt come as the system's keys; a typed Tab or Escape comes as a character
    // too, whose code is its key's.
    const UINT kind = message.message;
    form::Input input;
    input.forButtonEnde = message.hwnd == buttonEnde;
    if (kind >= WM_KEYFIRST && kind <= WM_KEYLAST) {
        input.kind = form::Input::Kind::Key;
        input.alt = kind == WM_SYSKEYDOWN || kind == WM_SYSKEYUP;
        const bool typedTabOrEscape = kind == WM_CHAR && (message.wParam == VK_TAB || message.wParam == VK_ESCAPE);
        if (kind == WM_KEYDOWN || kind == WM_KEYUP || input.alt || typedTabOrEscape)
            input.key = keyOf(message.wParam);
    } else if (kind >= WM_MOUSEFIRST && kind <= WM_MOUSELAST) {
        input.kind = form::Input::Kind::Mouse;
    }
    return input;
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
