#pragma once

namespace win32window {

// A call that the window cannot do without has failed: throws std::runtime_error naming the
// call and the system's code.
[[noreturn]] void throwLastError(const char* call);

} // namespace win32window
