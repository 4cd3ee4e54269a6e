#pragma once

namespace win32window {

// A call that the window cannot do without has failed: throws std::system_error with the
// system's code and the call's name.
[[noreturn]] void throwLastError(const char* call);

} // namespace win32window
