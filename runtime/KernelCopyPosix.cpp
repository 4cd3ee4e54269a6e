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

ByteCount copyInKernel(InputFile& source, NewFile& target, ByteCount count)
{
    ByteCount copied = 0;
    while (copied < count) {
        const ssize_t got = ::copy_file_range(source.handle_, nullptr, target.handle_, nullptr,
                                              static_cast<std::size_t>(count - copied), 0);
        if (got < 0 && errno == EINTR)
            continue;
        const bool refused = got < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                                         errno == EOPNOTSUPP || errno == EBADF || errno == EPERM);
        if (got == 0 || refused)
            break;
        if (got < 0)
            throw FileError(FileOperation::Write, target.path(), lastSystemError());
        copied += got;
        target.copied_ += got;
    }
    return copied;
}


ByteCount shareInKernel(InputFile& source, NewFile& target, ByteCount count)
{
    const off_t from = ::lseek(source.handle_, 0, SEEK_CUR);
    file_clone_range range{};
    range.src_fd = source.handle_;
    range.src_offset = static_cast<std::uint64_t>(from);
    range.src_length = static_cast<std::uint64_t>(count);
    if (from < 0 || ::ioctl(target.handle_, FICLONERANGE, &range) != 0)
        return 0;
    // A clone moves no file position: the source goes on past the shared bytes, as after a copy.
    if (::lseek(source.handle_, count, SEEK_CUR) < 0)
        throw FileError(FileOperation::Read, source.path(), lastSystemError());
    return count;
}

} // namespace runtime
