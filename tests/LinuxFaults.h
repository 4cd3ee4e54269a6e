#pragma once

#include "TestSupport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include <unistd.h>

// Mounting a file system, acting as other users and tracing a program need root, as the tests
// have in CI; elsewhere a test that does is skipped, saying why.
#define SKIP_UNLESS_ROOT()  \
    if (::geteuid() != 0)   \
    GTEST_SKIP() << "needs root: mounts a file system, acts as other users or traces a program"

// Faults that Linux lets a test make for real.
namespace testsupport {

// A file system of its own mounted on a fresh folder, unmounted again with the object.
class MountedFolder {
public:
    virtual ~MountedFolder();
    MountedFolder(const MountedFolder&) = delete;
    MountedFolder& operator=(const MountedFolder&) = delete;

    const std::string& path() const { return folder_.path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    std::vector<std::string> names() const { return folder_.names(); }

protected:
    MountedFolder() = default;
    // Mounts with the mount command, whose failure it throws with the command's words.
    void mount(const std::string& arguments);

private:
    TempFolder folder_;
};

// A tmpfs of the given size, and at most that many files where files is not 0: a medium
// that really fills.
class SmallDisk : public MountedFolder {
public:
    explicit SmallDisk(std::uint64_t bytes, std::uint64_t files = 0);
};

// The folder once more under the mount's path, as a second way to the same files.
class BindMount : public MountedFolder {
public:
    enum Access { ReadWrite, ReadOnly };
    BindMount(const std::string& folder, Access access);
};

// A file system of the given type (xfs, btrfs, ext4) made in an image of the given size, as
// mkfs makes it.
class ImageDisk : public MountedFolder {
public:
    ImageDisk(const std::string& type, std::uint64_t bytes);

private:
    TempFolder image_;
};

// An exFAT file system, as on USB sticks and memory cards, mounted through FUSE as Linux
// mounts it where its kernel has no driver: a medium whose kind does not say that it ignores
// letter case.
class ExfatStick : public MountedFolder {
public:
    explicit ExfatStick(std::uint64_t bytes);
    ~ExfatStick();

private:
    TempFolder image_;
    std::string device_;  // the loop device that FUSE's exFAT reads the image through
};

// A FAT file system, as on older sticks and cards, mounted through FUSE: this kernel has no
// driver of its own for it.
class FatStick : public MountedFolder {
public:
    explicit FatStick(std::uint64_t bytes);
    ~FatStick();

private:
    TempFolder image_;
};

// Runs work in a child process as the given ordinary user, without root's rights, and
// returns what work returned there.
std::string asUser(unsigned user, const std::function<std::string()>& work);

// In a child process of its own as the given ordinary user, starts work; the child is the
// caller's to end.
pid_t startAsUser(unsigned user, const std::function<void()>& work);

// While it lives, no file of this process may grow past the limit, as on a medium that
// refuses to take more. A write beyond it fails with EFBIG in a program that ignores SIGXFSZ,
// as Palvo's programs do from their start; any other program the signal ends.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uint64_t previousSoft_;
};

} // namespace testsupport
