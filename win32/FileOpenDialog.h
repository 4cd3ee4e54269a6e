#pragma once

#include <string>
#include <windows.h>

namespace win32window {

// The system's file-open dialog as the window keeps it for its whole life: titled "Datei
// auswählen", for one existing file, with no filter, offering again the file last chosen in
// this run.
class FileOpenDialog {
public:
    // Shows the dialog over owner until the user closes it. Yields the chosen file's full path,
    // or the empty string when none was chosen: cancelled, closed, or the dialog could not be
    // shown.
    std::wstring showOpen(HWND owner);
    // Makes path the file the dialog offers at its next showing.
    void offerFirst(std::wstring path) { lastChoice_ = std::move(path); }

private:
    std::wstring lastChoice_;
};

} // namespace win32window
