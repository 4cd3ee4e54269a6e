#include "runtime/Files.h"

#include "runtime/FileError.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace runtime {

namespace {

constexpr mode_t kNewFileMode = 0666;  // the user's umask narrows it, as for any new file

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int openNew(const std::string& path)
{
    int descriptor;
    do {
        descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

// Closes the file once; an error there can mean that written bytes never reached the disk.
void closeChecked(NativeHandle& handle, const std::string& path)
{
    if (::close(std::exchange(handle, -1)) != 0)
        throw FileError(FileOperation::Close, path, errno);
}

} // namespace

InputFile::InputFile(const std::string& path)
    : path_(path)
{
    // Non-blocking, so that a pipe chosen by mistake is refused instead of waited on.
    handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (handle_ < 0)
        throw FileError(FileOperation::Open, path, errno);
    struct stat info {};
    if (::fstat(handle_, &info) != 0) {
        const int error = errno;
        ::close(handle_);
        throw FileError(FileOperation::Open, path, error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(handle_);
        throw FileError(FileOperation::Open, path, "Das ist keine gewöhnliche Datei.");
    }
    ::fcntl(handle_, F_SETFL, 0);
}

InputFile::~InputFile()
{
    if (handle_ >= 0)
        ::close(handle_);
}

ByteCount InputFile::length() const
{
    struct stat info {};
    if (::fstat(handle_, &info) != 0)
        throw FileError(FileOperation::Inspect, path_, errno);
    return info.st_size;
}

void InputFile::readExactly(std::span<std::byte> buffer)
{
    while (!buffer.empty()) {
        const ssize_t got = ::read(handle_, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw FileError(FileOperation::Read, path_, errno);
        if (got == 0)
            throw FileError(FileOperation::Read, path_, kSourceShrank);
        buffer = buffer.subspan(static_cast<std::size_t>(got));
    }
}

void InputFile::close()
{
    closeChecked(handle_, path_);
}

NewFile::NewFile(std::string path, NativeHandle handle)
    : path_(std::move(path))
    , handle_(handle)
{
}

NewFile::NewFile(NewFile&& other) noexcept
    : path_(std::move(other.path_))
    , handle_(std::exchange(other.handle_, -1))
    , committed_(std::exchange(other.committed_, true))
{
}

NewFile::~NewFile()
{
    if (committed_)
        return;
    if (handle_ >= 0)
        ::close(handle_);
    ::unlink(path_.c_str());
}

NewFile NewFile::create(const std::string& path)
{
    const int descriptor = openNew(path);
    if (descriptor < 0)
        throw FileError(FileOperation::Create, path, errno);
    return NewFile(path, descriptor);
}

NewFile NewFile::replace(const std::string& path)
{
    // Tried first without a removal: most pieces are new, and that spares a system call each.
    int descriptor = openNew(path);
    if (descriptor < 0 && errno == EEXIST) {
        removeIfPresent(path);
        descriptor = openNew(path);
    }
    if (descriptor < 0)
        throw FileError(FileOperation::Create, path, errno);
    return NewFile(path, descriptor);
}

NewFile NewFile::createBeside(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    const std::string stem = folderOf(path) + ".palvo-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0;; ++attempt) {
        const std::string candidate = stem + std::to_string(counter++) + ".tmp";
        const int descriptor = openNew(candidate);
        if (descriptor >= 0)
            return NewFile(candidate, descriptor);
        if (errno != EEXIST || attempt == 100)
            throw FileError(FileOperation::Create, candidate, errno);
    }
}

void NewFile::reserve(ByteCount length)
{
#ifdef __linux__  // elsewhere writing finds the room
    ::fallocate(handle_, FALLOC_FL_KEEP_SIZE, 0, length);
#else
    (void)length;
#endif
}

void NewFile::write(std::span<const std::byte> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(handle_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            throw FileError(FileOperation::Write, path_, errno);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

void NewFile::commit()
{
    closeChecked(handle_, path_);
    committed_ = true;
}

void NewFile::commitAs(const std::string& finalPath)
{
    closeChecked(handle_, path_);
    if (::rename(path_.c_str(), finalPath.c_str()) != 0)
        throw FileError(FileOperation::Rename, finalPath, errno);
    committed_ = true;
}

ByteCount copyInKernel(InputFile& source, NewFile& target, ByteCount count)
{
    ByteCount copied = 0;
#ifdef __linux__  // elsewhere the block loop moves every byte
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
            throw FileError(FileOperation::Write, target.path(), errno);
        copied += got;
    }
#endif
    return copied;
}

void removeIfPresent(const std::string& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw FileError(FileOperation::Delete, path, errno);
}

Entry lookUp(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return {};
        throw FileError(FileOperation::Inspect, path, errno);
    }
    Entry entry;
    entry.kind = S_ISREG(info.st_mode) ? EntryKind::File
               : S_ISDIR(info.st_mode) ? EntryKind::Folder
                                       : EntryKind::Other;
    entry.allocatedBytes = static_cast<ByteCount>(info.st_blocks) * 512;
    entry.links = info.st_nlink;
    return entry;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    DIR* directory = ::opendir(folder.c_str());
    if (directory == nullptr)
        throw FileError(FileOperation::ListFolder, folder, errno);
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(directory))
        names.emplace_back(entry->d_name);
    const int error = errno;
    ::closedir(directory);
    if (error != 0)
        throw FileError(FileOperation::ListFolder, folder, error);
    return names;
}

std::uint64_t freeBytes(const std::string& folder)
{
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0)
        throw FileError(FileOperation::Inspect, folder, errno);
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

NameLimits nameLimits(const std::string& folder)
{
    errno = 0;
    const long name = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const long path = ::pathconf(folder.c_str(), _PC_PATH_MAX);
    if ((name < 0 || path < 0) && errno != 0)
        throw FileError(FileOperation::Inspect, folder, errno);
    return {name < 0 ? NAME_MAX : static_cast<std::size_t>(name), path < 0 ? PATH_MAX : static_cast<std::size_t>(path)};
}

std::string canonicalPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        throw FileError(FileOperation::Inspect, path, errno);
    return resolved;
}

} // namespace runtime
