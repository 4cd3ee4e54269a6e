#include "runtime/NewFile.h"

#include "runtime/Folder.h"

#include <utility>

namespace runtime {

NewFile::NewFile(const Folder& folder, std::string name, NativeHandle handle)
    : folder_(&folder)
    , name_(name)
    , shownName_(std::move(name))
    , handle_(handle)
{
}

NewFile::NewFile(NewFile&& other) noexcept
    : folder_(other.folder_)
    , name_(std::move(other.name_))
    , shownName_(std::move(other.shownName_))
    , handle_(std::exchange(other.handle_, kNoHandle))
    , copied_(other.copied_)
    , committed_(std::exchange(other.committed_, true))
{
}

std::string NewFile::path() const
{
    return folder_->pathOf(shownName_);
}

} // namespace runtime
