#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/Path.h"
#include "AttributeFlags.h"
#include "Writeback.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace runtime {

namespace {

constexpr mode_t kNewFileMode = 0666;  // the user's umask narrows it, as for any new file

// A folder held as a mere path cannot be flushed alone: the whole system is, instead.
void flushAllInstead(const std::string& shownPath)
{
    if (errno != EBADF)
        throw FileError(FileOperation::Flush, shownPath, lastSystemError());
    ::sync();
}

} // namespace

Folder::Folder(std::string path)
    : path_(std::move(path))
    , writeback_(std::make_unique<Writeback>())
{
    handle_ = ::open(openedPath().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that may be written but not read (a drop box) is held as a mere path.
    if (handle_ < 0 && errno == EACCES)
        handle_ = ::open(openedPath().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (handle_ < 0)
        throw FileError(FileOperation::Open, shownPath(), lastSystemError());
}

Folder::~Folder()
{
    ::close(handle_);
}

std::string Folder::heldPath() const
{
    return "/proc/self/fd/" + std::to_string(handle_);
}

std::optional<std::error_code> Folder::whyNotWritable() const
{
    if (::faccessat(handle_, ".", W_OK | X_OK, AT_EACCESS) != 0)
        return lastSystemError();
    // Immutable: nothing changes; append-only: nothing goes. Either way old outputs stay.
    if (attributeFlags(handle_) & (FS_IMMUTABLE_FL | FS_APPEND_FL))
        return std::make_error_code(std::errc::operation_not_permitted);
    return std::nullopt;
}

std::optional<std::error_code> Folder::whyNotRemovable(const std::string& name) const
{
    struct stat folder {}, file {};
    if (::fstat(handle_, &folder) != 0 || ::fstatat(handle_, name.c_str(), &file, AT_SYMLINK_NOFOLLOW) != 0)
        return lastSystemError();
    // In a sticky folder (/tmp, shared folders) only a file's owner or the folder's removes it.
    const uid_t me = ::geteuid();
    if ((folder.st_mode & S_ISVTX) && me != 0 && file.st_uid != me && folder.st_uid != me)
        return std::make_error_code(std::errc::operation_not_permitted);
    // A file or folder that something is mounted on goes nowhere until it is unmounted.
    struct statx mount {};
    if (::statx(handle_, name.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &mount) == 0 &&
        (mount.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (mount.stx_attributes & STATX_ATTR_MOUNT_ROOT))
        return std::make_error_code(std::errc::device_or_resource_busy);
    if (S_ISREG(file.st_mode) || S_ISDIR(file.st_mode)) {
        const int descriptor = ::openat(handle_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        const int flags = descriptor < 0 ? 0 : attributeFlags(descriptor);
        if (descriptor >= 0)
            ::close(descriptor);
        if (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL))
            return std::make_error_code(std::errc::operation_not_permitted);
    }
    return std::nullopt;
}

void Folder::flushFiles() const
{
    writeback_->finish();
    if (::syncfs(handle_) != 0)
        flushAllInstead(shownPath());
}

void Folder::flushNames() const
{
    if (::fsync(handle_) != 0)
        flushAllInstead(shownPath());
}

Entry Folder::lookUp(const std::string& name) const
{
    struct stat info {};
    if (::fstatat(handle_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return {};
        throw FileError(FileOperation::Inspect, pathOf(name), lastSystemError());
    }
    Entry entry;
    entry.kind = S_ISREG(info.st_mode) ? EntryKind::File
               : S_ISDIR(info.st_mode) ? EntryKind::Folder
                                       : EntryKind::Other;
    entry.allocatedBytes = static_cast<ByteCount>(info.st_blocks) * 512;
    entry.links = info.st_nlink;
    entry.identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return entry;
}

void Folder::rename(const std::string& from, const std::string& to) const
{
    if (::renameat(handle_, from.c_str(), handle_, to.c_str()) != 0)
        throw FileError(FileOperation::Rename, pathOf(to), lastSystemError());
}

void Folder::remove(const std::string& name) const
{
    if (::unlinkat(handle_, name.c_str(), 0) != 0 && errno != ENOENT)
        throw FileError(FileOperation::Delete, pathOf(name), lastSystemError());
}

void Folder::removeForGood(const std::string& name, const std::string&) const
{
    remove(name);
    flushNames();
}

std::optional<NewFile> Folder::createIfFree(const std::string& name) const
{
    int descriptor;
    do {
        descriptor = ::openat(handle_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor >= 0)
        return NewFile(*this, name, descriptor);
    if (errno == EEXIST)
        return std::nullopt;
    throw FileError(FileOperation::Create, pathOf(name), lastSystemError());
}

} // namespace runtime
