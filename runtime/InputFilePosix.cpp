#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/InputFile.h"
#include "Writeback.h"
#include "CloseChecked.h"

#include <algorithm>
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

namespace {

// Fills the buffer by calls of readSome, each of which reads into the part not yet filled as
// read(2) does, wherever it reads from.
template <typename ReadSome>
void fill(std::span<std::byte> buffer, const std::string& path, ReadSome readSome)
{
    while (!buffer.empty()) {
        const ssize_t got = readSome(buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw FileError(FileOperation::Read, path, lastSystemError());
        if (got == 0)
            throw FileError(FileOperation::Read, path, FileProblem::SourceShrank);
        buffer = buffer.subspan(static_cast<std::size_t>(got));
    }
}

} // namespace

void InputFile::readExactly(std::span<std::byte> buffer)
{
    fill(buffer, path_, [&](std::span<std::byte> rest) { return ::read(handle_, rest.data(), rest.size()); });
}

void InputFile::readAt(ByteCount offset, std::span<std::byte> buffer) const
{
    fill(buffer, path_, [&](std::span<std::byte> rest) {
        const ssize_t got = ::pread(handle_, rest.data(), rest.size(), offset);
        offset += std::max<ssize_t>(got, 0);
        return got;
    });
}


void InputFile::close()
{
    closeChecked(handle_, path_);
}

} // namespace runtime
