// The Windows window, created for real and driven through the program's own message loop: its
// texts, places, colours and keyboard, and the copy command with the system's file dialog and
// message boxes answered as a user would.
#include "ComApartment.h"
#include "Form1.h"
#include "MessageLoop.h"

#include "DialogAnswerer.h"
#include "TestSupport.h"
#include "runtime/WideText.h"

#include <gtest/gtest.h>

#include <commctrl.h>

// Places in failure reports as left, top, width and height.
bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const RECT& r, std::ostream* out) { *out << r.left << ',' << r.top << ' ' << r.right << 'x' << r.bottom; }

namespace {

using namespace testsupport;
using win32window::Form1;
using Seen = std::vector<std::string>;

HWND control(const Form1& form, const char* name)
{
    const HWND found = ::GetDlgItem(form.handle(), win32window::controlId(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Lets the window handle everything waiting for it, as the program's loop would.
void handlePending()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            win32window::dispatchMessage(message);
    }
}

// A key pressed and let go on the control that has the focus.
void press(UINT key)
{
    const HWND focus = ::GetFocus();
    const LPARAM scanCode = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(focus, WM_KEYDOWN, key, scanCode | 1);
    ::PostMessageW(focus, WM_KEYUP, key, scanCode | 1 | 0xC0000000);
    handlePending();
}

// A click of the left mouse button in the middle of the control.
void click(HWND control)
{
    RECT area;
    ::GetClientRect(control, &area);
    const LPARAM middle = MAKELPARAM(area.right / 2, area.bottom / 2);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    ::PostMessageW(control, WM_LBUTTONUP, 0, middle);
    handlePending();
}

// The control's place in the window's client area, in pixels.
RECT placeOf(HWND control)
{
    RECT place;
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

// How many of the control's pixels on screen have that colour.
int pixelsOf(HWND control, COLORREF colour)
{
    RECT area;
    ::GetClientRect(control, &area);
    const HDC dc = ::GetDC(control);
    int count = 0;
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x)
            count += ::GetPixel(dc, x, y) == colour;
    ::ReleaseDC(control, dc);
    return count;
}

// Records what the progress line showed whenever it was painted, and whether the pointer was
// the hourglass then.
class PaintWatcher {
public:
    explicit PaintWatcher(HWND progressLine, std::function<void()> onFirstProgress = {})
        : line_(progressLine), onFirstProgress_(std::move(onFirstProgress))
    {
        watcher_ = this;
        original_ = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(line_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintWatcher::procedure)));
    }
    ~PaintWatcher()
    {
        if (::IsWindow(line_))
            ::SetWindowLongPtrW(line_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        watcher_ = nullptr;
    }

    std::vector<std::string> texts;
    bool busyPointer = false;
    bool blueText = false;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        PaintWatcher& self = *watcher_;
        const LRESULT result = ::CallWindowProcW(self.original_, window, message, wParam, lParam);
        if (message == WM_PAINT && ::GetWindowTextLengthW(window) > 0) {
            self.texts.push_back(textOf(window));
            self.busyPointer = self.busyPointer || ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
            self.blueText = self.blueText || pixelsOf(window, RGB(0, 0, 255)) > 0;
            if (self.onFirstProgress_)
                std::exchange(self.onFirstProgress_, {})();
        }
        return result;
    }

    static inline PaintWatcher* watcher_ = nullptr;
    HWND line_;
    WNDPROC original_;
    std::function<void()> onFirstProgress_;
};

class Window : public ::testing::Test {
protected:
    Window()
    {
        form.show();
        handlePending();
    }
    ~Window() override { handlePending(); }

    // Clicks "Datei auswählen und kopieren" and answers what appears; returns what appeared.
    Seen copyWith(std::deque<DialogAnswerer::Answer> answers)
    {
        DialogAnswerer answerer(std::move(answers));
        click(copyButton());
        return answerer.seen();
    }
    HWND sizeField() const { return control(form, "textDateigröße"); }
    HWND progressLine() const { return control(form, "labelInfo"); }
    HWND copyButton() const { return control(form, "buttonKopieren"); }
    HWND endButton() const { return control(form, "buttonEnde"); }
    void setSize(const std::string& text) const
    {
        ::SetWindowTextW(sizeField(), runtime::widen(text).c_str());
    }

    Form1 form;
    TempFolder folder;
};

TEST_F(Window, StartsWithItsTextsLayoutColoursAndFocus)
{
    EXPECT_EQ(textOf(form.handle()), "Palvo V1.1");
    const struct {
        const char* name;
        const char* text;
        RECT place;  // left, top, width, height in pixels at 96 DPI
    } controls[] = {
        {"labelBeschreibung",
         "Dieses Programm zerteilt die Große Datei in viele beliebig kleine und kann mit einem klick auf die Dos- "
         "Batch Datei wieder zusammen gefügt werden.",
         {8, 8, 225, 77}},
        {"labelDateigröße", "Dateigröße (in kB):", {8, 116, 113, 17}},
        {"textDateigröße", "1400", {144, 112, 57, 21}},
        {"labelInfo", "", {8, 152, 305, 25}},
        {"buttonKopieren", "Datei auswählen und kopieren", {8, 188, 217, 33}},
        {"buttonEnde", "Ende", {240, 188, 73, 33}},
        {"Label1", "E- Mail:      kontakt@palvo.example", {24, 236, 273, 17}},
    };
    ASSERT_EQ(::GetDpiForWindow(form.handle()), 96u);  // 15 twips to a pixel
    RECT client;
    ::GetClientRect(form.handle(), &client);
    EXPECT_EQ(client, (RECT{0, 0, 358, 262}));
    EXPECT_FALSE(::GetWindowLongW(form.handle(), GWL_STYLE) & WS_THICKFRAME) << "one size";
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        const HWND each = control(form, c.name);
        EXPECT_EQ(textOf(each), c.text);
        EXPECT_EQ(placeOf(each), c.place);
        // 8-point type: 11 pixels high at 96 DPI.
        LOGFONTW type{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(each, WM_GETFONT, 0, 0)), sizeof type, &type);
        EXPECT_EQ(type.lfHeight, -11);
    }

    // Every text fits its control.
    for (const char* name : {"labelBeschreibung", "labelDateigröße", "Label1", "buttonKopieren", "buttonEnde"}) {
        const HWND each = control(form, name);
        RECT needed = placeOf(each);
        needed.bottom = 0;
        const HDC dc = ::GetDC(each);
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(each, WM_GETFONT, 0, 0)));
        ::DrawTextW(dc, runtime::widen(textOf(each)).c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::ReleaseDC(each, dc);
        EXPECT_LE(needed.bottom - needed.top, placeOf(each).bottom) << name;
        EXPECT_LE(needed.right - needed.left, placeOf(each).right) << name;
    }

    // Colours as drawn on the screen: the contact line yellow on the inactive border's colour,
    // the size's label in the window text's.
    EXPECT_GT(pixelsOf(control(form, "Label1"), RGB(255, 255, 0)), 0);
    EXPECT_GT(pixelsOf(control(form, "Label1"), ::GetSysColor(COLOR_INACTIVEBORDER)), 1000);
    EXPECT_GT(pixelsOf(control(form, "labelDateigröße"), ::GetSysColor(COLOR_WINDOWTEXT)), 0);

    // Focus on "Ende"; Tab goes round "Ende", the copy button, the size field.
    EXPECT_EQ(::GetFocus(), endButton());
    for (const HWND next : {copyButton(), sizeField(), endButton()}) {
        press(VK_TAB);
        EXPECT_EQ(::GetFocus(), next);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    const win32window::ComApartment com;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
