#include "runtime/FileError.h"

#include "SystemErrorText.h"

#include <cerrno>

namespace runtime {

std::error_code lastSystemError()
{
    return {errno, std::system_category()};
}

const char* systemErrorText(int error)
{
    return errnoText(error);
}

} // namespace runtime
