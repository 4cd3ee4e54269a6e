#include "Form1.h"

#include "MessageBox.h"
#include "SystemError.h"
#include "WindowClass.h"
#include "form/Form1Layout.h"
#include "form/Texts.h"
#include "runtime/WideText.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

namespace win32window {

namespace {

// A fixed frame with a title bar, its menu and a minimise box: the layout has one size.
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct Pixels {
    int left, top, width, height;
};

Pixels inPixels(const form::Twips& place, UINT dpi)
{
    using form::layout::toPixels;
    const int dotsPerInch = static_cast<int>(dpi);
    return {toPixels(place.left, dotsPerInch), toPixels(place.top, dotsPerInch), toPixels(place.width, dotsPerInch),
            toPixels(place.height, dotsPerInch)};
}

COLORREF colourRef(form::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

} // namespace

const WindowClass& Form1::windowClass()
{
    static const WindowClass windowClass([] {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        description.lpfnWndProc = &Form1::windowProcedure;
        description.hInstance = instance;
        // Palvo.exe's own icon; a program without one gets the system's.
        description.hIcon = static_cast<HICON>(::LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
        description.hIconSm = static_cast<HICON>(::LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                              ::GetSystemMetrics(SM_CYSMICON), 0));
        description.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        description.lpszClassName = L"Form1";
        return description;
    }());
    return windowClass;
}

int controlId(std::string_view name)
{
    const auto named = std::find_if(std::begin(namedControls), std::end(namedControls),
                                    [name](const NamedControl& control) { return name == control.name; });
    return named == std::end(namedControls) ? 0 : named->id;
}

Form1::Form1(std::vector<std::string> arguments, std::unique_ptr<TaskbarButton> taskbar)
    : taskbar_(std::move(taskbar))
{
    if (!::CreateWindowExW(0, windowClass().name(), runtime::widen(form::texts::windowTitle()).c_str(), windowStyle,
                           CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, ::GetModuleHandleW(nullptr), this))
        throwLastError("CreateWindowExW");
    try {
        createControls();
        layOut(::GetDpiForWindow(window_));
    } catch (...) {
        ::DestroyWindow(window_);
        throw;
    }
    ::DragAcceptFiles(window_, TRUE);
    // Once the window is up, so that a message about the name stands over it.
    postToWindow([this, arguments = std::move(arguments)] { offerFileNamedAtStart(arguments); });
}

Form1::~Form1()
{
    if (window_)
        ::DestroyWindow(window_);
}

void Form1::show(int how)
{
    ::ShowWindow(window_, how);
    ::UpdateWindow(window_);
}

void Form1::createControls()
{
    // Made in their tab order: "Ende", the copy button, the size field; labels take no focus.
    buttonEnde = createControl(L"BUTTON", "buttonEnde", form::texts::ende, BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP);
    buttonKopieren =
        createControl(L"BUTTON", "buttonKopieren", form::texts::kopieren, BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP);
    textDateigröße = createControl(L"EDIT", "textDateigröße", form::texts::startingSize,
                                   ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    // Texts show as they stand: an & in a path is an &.
    labelBeschreibung = createControl(L"STATIC", "labelBeschreibung", form::texts::beschreibung, SS_LEFT | SS_NOPREFIX);
    labelDateigröße = createControl(L"STATIC", "labelDateigröße", form::texts::dateigröße, SS_LEFT | SS_NOPREFIX);
    // A long path wraps at any character, as far as the line's height allows.
    labelInfo = createControl(L"STATIC", "labelInfo", {}, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL);
    Label1 = createControl(L"STATIC", "Label1", form::texts::contact, SS_CENTER | SS_NOPREFIX);
    focus_ = buttonEnde;
    makeDefault(buttonEnde);
}

HWND Form1::createControl(const wchar_t* kind, const char* name, const std::string& text, DWORD style, DWORD exStyle)
{
    const HWND control = ::CreateWindowExW(exStyle, kind, runtime::widen(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                                           0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(name))),
                                           ::GetModuleHandleW(nullptr), nullptr);
    if (!control)
        throwLastError("CreateWindowExW");
    return control;
}

void Form1::layOut(UINT dpi)
{
    // The new type first, then the old one goes: a control must never hold a deleted font.
    const Font previous = std::exchange(font_, smallFont(dpi));
    const auto place = [&](HWND control, const form::Twips& twips) {
        const Pixels pixels = inPixels(twips, dpi);
        ::SetWindowPos(control, nullptr, pixels.left, pixels.top, pixels.width, pixels.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    };
    place(labelBeschreibung, form::layout::labelBeschreibung);
    place(labelDateigröße, form::layout::labelDateigröße);
    place(textDateigröße, form::layout::textDateigröße);
    place(labelInfo, form::layout::labelInfo);
    place(buttonKopieren, form::layout::buttonKopieren);
    place(buttonEnde, form::layout::buttonEnde);
    place(Label1, form::layout::Label1);

    const Pixels client = inPixels(form::layout::clientArea, dpi);
    RECT frame{0, 0, client.width, client.height};
    ::AdjustWindowRectExForDpi(&frame, windowStyle, FALSE, 0, dpi);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Form1::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Every message goes to the Form1 that the window was created for, from its first to its last.
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Form1*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* form = reinterpret_cast<Form1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return form->handleMessage(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        form->fail(form::texts::outOfMemory);
    } catch (const std::exception& error) {
        form->fail(form::texts::internalFault(error.what()));
    }
    return 0;
}

LRESULT Form1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case DM_GETDEFID:
        // Enter in the size field presses the copy button.
        return MAKELRESULT(controlId("buttonKopieren"), DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
        return colours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        // The focus stays where it was while the window was in the background.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(window_, focus))
                focus_ = focus;
        } else if (!HIWORD(wParam)) {
            restoreFocus();
        }
        return 0;
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case WM_SETCURSOR:
        if (busy_ && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_DPICHANGED: {
        // Moved to a screen of another DPI: the same layout in that screen's pixels.
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        layOut(HIWORD(wParam));
        return 0;
    }
    case defaultFollowsFocus:
        // As in a dialog, the focused button is the one Enter presses, and shows it; in the size
        // field it is the copy button.
        makeDefault(::GetFocus() == buttonEnde ? buttonEnde : buttonKopieren);
        return 0;
    case postedCall: {
        const std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(lParam));
        (*call)();
        return 0;
    }
    case WM_DROPFILES:
        filesDropped(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CLOSE:
        close();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void Form1::command(int id, int notification)
{
    const HWND control = ::GetDlgItem(window_, id);
    if (control == buttonKopieren && notification == BN_CLICKED)
        buttonKopieren_Click();
    else if (control == buttonEnde && notification == BN_CLICKED)
        buttonEnde_Click();
    else if (id == IDCANCEL && run_.running())  // Escape, as the keyboard of a form gives it
        run_.offerToStop(form::CuttingRun::AfterStop::StayOpen);
    else if (notification == BN_SETFOCUS || (control == textDateigröße && notification == EN_SETFOCUS))
        // After the keyboard's own handling of the default button, which Tab goes through.
        ::PostMessageW(window_, defaultFollowsFocus, 0, 0);
}

LRESULT Form1::colours(HDC dc, HWND control)
{
    int background = COLOR_BTNFACE;
    if (control == labelInfo) {
        ::SetTextColor(dc, colourRef(form::colours::progressText));
    } else if (control == labelDateigröße) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    } else if (control == Label1) {
        ::SetTextColor(dc, colourRef(form::colours::contactText));
        background = COLOR_INACTIVEBORDER;
    } else {
        return ::DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    }
    ::SetBkColor(dc, ::GetSysColor(background));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(background));
}

void Form1::makeDefault(HWND button)
{
    for (const HWND each : {buttonKopieren, buttonEnde})
        ::SendMessageW(each, BM_SETSTYLE, BS_NOTIFY | (each == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
}

void Form1::restoreFocus()
{
    ::SetFocus(focus_);
}

void Form1::close()
{
    // The window closes once a running job has taken back what it wrote.
    if (run_.running())
        run_.offerToStop(form::CuttingRun::AfterStop::Close);
    else
        ::DestroyWindow(window_);
}

void Form1::filesDropped(HDROP drop)
{
    std::vector<std::string> paths(::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    for (UINT index = 0; index < paths.size(); ++index) {
        std::wstring path(::DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
        path.resize(::DragQueryFileW(drop, index, path.data(), static_cast<UINT>(path.size())));
        paths[index] = runtime::narrow(path);
    }
    ::DragFinish(drop);
    if (run_.running())
        return;
    // After the drop has ended: the program the file came from is not kept waiting for the job.
    postToWindow([this, paths = std::move(paths)] { form::cutDroppedFiles(*this, paths); });
}

void Form1::offerFileNamedAtStart(const std::vector<std::string>& arguments)
{
    const std::string offered = form::fileNamedAtStart(*this, arguments);
    if (!offered.empty())
        cmdStandarddialog.offerFirst(runtime::widen(offered));
}

void Form1::fail(const std::string& text)
{
    // A fault of the program itself: said in German, then the program ends as soon as it may.
    messageBox(window_, text);
    close();
}

void Form1::buttonKopieren_Click()
{
    form::buttonKopieren_Click(*this);
}

void Form1::buttonEnde_Click()
{
    close();
}

std::string Form1::sizeFieldText()
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(textDateigröße)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(textDateigröße, text.data(), static_cast<int>(text.size()))));
    return runtime::narrow(text);
}

void Form1::focusSizeField()
{
    focus_ = textDateigröße;
    ::SetFocus(textDateigröße);
}

void Form1::showMessage(const std::string& text)
{
    messageBox(window_, text);
}

bool Form1::askYesNo(const std::string& question)
{
    return win32window::askYesNo(window_, question);
}

std::string Form1::DateiDialog()
{
    return runtime::narrow(cmdStandarddialog.showOpen(window_));
}

} // namespace win32window
