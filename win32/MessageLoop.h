#pragma once

#include <windows.h>

namespace win32window {

// Hands a message of this thread to its window. The window takes the keyboard as a form of
// controls does: Tab and Shift+Tab move the focus, Enter presses the focused button or, in the
// size field, the default one; Space presses the focused button.
void dispatchMessage(MSG& message);

// Runs this thread's messages until the program ends; yields its exit code.
int runMessageLoop();

} // namespace win32window
