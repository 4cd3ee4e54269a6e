#include "LinuxFaults.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <grp.h>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace testsupport {

namespace {

// Runs a command of the system and returns what it printed; its failure it throws, with that.
std::string run(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        if (::pclose(pipe) == 0)
            return output;
    }
    throw std::runtime_error("\"" + command + "\" failed: " + output);
}

// Turns this process into one of the given ordinary user, or ends it.
void becomeUser(unsigned user)
{
    if (::setgroups(0, nullptr) != 0 || ::setresgid(user, user, user) != 0 || ::setresuid(user, user, user) != 0)
        ::_exit(125);
}

} // namespace

MountedFolder::~MountedFolder()
{
    ::umount2(path().c_str(), MNT_DETACH);
}

void MountedFolder::mount(const std::string& arguments)
{
    run("mount " + arguments + " '" + path() + "'");
}

SmallDisk::SmallDisk(std::uint64_t bytes, std::uint64_t files)
{
    const std::string inodes = files > 0 ? ",nr_inodes=" + std::to_string(files) : "";
    mount("-t tmpfs -o size=" + std::to_string(bytes) + inodes + " tmpfs");
}

BindMount::BindMount(const std::string& folder, Access access)
{
    mount("--bind '" + folder + "'");
    if (access == ReadOnly)
        mount("-o remount,bind,ro");
}

ImageDisk::ImageDisk(const std::string& type, std::uint64_t bytes)
{
    const std::string image = image_ / "platte.img";
    run("truncate -s " + std::to_string(bytes) + " '" + image + "'");
    run("mkfs." + type + " -q '" + image + "'");
    mount("-o loop '" + image + "'");
}

ExfatStick::ExfatStick(std::uint64_t bytes)
{
    const std::string image = image_ / "stick.img";
    run("truncate -s " + std::to_string(bytes) + " '" + image + "'");
    run("mkfs.exfat '" + image + "'");
    device_ = run("losetup --find --show '" + image + "'");
    device_.erase(device_.find_last_not_of('\n') + 1);
    run("mount.exfat-fuse '" + device_ + "' '" + path() + "'");
}

ExfatStick::~ExfatStick()
{
    ::umount2(path().c_str(), MNT_DETACH);
    run("losetup -d '" + device_ + "'");
}

FatStick::FatStick(std::uint64_t bytes)
{
    const std::string image = image_ / "stick.img";
    run("truncate -s " + std::to_string(bytes) + " '" + image + "'");
    run("mkfs.vfat -F 32 -s 1 '" + image + "'");  // small clusters: room for many files
    run("fusefat -o rw+ '" + image + "' '" + path() + "'");
}

FatStick::~FatStick()
{
    ::umount2(path().c_str(), MNT_DETACH);
}

std::string asUser(unsigned user, const std::function<std::string()>& work)
{
    int ends[2];
    if (::pipe(ends) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        becomeUser(user);
        const std::string result = work();
        const bool written = ::write(ends[1], result.data(), result.size()) == static_cast<ssize_t>(result.size());
        ::_exit(written ? 0 : 126);
    }
    ::close(ends[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(got));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "the child as user " + std::to_string(user) + " failed (status " + std::to_string(status) + ")";
    return result;
}

pid_t startAsUser(unsigned user, const std::function<void()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        becomeUser(user);
        work();
        ::_exit(0);
    }
    return child;
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes)
{
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    previousSoft_ = limit.rlim_cur;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = previousSoft_;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace testsupport
