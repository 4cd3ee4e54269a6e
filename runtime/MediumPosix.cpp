#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/Path.h"
#include "AttributeFlags.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace runtime {

namespace {

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

} // namespace

bool Medium::sameName(std::string_view a, std::string_view b) const
{
    return nameKey(a) == nameKey(b);
}

std::string Medium::nameKey(std::string_view name) const
{
    return ignoresCase ? capitals(name) : std::string(name);
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

} // namespace runtime
