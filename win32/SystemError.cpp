#include "SystemError.h"

#include <system_error>
#include <windows.h>

namespace win32window {

void throwLastError(const char* call)
{
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), call);
}

} // namespace win32window
