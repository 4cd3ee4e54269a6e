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

NewFile::~NewFile()
{
    if (committed_)
        return;
    if (handle_ != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle_);
    ::DeleteFileW(widen(folder_->pathOf(name_)).c_str());
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
            throw FileError(FileOperation::Write, path(), lastSystemError());
        bytes = bytes.subspan(written);
    }
}


void NewFile::commit()
{
    folder_->writeback_->take(std::exchange(handle_, INVALID_HANDLE_VALUE), path());
    committed_ = true;
}


void NewFile::commitAs(const std::string& name)
{
    if (!::FlushFileBuffers(handle_))
        throw FileError(FileOperation::Flush, path(), lastSystemError());
    closeChecked(handle_, path());
    const std::string finalPath = folder_->pathOf(name);
    if (!::MoveFileExW(widen(folder_->pathOf(name_)).c_str(), widen(finalPath).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw FileError(FileOperation::Rename, finalPath, lastSystemError());
    committed_ = true;
    try {
        folder_->flushNames();
    } catch (const FileError&) {
        // Not sure to stay on the medium: the file goes again, so that no failure leaves it.
        ::DeleteFileW(widen(finalPath).c_str());
        throw;
    }
}

} // namespace runtime
