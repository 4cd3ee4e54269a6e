#pragma once

#include <string>
#include <windows.h>

namespace win32window {

// The program's message: a modal box over owner, titled Palvo, with the text as it stands, an
// OK button and no icon.
void messageBox(HWND owner, const std::string& text);

} // namespace win32window
