#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/InputFile.h"
#include "Writeback.h"
#include "CloseChecked.h"
#include "runtime/WideText.h"

#include <algorithm>
#include <utility>
#include <windows.h>

namespace runtime {

InputFile::InputFile(const std::string& path)
    : path_(path)
{
    // Others may read the source meanwhile, but neither change nor delete it.
    open(::CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}


InputFile::InputFile(const Folder& folder, const std::string& name)
    : InputFile(folder.pathOf(name))
{
}


void InputFile::open(NativeHandle handle)
{
    handle_ = handle;
    if (handle_ == INVALID_HANDLE_VALUE) {
        const std::error_code error = lastSystemError();
        const DWORD attributes = ::GetFileAttributesW(widen(path_).c_str());
        const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        throw FileError(FileOperation::Open, path_, folder ? FileProblem::NotARegularFile : error);
    }
    if (::GetFileType(handle_) != FILE_TYPE_DISK) {
        ::CloseHandle(handle_);
        throw FileError(FileOperation::Open, path_, FileProblem::NotARegularFile);
    }
    positional_ = ::ReOpenFile(handle_, GENERIC_READ, FILE_SHARE_READ, 0);
    if (positional_ == INVALID_HANDLE_VALUE) {
        const std::error_code error = lastSystemError();
        ::CloseHandle(handle_);
        throw FileError(FileOperation::Open, path_, error);
    }
    opened_ = stamp();
}


std::pair<ByteCount, std::int64_t> InputFile::stamp() const
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle_, &information))
        throw FileError(FileOperation::Inspect, path_, lastSystemError());
    return {static_cast<ByteCount>(information.nFileSizeHigh) << 32 | information.nFileSizeLow,
            static_cast<std::int64_t>(information.ftLastWriteTime.dwHighDateTime) << 32 |
                information.ftLastWriteTime.dwLowDateTime};
}


InputFile::~InputFile()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle_);
    if (positional_ != INVALID_HANDLE_VALUE)
        ::CloseHandle(positional_);
}


FileIdentity InputFile::identity() const
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle_, &information))
        throw FileError(FileOperation::Inspect, path_, lastSystemError());
    return {information.dwVolumeSerialNumber,
            static_cast<std::uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
}


void InputFile::readExactly(std::span<std::byte> buffer)
{
    while (!buffer.empty()) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
        if (!::ReadFile(handle_, buffer.data(), wanted, &got, nullptr))
            throw FileError(FileOperation::Read, path_, lastSystemError());
        if (got == 0)
            throw FileError(FileOperation::Read, path_, FileProblem::SourceShrank);
        buffer = buffer.subspan(got);
    }
}


void InputFile::readAt(ByteCount offset, std::span<std::byte> buffer) const
{
    while (!buffer.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
        if (!::ReadFile(positional_, buffer.data(), wanted, &got, &at) && ::GetLastError() != ERROR_HANDLE_EOF)
            throw FileError(FileOperation::Read, path_, lastSystemError());
        if (got == 0)
            throw FileError(FileOperation::Read, path_, FileProblem::SourceShrank);
        buffer = buffer.subspan(got);
        offset += got;
    }
}


void InputFile::close()
{
    closeChecked(positional_, path_);
    closeChecked(handle_, path_);
}

} // namespace runtime
