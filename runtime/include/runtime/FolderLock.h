#pragma once

#include "runtime/NativeFile.h"

#include <string>

namespace runtime {

class Folder;

// An exclusive lock of a job's outputs in a folder, held as long as the object lives: a hidden
// lock file there, removed again when the lock goes.
class FolderLock {
public:
    ~FolderLock();
    FolderLock(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    FolderLock& operator=(FolderLock&&) = delete;

private:
    friend class Folder;
    FolderLock(const Folder& folder, std::string name, NativeHandle handle);

    const Folder* folder_;
    std::string name_;
    NativeHandle handle_;
};

} // namespace runtime
