#include "runtime/Files.h"

#include "runtime/FileError.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <utility>
#include <windows.h>

namespace runtime {

namespace {

std::wstring widen(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string narrow(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr,
                          nullptr);
    return utf8;
}

// The system's error as the error number whose German text fits it.
int lastError()
{
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EBUSY;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    default: return EIO;
    }
}

std::string folderOf(const std::string& path)
{
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

HANDLE createNew(const std::string& path)
{
    return ::CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Closes the file once; an error there can mean that written bytes never reached the disk.
void closeChecked(NativeHandle& handle, const std::string& path)
{
    if (!::CloseHandle(std::exchange(handle, INVALID_HANDLE_VALUE)))
        throw FileError(FileOperation::Close, path, lastError());
}

} // namespace

InputFile::InputFile(const std::string& path)
    : path_(path)
{
    // Others may read the source meanwhile, but neither change nor delete it.
    handle_ = ::CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        throw FileError(FileOperation::Open, path, lastError());
    if (::GetFileType(handle_) != FILE_TYPE_DISK) {
        ::CloseHandle(handle_);
        throw FileError(FileOperation::Open, path, "Das ist keine gewöhnliche Datei.");
    }
}

InputFile::~InputFile()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle_);
}

ByteCount InputFile::length() const
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_, &size))
        throw FileError(FileOperation::Inspect, path_, lastError());
    return size.QuadPart;
}

void InputFile::readExactly(std::span<std::byte> buffer)
{
    while (!buffer.empty()) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
        if (!::ReadFile(handle_, buffer.data(), wanted, &got, nullptr))
            throw FileError(FileOperation::Read, path_, lastError());
        if (got == 0)
            throw FileError(FileOperation::Read, path_, kSourceShrank);
        buffer = buffer.subspan(got);
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
    , handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE))
    , committed_(std::exchange(other.committed_, true))
{
}

NewFile::~NewFile()
{
    if (committed_)
        return;
    if (handle_ != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle_);
    ::DeleteFileW(widen(path_).c_str());
}

NewFile NewFile::create(const std::string& path)
{
    const HANDLE handle = createNew(path);
    if (handle == INVALID_HANDLE_VALUE)
        throw FileError(FileOperation::Create, path, lastError());
    return NewFile(path, handle);
}

NewFile NewFile::replace(const std::string& path)
{
    HANDLE handle = createNew(path);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) {
        removeIfPresent(path);
        handle = createNew(path);
    }
    if (handle == INVALID_HANDLE_VALUE)
        throw FileError(FileOperation::Create, path, lastError());
    return NewFile(path, handle);
}

NewFile NewFile::createBeside(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    const std::string stem = folderOf(path) + ".palvo-" + std::to_string(::GetCurrentProcessId()) + "-";
    for (int attempt = 0;; ++attempt) {
        const std::string candidate = stem + std::to_string(counter++) + ".tmp";
        const HANDLE handle = createNew(candidate);
        if (handle != INVALID_HANDLE_VALUE)
            return NewFile(candidate, handle);
        if (::GetLastError() != ERROR_FILE_EXISTS || attempt == 100)
            throw FileError(FileOperation::Create, candidate, lastError());
    }
}

void NewFile::reserve(ByteCount length)
{
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = length;
    ::SetFileInformationByHandle(handle_, FileAllocationInfo, &allocation, sizeof allocation);
}

void NewFile::write(std::span<const std::byte> bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(handle_, bytes.data(), wanted, &written, nullptr))
            throw FileError(FileOperation::Write, path_, lastError());
        bytes = bytes.subspan(written);
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
    if (!::MoveFileExW(widen(path_).c_str(), widen(finalPath).c_str(), MOVEFILE_REPLACE_EXISTING))
        throw FileError(FileOperation::Rename, finalPath, lastError());
    committed_ = true;
}

ByteCount copyInKernel(InputFile&, NewFile&, ByteCount)
{
    return 0;  // Windows has no copy between two open files: the block loop moves every byte
}

void removeIfPresent(const std::string& path)
{
    if (!::DeleteFileW(widen(path).c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        throw FileError(FileOperation::Delete, path, lastError());
}

Entry lookUp(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data)) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_PATH_NOT_FOUND)
            return {};
        throw FileError(FileOperation::Inspect, path, lastError());
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
    const HANDLE handle = ::CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION information{};
    if (handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle, &information))
        entry.links = information.nNumberOfLinks;
    if (handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle);
    return entry;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(widen(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        throw FileError(FileOperation::ListFolder, folder, lastError());
    std::vector<std::string> names;
    do
        names.push_back(narrow(found.cFileName));
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

std::uint64_t freeBytes(const std::string& folder)
{
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(widen(folder).c_str(), &available, nullptr, nullptr))
        throw FileError(FileOperation::Inspect, folder, lastError());
    return available.QuadPart;
}

NameLimits nameLimits(const std::string&)
{
    // MAX_PATH: cmd and Explorer reach no file beyond it.
    return {255, MAX_PATH};
}

std::string canonicalPath(const std::string& path)
{
    const HANDLE handle = ::CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw FileError(FileOperation::Inspect, path, lastError());
    std::wstring resolved(32768, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()),
                                                     FILE_NAME_NORMALIZED);
    ::CloseHandle(handle);
    if (length == 0 || length >= resolved.size())
        throw FileError(FileOperation::Inspect, path, lastError());
    resolved.resize(length);
    if (resolved.starts_with(L"\\\\?\\"))
        resolved.erase(0, 4);
    return narrow(resolved);
}

} // namespace runtime
