// The join script where the pieces arrive, run by Wine's cmd in German: whatever happened on
// the way, it builds the file byte for byte or writes nothing and says why; it never replaces
// a file that is there.
#include "engine/DateiZerlegen.h"

#include "LinuxFaults.h"

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

struct Said {
    int status = -1;
    std::string text;  // in Wine's ANSI code page
};

// Runs the script by cmd in the folder, as a console runs it, and listens to what it says.
Said runAndListen(const std::string& folder, const std::string& script)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        if (::chdir(folder.c_str()) != 0)
            ::_exit(126);
        ::setenv("WINEDEBUG", "-all", 1);
        ::freopen("/dev/null", "r", stdin);
        ::dup2(pipe[1], STDOUT_FILENO);
        ::execlp("wine", "wine", "cmd", "/c", script.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipe[1]);
    Said said;
    std::array<char, 4096> buffer;
    for (ssize_t got; (got = ::read(pipe[0], buffer.data(), buffer.size())) > 0;)
        said.text.append(buffer.data(), static_cast<std::size_t>(got));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    said.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return said;
}

// The path by which Wine reaches a file of this machine.
std::string windowsPath(std::string path)
{
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return "Z:" + path;
}

struct FileStamp {
    ino_t inode = 0;
    std::int64_t changed = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {info.st_ino, info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec};
}

TEST(JoinedByCmd, WhatHappenedOnTheWay)
{
    SKIP_UNLESS_ROOT();
    const std::string bytes = randomBytes(3000000, 20);
    const std::string other = "eine ganz andere Datei";
    const struct {
        const char* what;
        std::function<void(const std::string& pieces)> onTheWay;
        const char* said;  // nullptr: rebuilt byte for byte, and quietly
        std::uint64_t medium = 0;  // the receiving disk's size; 0: a folder on the system's disk
        bool startedElsewhere = false;
    } ways[] = {
        {"all pieces right", [](const std::string&) {}, nullptr},
        {"started in another folder with the script's full path", [](const std::string&) {}, nullptr, 0, true},
        {"a piece missing", [](const std::string& to) { fs::remove(to + "/film.002"); },
         "Das Teil \"film.002\" fehlt."},
        {"a piece missing, the original beside the pieces",
         [&](const std::string& to) { fs::remove(to + "/film.002"), writeFile(to + "/film.avi", bytes); },
         "Das Teil \"film.002\" fehlt."},
        {"a piece a byte short", [](const std::string& to) { fs::resize_file(to + "/film.002", 1433599); },
         "Das Teil \"film.002\" hat 1433599 Bytes, es muss genau 1433600 Bytes haben."},
        {"a piece a byte long", [](const std::string& to) { std::ofstream(to + "/film.003", std::ios::app) << 'x'; },
         "Das Teil \"film.003\" hat 132801 Bytes, es muss genau 132800 Bytes haben."},
        {"a folder named like a piece", [](const std::string& to) {
             fs::remove(to + "/film.001"), fs::create_directory(to + "/film.001"); },
         "\"film.001\" ist ein Ordner, kein Teil."},
        {"a file of the target's name", [&](const std::string& to) { writeFile(to + "/film.avi", other); },
         "Die Datei \"film.avi\" gibt es in diesem Ordner schon."},
        {"a receiving medium with room for the pieces only", [](const std::string&) {},
         "Die Datei \"film.avi\" konnte nicht vollst", 4 << 20},
    };
    TempFolder cut;
    writeFile(cut / "film.avi", bytes);
    RecordingReport report;
    engine::DateiZerlegen(cut / "film.avi", 1433600, report);
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        std::optional<SmallDisk> disk;
        TempFolder folder, elsewhere;
        const std::string to = way.medium ? disk.emplace(way.medium).path() : folder.path();
        for (const char* name : {"film.001", "film.002", "film.003", "film.bat"})
            fs::copy_file(cut / name, to + "/" + name);
        way.onTheWay(to);
        const bool targetWasThere = exists(to + "/film.avi");
        const std::string target = targetWasThere ? readFile(to + "/film.avi") : "";
        const FileStamp stamp = stampOf(to + "/film.avi");

        const Said said = way.startedElsewhere ? runAndListen(elsewhere.path(), windowsPath(to + "/film.bat"))
                                               : runAndListen(to, "film.bat");
        if (!way.said) {
            EXPECT_EQ(said.status, 0) << said.text;
            EXPECT_TRUE(readFile(to + "/film.avi") == bytes) << "rebuilt byte for byte";
        } else {
            EXPECT_EQ(said.status, 1);
            EXPECT_NE(said.text.find(way.said), std::string::npos) << said.text;
            EXPECT_EQ(exists(to + "/film.avi"), targetWasThere) << "nothing left under the target's name";
        }
        if (targetWasThere) {
            EXPECT_TRUE(readFile(to + "/film.avi") == target) << "a file that was there stays as it was";
            EXPECT_TRUE(stampOf(to + "/film.avi") == stamp) << "not even written over with the same bytes";
        }
        EXPECT_TRUE(elsewhere.names().empty()) << "nothing where the script was started";
    }
}

TEST(JoinedByCmd, PiecesOver2GiBAreCheckedToTheByte)
{
    SKIP_UNLESS_ROOT();
    SmallDisk disk(5LL << 30);  // in memory: the pieces and the joined file are real bytes
    const engine::ByteCount piece = (1LL << 31) + 1;
    const std::string source = disk / "gross.img";
    const int descriptor = ::open(source.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::ftruncate(descriptor, piece + 1), 0);  // sparse, with a mark at its end
    ASSERT_EQ(::pwrite(descriptor, "!", 1, piece), 1);
    ::close(descriptor);
    RecordingReport report;
    engine::DateiZerlegen(source, piece, report);
    ASSERT_EQ(fs::file_size(disk / "gross.001"), static_cast<std::uintmax_t>(piece));
    fs::remove(source);

    const Said said = runAndListen(disk.path(), "gross.bat");
    EXPECT_EQ(said.status, 0) << said.text;
    EXPECT_EQ(fs::file_size(source), static_cast<std::uintmax_t>(piece + 1));
    const int joined = ::open(source.c_str(), O_RDONLY);
    char mark = 0;
    EXPECT_EQ(::pread(joined, &mark, 1, piece), 1);
    EXPECT_EQ(mark, '!');
    ::close(joined);
}

} // namespace
