#include "runtime/FolderLock.h"

#include <utility>

namespace runtime {

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

} // namespace runtime
