#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/InputFile.h"
#include "Writeback.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace runtime {

namespace {

// Closes the file once; an error there can mean that written bytes never reached the disk.
void closeChecked(NativeHandle& handle, const std::string& path)
{
    if (::close(std::exchange(handle, -1)) != 0)
        throw FileError(FileOperation::Close, path, lastSystemError());
}

} // namespace

InputFile::InputFile(const std::string& path)
    : path_(path)
{
    // Non-blocking, so that a pipe chosen by mistake is refused instead of waited on.
    open(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

InputFile::InputFile(const Folder& folder, const std::string& name)
    : path_(folder.pathOf(name))
{
    open(::openat(folder.handle_, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

void InputFile::open(NativeHandle handle)
{
    handle_ = handle;
    if (handle_ < 0)
        throw FileError(FileOperation::Open, path_, lastSystemError());
    struct stat info {};
    const std::error_code error = ::fstat(handle_, &info) != 0 ? lastSystemError()
                                : !S_ISREG(info.st_mode)       ? FileProblem::NotARegularFile
                                                               : std::error_code();
    if (error) {
        ::close(handle_);
        throw FileError(FileOperation::Open, path_, error);
    }
    ::fcntl(handle_, F_SETFL, 0);
    opened_ = stamp();
}

std::pair<ByteCount, std::int64_t> InputFile::stamp() const
{
    struct stat info {};
    if (::fstat(handle_, &info) != 0)
        throw FileError(FileOperation::Inspect, path_, lastSystemError());
    return {info.st_size, info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec};
}

InputFile::~InputFile()
{
    if (handle_ >= 0)
        ::close(handle_);
}

FileIdentity InputFile::identity() const
{
    struct stat info {};
    if (::fstat(handle_, &info) != 0)
        throw FileError(FileOperation::Inspect, path_, lastSystemError());
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

void InputFile::readExactly(std::span<std::byte> buffer)
{
    while (!buffer.empty()) {
        const ssize_t got = ::read(handle_, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw FileError(FileOperation::Read, path_, lastSystemError());
        if (got == 0)
            throw FileError(FileOperation::Read, path_, FileProblem::SourceShrank);
        buffer = buffer.subspan(static_cast<std::size_t>(got));
    }
}

void InputFile::readAt(ByteCount offset, std::span<std::byte> buffer) const
{
    while (!buffer.empty()) {
        const ssize_t got = ::pread(handle_, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw FileError(FileOperation::Read, path_, lastSystemError());
        if (got == 0)
            throw FileError(FileOperation::Read, path_, FileProblem::SourceShrank);
        buffer = buffer.subspan(static_cast<std::size_t>(got));
        offset += got;
    }
}

void InputFile::close()
{
    closeChecked(handle_, path_);
}

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
