#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/Path.h"
#include "runtime/WideText.h"
#include "Writeback.h"

#include <filesystem>
#include <utility>
#include <windows.h>

namespace runtime {

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
