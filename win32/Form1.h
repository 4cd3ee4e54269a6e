#pragma once

#include "FileOpenDialog.h"
#include "Font.h"
#include "TaskbarButton.h"
#include "form/CopyCommand.h"
#include "form/CuttingRun.h"
#include "form/InputDuringJob.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>
#include <windows.h>

namespace win32window {

class WindowClass;

// Each control bears its name through its control ID, by which tests and tools find it
// (GetDlgItem).
struct NamedControl {
    int id;
    const char* name;
};
inline constexpr NamedControl namedControls[] = {
    {101, "labelBeschreibung"}, {102, "labelDateigröße"}, {103, "textDateigröße"}, {104, "labelInfo"},
    {105, "buttonKopieren"},    {106, "buttonEnde"},      {107, "Label1"},
};
// The ID of the control of that name; 0 for a name that the window has not.
int controlId(std::string_view name);

// Palvo's one window on Windows, made of the system's own controls: a sentence that explains
// the tool, the piece size, the button that asks for a file and cuts it, "Ende", the progress
// line and the contact line. The program ends when it is destroyed.
class Form1 : private form::CopyCommandWindow, private form::JobView {
public:
    // Creates the window, hidden; throws std::runtime_error when the system refuses it.
    // arguments: what the program was started with; a file named there is the one the file
    // dialog offers first. taskbar: where it shows how far a job is.
    explicit Form1(std::vector<std::string> arguments = {},
                   std::unique_ptr<TaskbarButton> taskbar = systemTaskbarButton());
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    HWND handle() const { return window_; }
    void show(int how = SW_SHOWNORMAL);

private:
    // A call that the job's thread posts to the window's.
    static constexpr UINT postedCall = WM_APP;
    // The focus has moved: the default button follows it.
    static constexpr UINT defaultFollowsFocus = WM_APP + 1;

    static const WindowClass& windowClass();
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    HWND createControl(const wchar_t* kind, const char* name, const std::string& text, DWORD style, DWORD exStyle = 0);
    void layOut(UINT dpi);
    void command(int id, int notification);
    LRESULT colours(HDC dc, HWND control);
    void makeDefault(HWND button);
    void restoreFocus();
    void close();
    void fail(const std::string& text);
    void filesDropped(HDROP drop);
    void offerFileNamedAtStart(const std::vector<std::string>& arguments);

    void buttonKopieren_Click();
    void buttonEnde_Click();

    // What the copy command asks of the window.
    std::string sizeFieldText() override;
    void focusSizeField() override;
    void showMessage(const std::string& text) override;
    std::string DateiDialog() override;
    // Runs the job off the window's thread; the window paints meanwhile and takes only the input
    // that form::passesDuringJob lets through.
    void startCutting(const std::string& source, std::int64_t pieceLength) override;
    // A message as the rule for input during a job (form::passesDuringJob) sees it.
    form::Input inputOf(const MSG& message) const;

    // What a running job shows.
    void postToWindow(std::function<void()> call) override;
    void showBusy(bool busy) override;
    void showProgressText(const std::string& text) override;
    bool askYesNo(const std::string& question) override;
    void showDesktopProgress(double fraction) override;
    void showDesktopFailure() override;
    void clearDesktopProgress() override;
    void jobEnded() override;

    HWND window_ = nullptr;
    HWND labelBeschreibung = nullptr;
    HWND labelDateigröße = nullptr;
    HWND textDateigröße = nullptr;
    HWND labelInfo = nullptr;
    HWND buttonKopieren = nullptr;
    HWND buttonEnde = nullptr;
    HWND Label1 = nullptr;
    FileOpenDialog cmdStandarddialog;

    Font font_;
    HWND focus_ = nullptr;  // the control that gets the focus when the window is active again
    bool busy_ = false;
    std::unique_ptr<TaskbarButton> taskbar_;
    form::CuttingRun run_{*this};
};

} // namespace win32window
