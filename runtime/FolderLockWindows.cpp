#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/Path.h"
#include "runtime/WideText.h"

#include <filesystem>
#include <utility>
#include <windows.h>

namespace runtime {

std::optional<FolderLock> Folder::lock(const std::string& name, std::string_view note) const
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

std::string Folder::lockNote(const std::string& lockName) const
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

} // namespace runtime
