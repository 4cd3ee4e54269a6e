#include "runtime/FileError.h"

#include "CloseChecked.h"
#include "SystemErrorText.h"

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace runtime {

std::error_code lastSystemError()
{
    return {errno, std::system_category()};
}

const char* systemErrorText(int error)
{
    return errnoText(error);
}

void closeChecked(NativeHandle& handle, const std::string& path)
{
    if (::close(std::exchange(handle, -1)) != 0)
        throw FileError(FileOperation::Close, path, lastSystemError());
}

} // namespace runtime
