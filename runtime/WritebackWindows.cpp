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

// Each new file's bytes go to the medium on their own, as it is finished: Windows has no flush
// of a whole medium that a program without administrator rights may call. Windows lets a
// program hold files enough open for every piece to wait.
const std::size_t Writeback::kMostWaiting = static_cast<std::size_t>(-1);


std::optional<FileError> Writeback::flushAndClose(const Finished& file)
{
    if (!::FlushFileBuffers(file.file)) {
        FileError failure(FileOperation::Flush, file.path, lastSystemError());
        ::CloseHandle(file.file);
        return failure;
    }
    return close(file);
}


std::optional<FileError> Writeback::close(const Finished& file)
{
    if (!::CloseHandle(file.file))
        return FileError(FileOperation::Close, file.path, lastSystemError());
    return std::nullopt;
}

} // namespace runtime
