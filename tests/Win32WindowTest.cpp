// The Windows window, created for real and driven through the program's own message loop: its
// texts, places, colours and keyboard, and the copy command with the system's file dialog and
// message boxes answered as a user would.
#include "ComApartment.h"
#include "Form1.h"
#include "MessageLoop.h"

#include "DialogAnswerer.h"
#include "TestSupport.h"
#include "runtime/Path.h"
#include "runtime/WideText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <commctrl.h>
#include <filesystem>
#include <mutex>
#include <shellapi.h>
#include <shlobj.h>

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

// A key pressed and let go on the control that has the focus, queued for the window.
void queueKey(UINT key)
{
    const HWND focus = ::GetFocus();
    const LPARAM scanCode = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(focus, WM_KEYDOWN, key, scanCode | 1);
    ::PostMessageW(focus, WM_KEYUP, key, scanCode | 1 | 0xC0000000);
}

// A click of the left mouse button in the middle of the control, queued for the window.
void queueClick(HWND control)
{
    RECT area;
    ::GetClientRect(control, &area);
    const LPARAM middle = MAKELPARAM(area.right / 2, area.bottom / 2);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    ::PostMessageW(control, WM_LBUTTONUP, 0, middle);
}

// Tab, one key at a time as the window takes them, until "Ende" has the focus; then Space.
void tabToAndPressSpace(HWND button)
{
    static HWND target;
    static int tabs;
    target = button;
    tabs = 0;
    // A timer comes once the keys queued before it are handled.
    ::SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR timer, DWORD) {
        if (::GetFocus() != target && tabs++ < 3)
            return queueKey(VK_TAB);
        ::KillTimer(nullptr, timer);
        queueKey(VK_SPACE);
    });
}

// Alt+F4 on the control that has the focus.
void queueAltF4()
{
    const LPARAM scanCode = static_cast<LPARAM>(::MapVirtualKeyW(VK_F4, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM altDown = 1 << 29;
    ::PostMessageW(::GetFocus(), WM_SYSKEYDOWN, VK_F4, scanCode | altDown | 1);
    ::PostMessageW(::GetFocus(), WM_SYSKEYUP, VK_F4, scanCode | altDown | 1 | 0xC0000000);
}

void press(UINT key)
{
    queueKey(key);
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

// Watches the progress line through its window procedure. Each text it showed is recorded when
// the next one replaces it, with what the screen showed then: whether the text was blue and the
// pointer the hourglass. onFirstProgress runs once the first text has been set.
class ProgressWatcher {
public:
    explicit ProgressWatcher(HWND progressLine, std::function<void()> onFirstProgress = {})
        : line_(progressLine), onFirstProgress_(std::move(onFirstProgress))
    {
        watcher_ = this;
        original_ = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(line_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgressWatcher::procedure)));
    }
    ~ProgressWatcher()
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
        ProgressWatcher& self = *watcher_;
        if (message == WM_SETTEXT && ::GetWindowTextLengthW(window) > 0) {
            self.texts.push_back(textOf(window));
            self.busyPointer = self.busyPointer || ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
            self.blueText = self.blueText || pixelsOf(window, RGB(0, 0, 255)) > 0;
        }
        const LRESULT result = ::CallWindowProcW(self.original_, window, message, wParam, lParam);
        if (message == WM_SETTEXT && ::GetWindowTextLengthW(window) > 0 && self.onFirstProgress_)
            std::exchange(self.onFirstProgress_, {})();
        return result;
    }

    static inline ProgressWatcher* watcher_ = nullptr;
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
        queueClick(copyButton());
        handlePending();
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
        RECT needed{0, 0, placeOf(each).right, 0};
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

TEST_F(Window, ReadsTheSizeFieldAsKilobytes)
{
    // How a size is read, FormTest.cpp tells: here the field's text reaches it, and a warning
    // puts the focus back in the field.
    const struct {
        const char* text;
        std::int64_t pieceLength;  // 0: the warning
    } cases[] = {{"1.5", 1536}, {"-5", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        setSize(c.text);
        ::SetFocus(endButton());
        TempFolder here;
        if (c.pieceLength > 0) {
            writeFile(here / "film.avi", randomBytes(static_cast<std::size_t>(2 * c.pieceLength + 1)));
            EXPECT_EQ(copyWith({chooseFile(here / "film.avi")}), Seen{"Datei auswählen"});
            EXPECT_EQ(readFile(here / "film.001").size(), static_cast<std::size_t>(c.pieceLength));
            EXPECT_EQ(readFile(here / "film.003").size(), 1u);
        } else {
            EXPECT_EQ(copyWith({pressOk()}), Seen{"Palvo: Geben Sie bitte eine gültige Dateigröße an!"});
            EXPECT_EQ(::GetFocus(), sizeField());
        }
        EXPECT_EQ(textOf(sizeField()), c.text) << "the field keeps what the user typed";
    }
}

TEST_F(Window, EnterAndSpacePressTheFocusedButton)
{
    const struct {
        UINT key;
        int tabs;             // from "Ende", where the focus starts
        const char* focused;  // put there directly after the tabs, as a mouse press puts it
        bool ends;            // the window is gone; otherwise the file dialog appears
    } cases[] = {
        {VK_RETURN, 1, "buttonKopieren", false}, {VK_SPACE, 1, "buttonKopieren", false},
        {VK_RETURN, 2, "textDateigröße", false}, {VK_RETURN, 3, "buttonEnde", true},
        {VK_SPACE, 3, "buttonEnde", true},       {VK_RETURN, 0, "buttonEnde", true},
        {VK_RETURN, 2, "buttonEnde", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.focused) + (c.key == VK_SPACE ? " Space" : " Enter") + " after tabs: " + std::to_string(c.tabs));
        Form1 other;
        other.show();
        handlePending();
        for (int tab = 0; tab < c.tabs; ++tab)
            press(VK_TAB);
        ::SetFocus(control(other, c.focused));
        DialogAnswerer answerer({cancel()});
        press(c.key);
        EXPECT_EQ(answerer.seen(), c.ends ? Seen{} : Seen{"Datei auswählen"});
        EXPECT_EQ(::IsWindow(other.handle()), !c.ends);
    }
}

TEST_F(Window, CutsAFileWithAnUmlautAndABlankThatCmdJoinsAgain)
{
    const std::string bytes = randomBytes(3000000);
    makeFolder(folder / "Übung 1");
    const std::string source = folder / "Übung 1" + "\\Größe Film.avi";
    writeFile(source, bytes);
    Seen seen;
    {
        ProgressWatcher watcher(progressLine());
        seen = copyWith({chooseFile(source)});
        ASSERT_FALSE(watcher.texts.empty()) << "the progress line was painted during the job";
        for (const std::string& text : watcher.texts)
            EXPECT_TRUE(text.starts_with("Kopiere Daten nach " + folder / "Übung 1" + "\\Größe Film.00")) << text;
        EXPECT_TRUE(watcher.busyPointer);
        EXPECT_TRUE(watcher.blueText);
    }
    EXPECT_EQ(seen, Seen{"Datei auswählen"});
    EXPECT_EQ(textOf(progressLine()), "");
    EXPECT_NE(::GetCursor(), ::LoadCursorW(nullptr, IDC_WAIT));

    removeFile(source);
    ASSERT_EQ(runBatchFile(folder / "Übung 1", "Größe Film.bat").status, 0);
    EXPECT_EQ(readFile(source), bytes);

    // The next command offers the same file again, in its folder.
    removeFile(folder / "Übung 1" + "\\Größe Film.bat");
    std::string offered;
    EXPECT_EQ(copyWith({acceptOffered(offered)}), Seen{"Datei auswählen"});
    EXPECT_EQ(offered, "Größe Film.avi");
    EXPECT_TRUE(exists(folder / "Übung 1" + "\\Größe Film.bat"));
}

TEST_F(Window, ShowsTheEnginesMessagesAndStaysUsable)
{
    setSize("1");
    writeFile(folder / "klein.avi", "zu klein");
    EXPECT_EQ(copyWith({chooseFile(folder / "klein.avi"), pressOk()}),
              (Seen{"Datei auswählen", "Palvo: Die ausgewählte Datei ist kleiner als die angegebene Dateigröße. "
                                       "Keine Zerlegung erforderlich."}));
    EXPECT_EQ(copyWith({cancel()}), Seen{"Datei auswählen"});
    EXPECT_EQ(folder.names(), std::vector<std::string>{"klein.avi"});
}

TEST_F(Window, TakesNoInputButEndeAndEscapeDuringAJob)
{
    const std::string bytes = randomBytes(500 * 1024);
    writeFile(folder / "film.avi", bytes);
    setSize("1");
    ProgressWatcher watcher(progressLine(), [&] {
        // Pressed while the job runs: none of these may start anything.
        ::SetFocus(copyButton());
        queueKey(VK_RETURN);
        queueClick(copyButton());
        queueClick(control(form, "textDateigröße"));
    });
    EXPECT_EQ(copyWith({chooseFile(folder / "film.avi")}), Seen{"Datei auswählen"});
    EXPECT_TRUE(::IsWindow(form.handle()));
    EXPECT_EQ(readScript(readFile(folder / "film.bat")).pieces.size(), 500u);
    EXPECT_EQ(joinedPieces(folder / "film."), bytes);
}

// A source with an earlier job's script and an unrelated piece of a higher number beside it;
// a job on it runs for seconds, long enough to be stopped however busy the machine is.
struct LongJob {
    explicit LongJob(std::uintmax_t bytes)
    {
        // Large, but sparse: quickly made, quickly read, and only its pieces take room.
        writeFile(folder / "film.avi", "");
        std::filesystem::resize_file(runtime::toFsPath(folder / "film.avi"), bytes);
        writeFile(folder / "film.bat", earlierScript);
        writeFile(folder / "film.099", "ein Teil eines anderen Zerlegens");
    }
    // Its pieces and script, or nothing of the job at all: the folder as it was.
    void expectCompleteOrGone(bool complete) const
    {
        EXPECT_EQ(readFile(folder / "film.099"), "ein Teil eines anderen Zerlegens");
        if (complete) {
            EXPECT_EQ(readScript(readFile(folder / "film.bat")).pieces.size(), 50u);
        } else {
            EXPECT_EQ(folder.names(), (std::vector<std::string>{"film.099", "film.avi", "film.bat"}));
            EXPECT_EQ(readFile(folder / "film.bat"), earlierScript);
        }
    }
    static constexpr const char* earlierScript = "copy /b film.001 + film.002 film.avi\r\n";
    TempFolder folder;
};

// Says Ja only after the job had time to end on its own: it waits while the question is open,
// so its last piece never comes, and Ja still takes back all it wrote.
DialogAnswerer::Answer pressYesAfterAWait(const std::string& last)
{
    return [last](HWND box) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!exists(last) && std::chrono::steady_clock::now() < deadline)
            ::Sleep(20);
        EXPECT_FALSE(exists(last)) << "the job went on under the question";
        pressYes()(box);
    };
}

TEST(WindowWhileCutting, AJobStopsWhenTheUserSaysSo)
{
    enum class Answer { Ja, Nein, JaAfterAWait };
    const struct {
        const char* way;
        void (*ask)(Form1&);
        Answer answer;
        bool windowStays;
    } cases[] = {
        {"Ende", [](Form1& form) { queueClick(control(form, "buttonEnde")); }, Answer::Ja, false},
        {"Ende", [](Form1& form) { queueClick(control(form, "buttonEnde")); }, Answer::Nein, true},
        {"Ende", [](Form1& form) { queueClick(control(form, "buttonEnde")); }, Answer::JaAfterAWait, false},
        {"the window's close button", [](Form1& form) { ::PostMessageW(form.handle(), WM_CLOSE, 0, 0); }, Answer::Ja, false},
        {"Escape", [](Form1&) { queueKey(VK_ESCAPE); }, Answer::Ja, true},
        {"the keyboard alone: Tab to Ende, Space", [](Form1& form) { tabToAndPressSpace(control(form, "buttonEnde")); },
         Answer::Ja, false},
        {"Alt+F4", [](Form1&) { queueAltF4(); }, Answer::Ja, false},
    };
    for (const auto& c : cases) {
        const char* answers[] = {"Ja", "Nein", "Ja after a wait"};
        SCOPED_TRACE(std::string(c.way) + ", " + answers[static_cast<int>(c.answer)]);
        LongJob job(2000 << 20);
        {
            Form1 form;
            form.show();
            handlePending();
            ::SetWindowTextW(control(form, "textDateigröße"), L"40960");
            ProgressWatcher watcher(control(form, "labelInfo"), [&] { c.ask(form); });
            const DialogAnswerer::Answer answer =
                c.answer == Answer::Ja     ? pressYes()
                : c.answer == Answer::Nein ? pressNo()
                                           : pressYesAfterAWait(job.folder / "film.050");
            DialogAnswerer answerer({chooseFile(job.folder / "film.avi"), answer});
            queueClick(control(form, "buttonKopieren"));
            handlePending();
            EXPECT_EQ(answerer.seen(), (Seen{"Datei auswählen", "Palvo: Soll das Zerlegen abgebrochen werden?"}));
            job.expectCompleteOrGone(c.answer == Answer::Nein);
            EXPECT_EQ(::IsWindow(form.handle()) != FALSE, c.windowStays);
        }
        handlePending();  // the program's end that the window's going asked for
    }
}

// A taskbar button of the test's own, which keeps what the window showed on it.
class RecordingTaskbarButton : public win32window::TaskbarButton {
public:
    void showProgress(HWND, double fraction) override { record("progress " + std::to_string(fraction)); }
    void showFailure(HWND) override { record("failure"); }
    void clear(HWND) override { record("clear"); }
    std::vector<std::string> shown()
    {
        std::lock_guard lock(mutex_);
        return shown_;
    }

private:
    void record(const std::string& what)
    {
        std::lock_guard lock(mutex_);
        shown_.push_back(what);
    }
    std::mutex mutex_;
    std::vector<std::string> shown_;
};

TEST(WindowWhileCutting, ShowsHowFarTheJobIsOnTheTaskbarButton)
{
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "a job that fails" : "a job that ends well");
        handlePending();  // the program's end that an earlier window's going asked for
        LongJob job(400 << 20);
        auto taskbar = std::make_unique<RecordingTaskbarButton>();
        RecordingTaskbarButton& button = *taskbar;
        Form1 form({}, std::move(taskbar));
        form.show();
        handlePending();
        ::SetWindowTextW(control(form, "textDateigröße"), L"8192");
        HANDLE inTheWay = INVALID_HANDLE_VALUE;
        // Held by another program, made after the job's checks: the job fails at that piece.
        ProgressWatcher watcher(control(form, "labelInfo"), [&] {
            if (fails)
                inTheWay = ::CreateFileW(runtime::widen(job.folder / "film.040").c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_NEW, 0, nullptr);
        });
        std::vector<std::string> shownWithTheFailure;
        DialogAnswerer answerer({chooseFile(job.folder / "film.avi"), [&](HWND box) {
                                     shownWithTheFailure = button.shown();
                                     pressOk()(box);
                                 }});
        queueClick(control(form, "buttonKopieren"));
        handlePending();
        ::CloseHandle(inTheWay);

        const std::vector<std::string> shown = button.shown();
        ASSERT_GE(shown.size(), 3u);
        EXPECT_EQ(shown.back(), "clear");
        std::vector<double> fractions;
        for (const std::string& each : shown)
            if (each.starts_with("progress "))
                fractions.push_back(std::stod(each.substr(9)));
        EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
        if (fails) {
            ASSERT_FALSE(shownWithTheFailure.empty());
            EXPECT_EQ(shownWithTheFailure.back(), "failure") << "while the failure's message is up";
        } else {
            EXPECT_LT(fractions.front(), fractions.back());
            EXPECT_EQ(fractions.back(), 1.0);
        }
    }
}

// Files dropped on the window, as the shell hands them over.
void drop(const Form1& form, const std::vector<std::string>& paths)
{
    std::wstring names;
    for (const std::string& path : paths)
        names += runtime::widen(path) + L'\0';
    names += L'\0';
    const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(::GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(files + 1));
    ::GlobalUnlock(memory);
    ::PostMessageW(form.handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

TEST_F(Window, CutsOneFileDroppedOnItAndExplainsWhyNotMore)
{
    writeFile(folder / "film.avi", randomBytes(3000, 2));
    writeFile(folder / "zweite.avi", randomBytes(3000, 3));
    setSize("1");
    // What is done with which drop, FormTest.cpp tells: here the files dropped reach it.
    const struct {
        const char* what;
        std::vector<std::string> dropped;
        std::string message;  // empty: the file is cut
    } cases[] = {
        {"one file", {"film.avi"}, ""},
        {"two files", {"film.avi", "zweite.avi"}, "Es wurden mehrere Dateien auf das Fenster gezogen."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        removeFile(folder / "film.bat");
        std::vector<std::string> paths;
        for (const std::string& name : c.dropped)
            paths.push_back(folder / name);
        DialogAnswerer answerer({pressOk()});
        drop(form, paths);
        handlePending();
        handlePending();
        if (c.message.empty()) {
            EXPECT_EQ(answerer.seen(), Seen{});
            EXPECT_EQ(joinedPieces(folder / "film."), readFile(folder / "film.avi"));
        } else {
            ASSERT_EQ(answerer.seen().size(), 1u);
            EXPECT_NE(answerer.seen()[0].find(c.message), std::string::npos) << answerer.seen()[0];
            EXPECT_FALSE(exists(folder / "film.bat"));
        }
    }
}

TEST(WindowStarted, WithAFileOffersItInTheDialog)
{
    TempFolder folder;
    writeFile(folder / "film.avi", randomBytes(3000, 4));
    // Which name is offered, FormTest.cpp tells: here the dialog offers it, or a box says why not.
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        std::string offered;  // by the dialog at its first showing
        Seen messages;
    } cases[] = {
        {"a file", {folder / "film.avi"}, "film.avi", {}},
        {"a name of no file", {folder / "fehlt.avi"}, "",
         {"Palvo: Palvo sollte die Datei „" + folder / "fehlt.avi" + "“ öffnen, doch die gibt es nicht. Bitte wählen "
          "Sie die Datei mit „Datei auswählen und kopieren“."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        {
            Form1 form(c.arguments);
            {
                DialogAnswerer started({pressOk()});
                form.show();
                handlePending();
                EXPECT_EQ(started.seen(), c.messages);
            }
            std::string offered;
            DialogAnswerer dialog({cancelOffered(offered)});
            queueClick(control(form, "buttonKopieren"));
            handlePending();
            EXPECT_EQ(offered, c.offered);
            EXPECT_FALSE(exists(folder / "film.bat")) << "nothing is cut before the user asks";
        }
        handlePending();  // the program's end that the window's going asked for
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
