#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/Path.h"
#include "runtime/WideText.h"

#include <filesystem>
#include <utility>
#include <windows.h>
#include <winternl.h>

// ntdll's own, which CompareStringOrdinal and the file systems follow.
extern "C" NTSTATUS NTAPI RtlUpcaseUnicodeString(PUNICODE_STRING destination, PCUNICODE_STRING source,
                                                 BOOLEAN allocateDestination);

namespace runtime {

namespace {

// The system's own upper-casing, the one NTFS's table and CompareStringOrdinal follow: Ä is ä,
// ß stays ß.
std::wstring capitals(std::wstring_view name)
{
    std::wstring folded(name.size(), L'\0');
    UNICODE_STRING source{static_cast<USHORT>(name.size() * sizeof(wchar_t)), static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                          const_cast<PWSTR>(name.data())};
    UNICODE_STRING target{0, static_cast<USHORT>(folded.size() * sizeof(wchar_t)), folded.data()};
    if (::RtlUpcaseUnicodeString(&target, &source, FALSE) < 0)
        return std::wstring(name);
    return folded;
}

} // namespace

// One folding for the keys and for comparing names alike: two names the medium holds as one
// never get two locks.
std::string Medium::nameKey(std::string_view name) const
{
    return ignoresCase ? narrow(capitals(widen(name))) : std::string(name);
}

bool Medium::sameName(std::string_view a, std::string_view b) const
{
    return nameKey(a) == nameKey(b);
}

bool Folder::findsNamesInOtherCase() const
{
    return true;  // Windows' own file systems ignore case
}

Medium Folder::medium() const
{
    Medium medium;
    std::error_code unknown;
    const auto space = std::filesystem::space(toFsPath(openedPath()), unknown);
    if (!unknown && space.capacity > 0)
        medium.availableBytes = space.available;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    const std::wstring root = widen(fromFsPath(std::filesystem::absolute(toFsPath(openedPath())).root_path()));
    if (::GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        medium.allocationUnit = static_cast<ByteCount>(sectorsPerCluster) * bytesPerSector;
    // MAX_PATH: cmd and Explorer reach no file beyond it.
    medium.longestName = 255;
    medium.longestPath = MAX_PATH;
    medium.ignoresCase = true;
    DWORD flags = 0;
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, fileSystem, MAX_PATH + 1)) {
        medium.readOnly = (flags & FILE_READ_ONLY_VOLUME) != 0;
        if (std::wstring_view(fileSystem).starts_with(L"FAT"))
            medium.entriesPerFolder = 65534;
    }
    return medium;
}

} // namespace runtime
