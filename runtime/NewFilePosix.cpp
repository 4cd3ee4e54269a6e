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

NewFile::~NewFile()
{
    if (committed_)
        return;
    if (handle_ >= 0)
        ::close(handle_);
    ::unlinkat(folder_->handle_, name_.c_str(), 0);
}


void NewFile::reserve(ByteCount length)
{
    ::fallocate(handle_, FALLOC_FL_KEEP_SIZE, 0, length);
}


void NewFile::write(std::span<const std::byte> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(handle_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            throw FileError(FileOperation::Write, path(), lastSystemError());
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        copied_ += written;
    }
}


void NewFile::commit()
{
    // A small file costs more to hand over than its writing overlaps, and one that shares its
    // blocks has nothing to write: the flush at the job's end takes those.
    constexpr ByteCount kWritebackFrom = 256 << 10;
    if (copied_ < kWritebackFrom)
        closeChecked(handle_, path());
    else
        folder_->writeback_->take(std::exchange(handle_, -1), path());
    committed_ = true;
}


void NewFile::commitAs(const std::string& name)
{
    if (::fdatasync(handle_) != 0)
        throw FileError(FileOperation::Flush, path(), lastSystemError());
    closeChecked(handle_, path());
    if (::renameat(folder_->handle_, name_.c_str(), folder_->handle_, name.c_str()) != 0)
        throw FileError(FileOperation::Rename, folder_->pathOf(name), lastSystemError());
    committed_ = true;
    try {
        folder_->flushNames();
    } catch (const FileError&) {
        // Not sure to stay on the medium: the file goes again, so that no failure leaves it.
        ::unlinkat(folder_->handle_, name.c_str(), 0);
        throw;
    }
}

} // namespace runtime
