#include "runtime/Folder.h"

#include "runtime/FileError.h"
#include "runtime/Path.h"

#include <filesystem>
#include <mutex>
#include <random>

namespace runtime {

std::string Folder::shownPath() const
{
    return path_.empty() ? "." : path_;
}

std::vector<std::string> Folder::names() const
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(toFsPath(shownPath()), error), end; !error && entry != end;
         entry.increment(error))
        names.push_back(fromFsPath(entry->path().filename()));
    if (error)
        throw FileError(FileOperation::ListFolder, shownPath(), error);
    return names;
}

NewFile Folder::create(const std::string& name) const
{
    if (auto file = createIfFree(name))
        return std::move(*file);
    throw FileError(FileOperation::Create, pathOf(name), std::make_error_code(std::errc::file_exists));
}

NewFile Folder::replace(const std::string& name) const
{
    // Tried first without a removal: most pieces are new, and that spares a system call each.
    if (auto file = createIfFree(name))
        return std::move(*file);
    remove(name);
    return create(name);
}

NewFile Folder::createHidden() const
{
    // Short, so that it fits wherever the longest piece name fits.
    static std::mt19937 random{std::random_device{}()};
    static std::mutex mutex;
    for (int attempt = 0;; ++attempt) {
        std::unique_lock lock(mutex);
        const std::string name = ".palvo-" + std::to_string(random() % 100000000) + ".tmp";
        lock.unlock();
        if (auto file = createIfFree(name))
            return std::move(*file);
        if (attempt == 100)
            throw FileError(FileOperation::Create, pathOf(name), std::make_error_code(std::errc::file_exists));
    }
}

std::string NewFile::path() const
{
    return folder_->pathOf(name_);
}

} // namespace runtime
