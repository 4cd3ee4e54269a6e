#pragma once

#include <string>
#include <windows.h>

namespace win32window {

// The program's message: a modal box over owner, titled Palvo, with the text as it stands, an
// OK button and no icon.
void messageBox(HWND owner, const std::string& text);

// A modal question over owner, titled Palvo, with "Ja" and "Nein", "Nein" the default;
// whether it was "Ja".
bool askYesNo(HWND owner, const std::string& question);

} // namespace win32window
