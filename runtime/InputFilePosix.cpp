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

} // namespace runtime
