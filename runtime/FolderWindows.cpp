#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/Path.h"
#include "runtime/WideText.h"
#include "Writeback.h"

#include <filesystem>
#include <utility>
#include <windows.h>

namespace runtime {

std::string Medium::nameKey(std::string_view name) const
{
    std::wstring wide = widen(name);
    if (ignoresCase && !wide.empty())
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()), wide.data(),
                        static_cast<int>(wide.size()), nullptr, nullptr, 0);
    return narrow(wide);
}

bool Medium::sameName(std::string_view a, std::string_view b) const
{
    const std::wstring wideA = widen(a), wideB = widen(b);
    // The system's own upper-casing, as the file system compares names: Ä is ä, ß stays ß.
    return ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                  static_cast<int>(wideB.size()), ignoresCase) == CSTR_EQUAL;
}

Folder::Folder(std::string path)
    : path_(std::move(path))
    , writeback_(std::make_unique<Writeback>())
{
    // Held without delete sharing: nobody can remove or rename the folder under the job.
    handle_ = ::CreateFileW(widen(openedPath()).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        throw FileError(FileOperation::Open, shownPath(), lastSystemError());
}

Folder::~Folder()
{
    ::CloseHandle(handle_);
}

std::string Folder::heldPath() const
{
    return openedPath();  // held without delete sharing: the path leads to this very folder
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

std::optional<std::error_code> Folder::whyNotWritable() const
{
    // Asked as the system asks when a file is made there.
    const HANDLE handle = ::CreateFileW(widen(openedPath()).c_str(), FILE_ADD_FILE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastSystemError();
    ::CloseHandle(handle);
    return std::nullopt;
}

std::optional<std::error_code> Folder::whyNotRemovable(const std::string& name) const
{
    // Opened for removal, as the system asks when it removes: a file another program holds
    // open without letting others remove it, or one this user may not remove, says no here.
    const std::wstring path = widen(pathOf(name));
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const DWORD access = DELETE | (attributes & FILE_ATTRIBUTE_READONLY ? FILE_WRITE_ATTRIBUTES : 0);
    const HANDLE handle = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastSystemError();
    ::CloseHandle(handle);
    return std::nullopt;
}

void Folder::flushFiles() const
{
    // Each new file's bytes go to the medium on their own.
    writeback_->finish();
}

void Folder::flushNames() const
{
    // A rename asked to write through is on the medium when it returns.
}

std::optional<FolderLock> Folder::lockFile(const std::string& name, std::string_view note) const
{
    // Written by nobody else, and gone with its last handle, even if this program is killed;
    // others may read its note.
    const HANDLE handle = ::CreateFileW(widen(pathOf(name)).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                        FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::SetEndOfFile(handle);
        ::WriteFile(handle, note.data(), static_cast<DWORD>(note.size()), &written, nullptr);
        return FolderLock(*this, name, handle);
    }
    if (::GetLastError() == ERROR_SHARING_VIOLATION)
        return std::nullopt;
    throw FileError(FileOperation::Create, pathOf(name), lastSystemError());
}

std::string Folder::noteIn(const std::string& lockName) const
{
    const HANDLE handle = ::CreateFileW(widen(pathOf(lockName)).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    char note[4096];
    DWORD got = 0;
    const bool read = ::ReadFile(handle, note, sizeof note, &got, nullptr);
    ::CloseHandle(handle);
    return read ? std::string(note, got) : std::string();
}

FolderLock::~FolderLock()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle_);
}

Entry Folder::lookUp(const std::string& name) const
{
    const std::wstring path = widen(pathOf(name));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_PATH_NOT_FOUND)
            return {};
        throw FileError(FileOperation::Inspect, pathOf(name), lastSystemError());
    }
    Entry entry;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        entry.kind = EntryKind::Other;
    else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        entry.kind = EntryKind::Folder;
    else
        entry.kind = EntryKind::File;
    // Its length, near enough to what it occupies for the count of free space.
    entry.allocatedBytes = static_cast<ByteCount>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    entry.links = 1;
    const HANDLE handle = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    BY_HANDLE_FILE_INFORMATION information{};
    if (handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle, &information)) {
        entry.links = information.nNumberOfLinks;
        entry.identity = {information.dwVolumeSerialNumber,
                          static_cast<std::uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
    }
    if (handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle);
    return entry;
}

void Folder::remove(const std::string& name) const
{
    const std::wstring path = widen(pathOf(name));
    if (::DeleteFileW(path.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND)
        return;
    const std::error_code error = lastSystemError();
    // Pieces copied back from a CD keep the read-only attribute: an old file of the job's names
    // loses it and goes like any other, as on Linux.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool onlyReadOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
                              !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (onlyReadOnly && ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        if (::DeleteFileW(path.c_str()))
            return;
        ::SetFileAttributesW(path.c_str(), attributes);
    }
    throw FileError(FileOperation::Delete, pathOf(name), error);
}

void Folder::removeForGood(const std::string& name, const std::string& tombstone) const
{
    if (!::MoveFileExW(widen(pathOf(name)).c_str(), widen(pathOf(tombstone)).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND)
            return;
        throw FileError(FileOperation::Rename, pathOf(name), lastSystemError());
    }
    remove(tombstone);
}

void Folder::rename(const std::string& from, const std::string& to) const
{
    const std::wstring fromPath = widen(pathOf(from)), toPath = widen(pathOf(to));
    constexpr DWORD kHow = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (::MoveFileExW(fromPath.c_str(), toPath.c_str(), kHow))
        return;
    // An old piece that is read-only is not replaced by a move: it goes first, as remove() takes it.
    const std::error_code error = lastSystemError();
    const DWORD attributes = ::GetFileAttributesW(toPath.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (error.value() != ERROR_ACCESS_DENIED || !readOnly)
        throw FileError(FileOperation::Rename, pathOf(to), error);
    remove(to);
    if (!::MoveFileExW(fromPath.c_str(), toPath.c_str(), kHow))
        throw FileError(FileOperation::Rename, pathOf(to), lastSystemError());
}

std::optional<NewFile> Folder::createIfFree(const std::string& name) const
{
    const HANDLE handle = ::CreateFileW(widen(pathOf(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        return NewFile(*this, name, handle);
    if (::GetLastError() == ERROR_FILE_EXISTS)
        return std::nullopt;
    throw FileError(FileOperation::Create, pathOf(name), lastSystemError());
}

} // namespace runtime
