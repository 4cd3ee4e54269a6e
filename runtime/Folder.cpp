#include "runtime/Folder.h"

#include "runtime/FileError.h"
#include "runtime/InputFile.h"
#include "runtime/Path.h"
#include "Writeback.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace runtime {

std::string Folder::openedPath() const
{
    return path_.empty() ? "." : path_;
}

std::string Folder::shownPath() const
{
    // Without the separator at its end, as people write a folder; a root keeps it ("/", "C:\").
    std::string shown = openedPath();
    if (shown.size() > 1 && shown.back() == kFolderSeparator && shown[shown.size() - 2] != ':')
        shown.pop_back();
    return shown;
}

bool Folder::forEachName(const std::function<void(const std::string& name)>& visit) const
{
    std::error_code error;
    for (std::filesystem::directory_iterator entry(toFsPath(heldPath()), error), end; !error && entry != end;
         entry.increment(error))
        visit(fromFsPath(entry->path().filename()));
    if (error == std::errc::permission_denied)
        return false;
    if (error)
        throw FileError(FileOperation::ListFolder, shownPath(), error);
    return true;
}

std::string Folder::beginningOf(const std::string& name, std::size_t bytes) const
{
    const InputFile file(*this, name);
    std::string beginning(static_cast<std::size_t>(std::min<ByteCount>(file.length(), static_cast<ByteCount>(bytes))), '\0');
    file.readAt(0, std::as_writable_bytes(std::span(beginning)));
    return beginning;
}

void Folder::abandonFiles() const
{
    writeback_->abandon();
}

NewFile Folder::create(const std::string& name) const
{
    if (auto file = createIfFree(name))
        return std::move(*file);
    throw FileError(FileOperation::Create, pathOf(name), std::make_error_code(std::errc::file_exists));
}

NewFile Folder::replace(const std::string& name, const std::string& shownAs) const
{
    // Tried first without a removal: most pieces are new, and that spares a system call each.
    NewFile file = [&] {
        if (auto fresh = createIfFree(name))
            return std::move(*fresh);
        remove(name);
        return create(name);
    }();
    if (!shownAs.empty())
        file.shownName_ = shownAs;
    return file;
}

} // namespace runtime
