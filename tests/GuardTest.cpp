// What other people, other programs and other media do around a job: a second way to the
// source, files of other users, a folder that may not be listed, a medium short of file
// slots, sources that are no files. The job refuses before it writes, or it works.
#include "engine/DateiZerlegen.h"
#include "runtime/FileError.h"

#include "LinuxFaults.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace testsupport;
using engine::DateiZerlegen;
namespace fs = std::filesystem;

constexpr unsigned kSomeone = 65534, kSomeoneElse = 65533;

// The one message of a job that must be refused, or what went wrong instead.
std::string refusalOf(const std::string& source, engine::ByteCount piece)
{
    RecordingReport report;
    try {
        DateiZerlegen(source, piece, report);
    } catch (const std::exception& error) {
        return std::string("failed: ") + error.what();
    }
    return report.messages.size() == 1 ? report.messages[0] : std::to_string(report.messages.size()) + " messages";
}

void expectHolds(const std::string& text, const std::string& part)
{
    EXPECT_NE(text.find(part), std::string::npos) << text;
}

TEST(Guards, ASourceReachedAnotherWayIsNeverReplaced)
{
    SKIP_UNLESS_ROOT();
    TempFolder folder;
    const std::string bytes = randomBytes(300, 1);
    writeFile(folder / "film.002", bytes);
    BindMount sameFiles(folder.path(), BindMount::ReadWrite);
    fs::create_symlink(sameFiles / "film.002", folder / "film.avi");  // the path differs, the file is one

    expectHolds(refusalOf(folder / "film.avi", 100), "ist dieselbe Datei wie ihr Teil „film.002“");
    EXPECT_EQ(readFile(folder / "film.002"), bytes);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"film.002", "film.avi"}));
}

TEST(Guards, FilesOfOtherUsers)
{
    SKIP_UNLESS_ROOT();
    const std::string bytes = randomBytes(300, 2);
    const struct {
        const char* what;
        fs::perms folderMode;
        std::string expected;  // a part of the refusal; empty: the job works
    } cases[] = {
        // Only a file's owner removes it from a sticky folder: the old piece would stop the job
        // after the old script and the first piece are gone.
        {"someone else's old piece in a sticky folder", fs::perms::all | fs::perms::sticky_bit,
         "Die alte Datei „%/film.002“ kann nicht ersetzt werden: Der Zugriff wurde verweigert"},
        // A drop box: names are made there, but never listed.
        {"a folder that may be written but not listed", fs::perms::owner_write | fs::perms::owner_exec, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        writeFile(folder / "film.avi", bytes);
        writeFile(folder / "film.002", "alt");
        writeFile(folder / "film.bat", "copy /b film.001 + film.002 film.avi\r\n");
        ::chown((folder / "film.avi").c_str(), kSomeone, kSomeone);
        ::chown((folder / "film.bat").c_str(), kSomeone, kSomeone);
        ::chown((folder / "film.002").c_str(), c.expected.empty() ? kSomeone : kSomeoneElse, kSomeoneElse);
        ::chown(folder.path().c_str(), c.expected.empty() ? kSomeone : 0, 0);
        fs::permissions(folder.path(), c.folderMode);
        const auto before = folder.names();

        const std::string refusal = asUser(kSomeone, [&] { return refusalOf(folder / "film.avi", 100); });
        if (c.expected.empty()) {
            EXPECT_EQ(refusal, "0 messages");
            EXPECT_EQ(joinedPieces(folder / "film."), bytes);
            EXPECT_EQ(copyCommandIn(folder / "film.bat"), "copy /b film.001 + film.002 + film.003 film.avi.unfertig\r\n");
        } else {
            std::string expected = c.expected;
            expected.replace(expected.find('%'), 1, folder.path());
            expectHolds(refusal, expected);
            EXPECT_EQ(folder.names(), before);
        }
    }
}

TEST(Guards, AMediumShortOfFileSlots)
{
    SKIP_UNLESS_ROOT();
    // 50 slots: the disk's folder, the source, the job's lock; its pieces and its script.
    for (const std::size_t pieces : {47, 46}) {
        SCOPED_TRACE(std::to_string(pieces) + " pieces");
        SmallDisk disk(4 << 20, 50);
        writeFile(disk / "film.avi", randomBytes(pieces * 100, 4));
        const std::string refusal = refusalOf(disk / "film.avi", 100);
        if (pieces == 47) {
            expectHolds(refusal, "können nur noch 47 Dateien angelegt werden, das Zerlegen braucht 48");
            EXPECT_EQ(disk.names(), std::vector<std::string>{"film.avi"});
        } else {
            EXPECT_EQ(refusal, "0 messages");
        }
    }
}

TEST(Guards, SticksIgnoreCaseThoughTheirKindDoesNotSaySo)
{
    SKIP_UNLESS_ROOT();
    const struct {
        const char* kind;
        std::function<std::unique_ptr<MountedFolder>()> make;
        bool holdsFewNamesInAFolder;
    } sticks[] = {
        {"exFAT", [] { return std::make_unique<ExfatStick>(64 << 20); }, false},
        {"FAT", [] { return std::make_unique<FatStick>(64 << 20); }, true},
    };
    for (const auto& kind : sticks) {
        SCOPED_TRACE(kind.kind);
        const auto stick = kind.make();
        writeFile(*stick / "Film.avi", randomBytes(300000, 5));
        writeFile(*stick / "film.mkv", randomBytes(3000, 6));
        fs::create_directory(*stick / "FILM.002");
        expectHolds(refusalOf(*stick / "Film.avi", 100000), "Unterordner namens „FILM.002“");
        fs::remove(*stick / "FILM.002");

        // Film.avi and film.mkv have the same outputs there: one job on them at a time.
        PausingReport first;
        std::thread running([&] { DateiZerlegen(*stick / "Film.avi", 100000, first); });
        first.paused.get_future().wait();
        expectHolds(refusalOf(*stick / "film.mkv", 1000), "Gerade zerlegt Palvo die Datei „Film.avi“ und schreibt dabei");
        first.goOn.set_value();
        running.join();
        EXPECT_EQ(copyCommandIn(*stick / "Film.bat"), "copy /b Film.001 + Film.002 + Film.003 Film.avi.unfertig\r\n");
        if (kind.holdsFewNamesInAFolder) {
            writeFile(*stick / "viele.bin", randomBytes(70000, 7));
            expectHolds(refusalOf(*stick / "viele.bin", 1), "höchstens 65.534 Einträge");
        }
    }
}

TEST(Guards, WhatMayNotChangeIsFoundBeforeAnythingIsWritten)
{
    SKIP_UNLESS_ROOT();
    ImageDisk disk("ext4", 32 << 20);
    TempFolder elsewhere;
    writeFile(elsewhere / "fremd", "eine Datei eines anderen Datenträgers");
    const std::string folder = disk / "ordner";
    const auto marked = [&](const char* attribute, const char* name) {
        return "chattr " + std::string(attribute) + " '" + folder + name + "'";
    };
    const struct {
        const char* what;
        std::string mark, undo;  // the commands that make it so and take it back
        const char* refusal;
    } cases[] = {
        {"an immutable folder", marked("+i", ""), marked("-i", ""), "können keine Dateien angelegt werden"},
        {"a folder that may only grow", marked("+a", ""), marked("-a", ""), "können keine Dateien angelegt werden"},
        {"an immutable old piece", marked("+i", "/film.002"), marked("-i", "/film.002"),
         "film.002“ kann nicht ersetzt werden"},
        {"an old piece that may only grow", marked("+a", "/film.002"), marked("-a", "/film.002"),
         "film.002“ kann nicht ersetzt werden"},
        {"an old piece something is mounted on", "mount --bind '" + elsewhere / "fremd" + "' '" + folder + "/film.002'",
         "umount '" + folder + "/film.002'", "film.002“ kann nicht ersetzt werden"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::create_directory(folder);
        writeFile(folder + "/film.avi", randomBytes(3000, 8));
        writeFile(folder + "/film.002", "alt");
        ASSERT_EQ(std::system(c.mark.c_str()), 0) << c.mark;
        expectHolds(refusalOf(folder + "/film.avi", 1000), c.refusal);
        EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"film.002", "film.avi"}));
        EXPECT_EQ(std::system(c.undo.c_str()), 0) << c.undo;
        fs::remove_all(folder);
    }
}

TEST(Guards, ALockAKilledJobLeftStandsInNobodysWay)
{
    SKIP_UNLESS_ROOT();
    TempFolder folder;
    fs::permissions(folder.path(), fs::perms::all);
    const std::string bytes = randomBytes(3 << 20, 8);
    writeFile(folder / "film.avi", bytes);
    // Someone else's job, killed as it starts its second piece, leaves its lock file, the script
    // it was writing and its first piece behind.
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t killed = startAsUser(kSomeoneElse, [&] {
        ReportAt secondPiece(2, [&] {
            (void)!::write(started[1], "2", 1);
            ::pause();
        });
        DateiZerlegen(folder / "film.avi", 1 << 20, secondPiece);
    });
    ::close(started[1]);
    char piece = 0;
    ASSERT_EQ(::read(started[0], &piece, 1), 1) << "the job reached its second piece";
    ::close(started[0]);
    std::vector<std::string> hidden;
    for (const std::string& name : folder.names())
        if (name.starts_with("."))
            hidden.push_back(name.substr(name.rfind('.')));
    EXPECT_EQ(hidden, (std::vector<std::string>{".lock", ".tmp"})) << "the job's lock and script, nothing else hidden";
    ::kill(killed, SIGKILL);
    ::waitpid(killed, nullptr, 0);

    EXPECT_EQ(asUser(kSomeone, [&] { return refusalOf(folder / "film.avi", 100000); }), "0 messages");
    EXPECT_TRUE(joinedPieces(folder / "film.") == bytes);
    for (const std::string& name : folder.names())
        EXPECT_FALSE(name.starts_with(".")) << name << ": nothing hidden stays";
}

TEST(Guards, SourcesThatAreNoFilesAreRefusedInGerman)
{
    TempFolder folder;
    ::mkfifo((folder / "rohr").c_str(), 0644);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder / "dose";
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const struct {
        const char* name;
        std::error_code code;
        const char* reason;
    } cases[] = {
        {"rohr", runtime::FileProblem::NotARegularFile, "Das ist keine gewöhnliche Datei."},
        {"dose", std::error_code(ENXIO, std::system_category()), "Hinter diesem Namen steht kein erreichbares Gerät"},
        {"", runtime::FileProblem::NotARegularFile, "Das ist keine gewöhnliche Datei."},  // the folder itself
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingReport report;
        try {
            DateiZerlegen(folder / c.name, 100, report);
            ADD_FAILURE() << "a source that is no file must fail";
        } catch (const runtime::FileError& error) {
            EXPECT_EQ(error.code(), c.code);
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
    }
    ::close(socket);
}

} // namespace
