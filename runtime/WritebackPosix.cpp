#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/InputFile.h"
#include "Writeback.h"
#include "CloseChecked.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace runtime {

// Started only, not waited for: the folder's flushFiles() waits for the whole medium at once.
const std::size_t Writeback::kMostWaiting = 64;


std::optional<FileError> Writeback::flushAndClose(const Finished& file)
{
    ::sync_file_range(file.file, 0, 0, SYNC_FILE_RANGE_WRITE);
    return close(file);
}


std::optional<FileError> Writeback::close(const Finished& file)
{
    if (::close(file.file) != 0)
        return FileError(FileOperation::Close, file.path, lastSystemError());
    return std::nullopt;
}

} // namespace runtime
