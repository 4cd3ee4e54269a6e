#pragma once

#include "TestSupport.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <unistd.h>

// Mounting a file system of its own needs root, as the tests have in CI; elsewhere a test that
// mounts is skipped, saying why.
#define SKIP_UNLESS_ROOT()  \
    if (::geteuid() != 0)   \
    GTEST_SKIP() << "needs root: mounts a file system of its own"

// Faults that Linux lets a test make for real.
namespace testsupport {

// A tmpfs of the given size mounted on a fresh folder, for a file system that really fills.
// Needs root, as the tests have in CI.
class SmallDisk {
public:
    explicit SmallDisk(std::uint64_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    const std::string& path() const { return folder_.path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }

private:
    TempFolder folder_;
};

// While it lives, no file of this process may grow past the limit: a write beyond it fails
// with EFBIG (SIGXFSZ is ignored), as on a medium that refuses to take more.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uint64_t previousSoft_;
    void (*previousHandler_)(int);
};

} // namespace testsupport
