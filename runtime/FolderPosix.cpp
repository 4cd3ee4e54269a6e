#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/Path.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

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

} // namespace

bool Medium::sameName(std::string_view a, std::string_view b) const
{
    return ignoresCase ? capitals(a) == capitals(b) : a == b;
}

Folder::Folder(std::string path)
    : path_(std::move(path))
{
    handle_ = ::open(shownPath().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle_ < 0)
        throw FileError(FileOperation::Open, shownPath(), lastSystemError());
}

Folder::~Folder()
{
    ::close(handle_);
}

Medium Folder::medium() const
{
    struct statvfs sizes {};
    struct statfs kind {};
    if (::fstatvfs(handle_, &sizes) != 0 || ::fstatfs(handle_, &kind) != 0)
        throw FileError(FileOperation::Inspect, shownPath(), lastSystemError());
    Medium medium;
    std::error_code unknown;
    const auto space = std::filesystem::space(toFsPath(shownPath()), unknown);
    if (!unknown && space.capacity > 0)
        medium.availableBytes = space.available;
    medium.allocationUnit = std::max<ByteCount>(512, static_cast<ByteCount>(sizes.f_frsize));
    medium.longestName = sizes.f_namemax > 0 ? sizes.f_namemax : NAME_MAX;
    const long longestPath = ::fpathconf(handle_, _PC_PATH_MAX);
    medium.longestPath = longestPath > 0 ? static_cast<std::size_t>(longestPath) : PATH_MAX;
    int flags = 0;
    const bool casefolded = ::ioctl(handle_, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
    medium.ignoresCase = casefolded || ignoresCase(static_cast<long>(kind.f_type));
    return medium;
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
    return entry;
}

void Folder::remove(const std::string& name) const
{
    if (::unlinkat(handle_, name.c_str(), 0) != 0 && errno != ENOENT)
        throw FileError(FileOperation::Delete, pathOf(name), lastSystemError());
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
