#include "runtime/FileError.h"
#include "runtime/Folder.h"
#include "runtime/Path.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace runtime {

std::optional<FolderLock> Folder::lock(const std::string& name, std::string_view note) const
{
    for (;;) {
        // Made so that any user may take and write it: a lock file that a job of another user,
        // or a killed job, left behind stands in nobody's way. One that its maker did not open
        // to others is still taken, by reading, though without a note.
        int descriptor = ::openat(handle_, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        const bool writable = descriptor >= 0;
        if (!writable && errno == EACCES)
            descriptor = ::openat(handle_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0)
            throw FileError(FileOperation::Create, pathOf(name), lastSystemError());
        if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            const std::error_code error = lastSystemError();
            ::close(descriptor);
            if (error == std::errc::operation_would_block)
                return std::nullopt;
            throw FileError(FileOperation::Create, pathOf(name), error);
        }
        // The job that held the lock removes its file as it lets go: a lock taken on a file
        // removed meanwhile guards nothing, so it is taken anew on the file of that name now.
        struct stat held {}, named {};
        if (::fstat(descriptor, &held) == 0 && ::fstatat(handle_, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            if (writable) {
                ::fchmod(descriptor, 0666);  // the umask narrowed it
                // Only a note: where it cannot be written, those kept out are told less.
                if (::ftruncate(descriptor, 0) == 0)
                    (void)!::pwrite(descriptor, note.data(), note.size(), 0);
            }
            return FolderLock(*this, name, descriptor);
        }
        ::close(descriptor);
    }
}

std::string Folder::lockNote(const std::string& lockName) const
{
    const int descriptor = ::openat(handle_, lockName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return {};
    char note[4096];
    const ssize_t got = ::read(descriptor, note, sizeof note);
    ::close(descriptor);
    return got > 0 ? std::string(note, static_cast<std::size_t>(got)) : std::string();
}

FolderLock::~FolderLock()
{
    if (handle_ < 0)
        return;
    ::unlinkat(folder_->handle_, name_.c_str(), 0);
    ::close(handle_);
}

} // namespace runtime
