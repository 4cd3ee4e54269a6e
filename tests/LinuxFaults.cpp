#include "LinuxFaults.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/resource.h>

namespace testsupport {

SmallDisk::SmallDisk(std::uint64_t bytes)
{
    const std::string options = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, options.c_str()) != 0)
        throw std::runtime_error("mounting a tmpfs needs root: " + std::string(std::strerror(errno)));
}

SmallDisk::~SmallDisk()
{
    ::umount2(folder_.path().c_str(), MNT_DETACH);
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes)
{
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    previousSoft_ = limit.rlim_cur;
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = previousSoft_;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler_);
}

} // namespace testsupport
