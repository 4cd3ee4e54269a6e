#include "runtime/Folder.h"

#include "runtime/FileError.h"
#include "runtime/Path.h"

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>
#include <utility>

namespace runtime {

std::string Folder::shownPath() const
{
    return path_.empty() ? "." : path_;
}

std::optional<std::vector<std::string>> Folder::names() const
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(toFsPath(shownPath()), error), end; !error && entry != end;
         entry.increment(error))
        names.push_back(fromFsPath(entry->path().filename()));
    if (error == std::errc::permission_denied)
        return std::nullopt;
    if (error)
        throw FileError(FileOperation::ListFolder, shownPath(), error);
    return names;
}

std::optional<FolderLock> Folder::lock(std::string_view key) const
{
    // A short name of fixed length, so that it fits wherever the outputs' names fit.
    std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a
    for (const char c : key)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return lockFile(".palvo-" + std::string(digits) + ".lock");
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

NewFile::NewFile(const Folder& folder, std::string name, NativeHandle handle)
    : folder_(&folder)
    , name_(std::move(name))
    , handle_(handle)
{
}

NewFile::NewFile(NewFile&& other) noexcept
    : folder_(other.folder_)
    , name_(std::move(other.name_))
    , handle_(std::exchange(other.handle_, kNoHandle))
    , committed_(std::exchange(other.committed_, true))
{
}

FolderLock::FolderLock(const Folder& folder, std::string name, NativeHandle handle)
    : folder_(&folder)
    , name_(std::move(name))
    , handle_(handle)
{
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : folder_(other.folder_)
    , name_(std::move(other.name_))
    , handle_(std::exchange(other.handle_, kNoHandle))
{
}

std::string NewFile::path() const
{
    return folder_->pathOf(name_);
}

} // namespace runtime
