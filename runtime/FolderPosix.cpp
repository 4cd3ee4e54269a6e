#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/Path.h"
#include "Writeback.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <utility>

namespace runtime {

namespace {

constexpr mode_t kNewFileMode = 0666;  // the user's umask narrows it, as for any new file

// Media whose names ignore letter case whatever the folder says: USB sticks and memory cards
// (FAT, exFAT), Windows disks and shares.
bool ignoresCase(long fileSystem)
{
    constexpr long kExfat = 0x2011BAB0, kNtfs3 = 0x7366746E, kNtfs = 0x5346544E, kCifs = 0xFF534D42,
                   kSmb2 = 0xFE534D42;
    switch (fileSystem) {
    case MSDOS_SUPER_MAGIC:
    case kExfat:
    case kNtfs3:
    case kNtfs:
    case kCifs:
    case kSmb2:
    case SMB_SUPER_MAGIC: return true;
    }
    return false;
}

// Folds the letters a name written in the join script's code page can hold (ASCII and
// Latin-1) to their capitals, as media that ignore case compare them.
std::string capitals(std::string_view utf8)
{
    std::string folded;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (c >= 'a' && c <= 'z') {
            folded += static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && next >= 0xA0 && next <= 0xBE && next != 0xB7) {  // à to þ, not ÷
            folded += static_cast<char>(c);
            folded += static_cast<char>(next - 0x20);
            ++i;
        } else {
            folded += static_cast<char>(c);
        }
    }
    return folded;
}

// The file's attribute flags (immutable, append-only, casefolded); none where the medium has none.
int attributeFlags(int descriptor)
{
    int flags = 0;
    return ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0 ? flags : 0;
}

constexpr long kFuse = 0x65735546;  // a medium whose driver is a program: its mount tells which

// The type of the mount the descriptor lies on, as the system's table of mounts names it
// ("ext4", "fuse.fusefat"); empty where it cannot be told.
std::string mountType(int descriptor)
{
    struct statx mount {};
    if (::statx(descriptor, "", AT_EMPTY_PATH, STATX_MNT_ID, &mount) != 0 || !(mount.stx_mask & STATX_MNT_ID))
        return {};
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::uint64_t id = 0;
        const auto separator = line.find(" - ");
        if (fields >> id && id == mount.stx_mnt_id && separator != std::string::npos)
            return line.substr(separator + 3, line.find(' ', separator + 3) - separator - 3);
    }
    return {};
}

// A folder held as a mere path cannot be flushed alone: the whole system is, instead.
void flushAllInstead(const std::string& shownPath)
{
    if (errno != EBADF)
        throw FileError(FileOperation::Flush, shownPath, lastSystemError());
    ::sync();
}

} // namespace

bool Medium::sameName(std::string_view a, std::string_view b) const
{
    return nameKey(a) == nameKey(b);
}

std::string Medium::nameKey(std::string_view name) const
{
    return ignoresCase ? capitals(name) : std::string(name);
}

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

Medium Folder::medium() const
{
    struct statvfs sizes {};
    struct statfs kind {};
    if (::fstatvfs(handle_, &sizes) != 0 || ::fstatfs(handle_, &kind) != 0)
        throw FileError(FileOperation::Inspect, shownPath(), lastSystemError());
    Medium medium;
    std::error_code unknown;
    const auto space = std::filesystem::space(toFsPath(heldPath()), unknown);
    if (!unknown && space.capacity > 0)
        medium.availableBytes = space.available;
    medium.allocationUnit = std::max<ByteCount>(512, static_cast<ByteCount>(sizes.f_frsize));
    medium.longestName = sizes.f_namemax > 0 ? sizes.f_namemax : NAME_MAX;
    const long longestPath = ::fpathconf(handle_, _PC_PATH_MAX);
    medium.longestPath = longestPath > 0 ? static_cast<std::size_t>(longestPath) : PATH_MAX;
    if (sizes.f_files > 0)
        medium.freeFileSlots = sizes.f_favail;
    const bool fat = kind.f_type == MSDOS_SUPER_MAGIC || (kind.f_type == kFuse && mountType(handle_) == "fuse.fusefat");
    if (fat)
        medium.entriesPerFolder = 65534;
    medium.readOnly = (sizes.f_flag & ST_RDONLY) != 0;
    medium.ignoresCase = fat || (attributeFlags(handle_) & FS_CASEFOLD_FL) != 0 ||
                         ignoresCase(static_cast<long>(kind.f_type)) || findsNamesInOtherCase();
    return medium;
}

bool Folder::findsNamesInOtherCase() const
{
    // Asked of the medium itself, for those whose kind does not tell (exFAT or NTFS through
    // FUSE, shares): a name in the folder, its letters in the other case, leads to the same file
    // (where the medium numbers its files by name, to one of the same kind, length and time).
    std::error_code error;
    std::filesystem::directory_iterator entry(toFsPath(heldPath()), error), end;
    for (int tried = 0; !error && entry != end && tried < 64; entry.increment(error), ++tried) {
        const std::string name = fromFsPath(entry->path().filename());
        std::string other = name;
        for (char& c : other)
            c = std::isupper(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(static_cast<unsigned char>(c)))
                                                            : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (other == name)
            continue;
        struct stat named {}, otherwise {};
        if (::fstatat(handle_, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (::fstatat(handle_, other.c_str(), &otherwise, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        const bool sameNumber = named.st_dev == otherwise.st_dev && named.st_ino == otherwise.st_ino;
        const bool alike = named.st_mode == otherwise.st_mode && named.st_size == otherwise.st_size &&
                           named.st_mtim.tv_sec == otherwise.st_mtim.tv_sec &&
                           named.st_mtim.tv_nsec == otherwise.st_mtim.tv_nsec;
        return sameNumber || alike;
    }
    return false;
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

std::optional<FolderLock> Folder::lockFile(const std::string& name, std::string_view note) const
{
    for (;;) {
        // Made so that any user may take and write it: a lock file that a job of another user,
        // or a killed job, left behind stands in nobody's way. One that its maker did not open
        // to others is still taken, by reading, though without a note.
        int descriptor = ::openat(handle_, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        const bool writable = descriptor >= 0;
        if (!writable && errno == EACCES)
            descriptor = ::openat(handle_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0)
            throw FileError(FileOperation::Create, pathOf(name), lastSystemError());
        if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            const std::error_code error = lastSystemError();
            ::close(descriptor);
            if (error == std::errc::operation_would_block)
                return std::nullopt;
            throw FileError(FileOperation::Create, pathOf(name), error);
        }
        // The job that held the lock removes its file as it lets go: a lock taken on a file
        // removed meanwhile guards nothing, so it is taken anew on the file of that name now.
        struct stat held {}, named {};
        if (::fstat(descriptor, &held) == 0 && ::fstatat(handle_, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            if (writable) {
                ::fchmod(descriptor, 0666);  // the umask narrowed it
                // Only a note: where it cannot be written, those kept out are told less.
                if (::ftruncate(descriptor, 0) == 0)
                    (void)!::pwrite(descriptor, note.data(), note.size(), 0);
            }
            return FolderLock(*this, name, descriptor);
        }
        ::close(descriptor);
    }
}

std::string Folder::noteIn(const std::string& lockName) const
{
    const int descriptor = ::openat(handle_, lockName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return {};
    char note[4096];
    const ssize_t got = ::read(descriptor, note, sizeof note);
    ::close(descriptor);
    return got > 0 ? std::string(note, static_cast<std::size_t>(got)) : std::string();
}

FolderLock::~FolderLock()
{
    if (handle_ < 0)
        return;
    ::unlinkat(folder_->handle_, name_.c_str(), 0);
    ::close(handle_);
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
