#include "SystemError.h"

#include <stdexcept>
#include <string>
#include <windows.h>

namespace win32window {

void throwLastError(const char* call)
{
    // The code alone: the system's own text for it would come in the ANSI code page.
    throw std::runtime_error(std::string(call) + " meldet den Systemfehler " + std::to_string(::GetLastError()));
}

} // namespace win32window
