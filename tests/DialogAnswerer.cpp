#include "DialogAnswerer.h"

#include "runtime/WideText.h"

#include <chrono>

namespace {

// Dialogs and message boxes are windows of the system's dialog class.
bool isDialog(HWND window)
{
    wchar_t kind[16] = {};
    ::GetClassNameW(window, kind, 16);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId() && ::IsWindowVisible(window) && std::wstring(kind) == L"#32770";
}

// The first visible child of that class, searched through all of the window's descendants.
HWND findChild(HWND window, const wchar_t* kind, bool withText = false)
{
    struct Search {
        const wchar_t* kind;
        bool withText;
        HWND found = nullptr;
    } search{kind, withText};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM parameter) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(parameter);
            wchar_t kind[32] = {};
            ::GetClassNameW(child, kind, 32);
            if (::lstrcmpiW(kind, search.kind) != 0 || !::IsWindowVisible(child) ||
                (search.withText && ::GetWindowTextLengthW(child) == 0))
                return TRUE;
            search.found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void pressButton(HWND dialog, int id)
{
    if (const HWND button = ::GetDlgItem(dialog, id))
        ::PostMessageW(button, BM_CLICK, 0, 0);
    else
        ::PostMessageW(dialog, WM_COMMAND, id, 0);
}

} // namespace

std::string textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return runtime::narrow(text);
}

DialogAnswerer::DialogAnswerer(std::deque<Answer> answers)
    : answers_(std::move(answers))
    , thread_([this] {
        while (!stop_) {
            look();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    })
{
}

DialogAnswerer::~DialogAnswerer()
{
    stop_ = true;
    thread_.join();
}

std::vector<std::string> DialogAnswerer::seen()
{
    std::lock_guard lock(mutex_);
    return seen_;
}

void DialogAnswerer::look()
{
    std::vector<HWND> dialogs;
    ::EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            if (isDialog(window))
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialogs));
    std::erase_if(known_, [](HWND window) { return !::IsWindow(window); });
    for (const HWND dialog : dialogs) {
        if (!known_.insert(dialog).second)
            continue;
        // A message box shows its text in a label; the file dialog's labels name its fields.
        const HWND text = findChild(dialog, L"Edit") ? nullptr : findChild(dialog, L"Static", true);
        {
            std::lock_guard lock(mutex_);
            seen_.push_back(textOf(dialog) + (text ? ": " + textOf(text) : ""));
        }
        if (answers_.empty()) {
            cancel()(dialog);
            continue;
        }
        const Answer answer = std::move(answers_.front());
        answers_.pop_front();
        answer(dialog);
    }
}

DialogAnswerer::Answer pressOk()
{
    return [](HWND box) { pressButton(box, IDOK); };
}

DialogAnswerer::Answer pressYes()
{
    return [](HWND box) { pressButton(box, IDYES); };
}

DialogAnswerer::Answer pressNo()
{
    return [](HWND box) { pressButton(box, IDNO); };
}

DialogAnswerer::Answer cancel()
{
    return [](HWND dialog) { pressButton(dialog, IDCANCEL); };
}

DialogAnswerer::Answer chooseFile(const std::string& path)
{
    return [path](HWND dialog) {
        const HWND name = findChild(dialog, L"Edit");
        ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(runtime::widen(path).c_str()));
        pressButton(dialog, IDOK);
    };
}

// What the file dialog offers in its name field, which it fills only a moment after it is up;
// the empty text where it offers nothing.
std::string offeredBy(HWND dialog)
{
    HWND name = nullptr;
    for (int wait = 0; wait < 300 && !(name = findChild(dialog, L"Edit", true)); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return name ? textOf(name) : std::string();
}

DialogAnswerer::Answer acceptOffered(std::string& offered)
{
    return [&offered](HWND dialog) {
        offered = offeredBy(dialog);
        pressButton(dialog, IDOK);
    };
}

DialogAnswerer::Answer cancelOffered(std::string& offered)
{
    return [&offered](HWND dialog) {
        offered = offeredBy(dialog);
        pressButton(dialog, IDCANCEL);
    };
}
