// The join script where the pieces arrive, run by Wine's cmd: whatever happened on the way, it
// builds the file byte for byte and says whether it checked every byte, or writes nothing and
// says why; it never replaces a file that is there and never leaves a file under the target's
// name that is not whole.
#include "engine/DateiZerlegen.h"

#include "LinuxFaults.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <gtest/gtest.h>
#include <optional>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

// Where the script for film.avi keeps certutil's answers while it runs.
constexpr const char* kAnswerFile = "palvo-e3828d7ea1196c07.txt";

// The pieces and the batch file of a three-piece cut of film.avi: what is carried to a join.
const std::vector<std::string> kCarried{"film.001", "film.002", "film.003", "film.bat"};

void carry(const std::string& from, const std::string& to)
{
    for (const std::string& name : kCarried)
        fs::copy_file(from + "/" + name, to + "/" + name);
}

// Two joins started at once, and what each said.
std::pair<Said, Said> atOnce(const std::function<Said()>& first, const std::function<Said()>& second)
{
    std::optional<Said> fromFirst;
    std::thread other([&] { fromFirst = first(); });
    const Said fromSecond = second();
    other.join();
    return {*fromFirst, fromSecond};
}

// Every name under a folder, as a path relative to it, in order.
std::vector<std::string> treeOf(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(entry.path().lexically_relative(folder).generic_string());
    std::ranges::sort(names);
    return names;
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

void flipAByte(const std::string& path, std::uintmax_t at)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(static_cast<std::streamoff>(at));
    const char byte = static_cast<char>(file.get() ^ 0x5A);
    file.seekp(static_cast<std::streamoff>(at));
    file.put(byte);
}

// What cmd says, in Wine's ANSI code page (1252 in German): "gepr\xfcft" is "geprüft".
constexpr const char* kChecked = "ist zusammengef\xfcgt und gepr\xfc" "ft";
constexpr const char* kNotChecked = "Ihr Inhalt wurde nicht gepr\xfc" "ft";

TEST(JoinedByCmd, WhatHappenedOnTheWay)
{
    const std::string bytes = randomBytes(3000000, 20);
    const std::string other = "eine ganz andere Datei";
    TempFolder cut, otherCut;
    cutFile(cut / "film.avi", bytes, 1433600);
    cutFile(otherCut / "film.avi", randomBytes(3000000, 21), 1433600);  // a cut of the same length

    const auto standIn = [](const char* form) { return CmdRun{kGerman, form, ""}; };
    const auto pages = [](std::uintmax_t bytes) { return (bytes + 4095) / 4096 * 4096; };
    std::uint64_t filledByThePieces = 0;
    for (const std::string& name : kCarried)
        filledByThePieces += pages(fs::file_size(cut / name));
    // Room for nothing more than the joined file, the lock file's mark and certutil's answer.
    const std::uint64_t filledByTheJoin = filledByThePieces + pages(bytes.size()) + 2 * pages(1);
    // What a join left that was killed while it copied, and one that failed before it copied (its
    // lock file holds what went wrong).
    const auto leftBehind = [](const char* lock, const char* working) {
        return [=](const std::string& to) {
            fs::create_directories(to + "/film.avi.palvo"), writeFile(to + "/film.avi.palvo/sperre", lock);
            writeFile(to + "/film.avi.unfertig", working), writeFile(to + "/" + kAnswerFile, "SHA256-Hashwert");
        };
    };
    const struct {
        const char* what;
        std::function<void(const std::string& pieces)> onTheWay;
        const char* said;             // a part of what the script says
        bool joined = false;          // the pieces as they are, joined under the target's name
        CmdRun how = {};
        std::function<void(const std::string& pieces)> mended = {};  // then it joins and says it checked
        bool startedElsewhere = false;
        std::uint64_t medium = 0;     // the receiving disk's size; 0: a folder on the system's disk
        std::uint64_t slots = 0;      // and the files it takes; 0: as many as it likes
    } ways[] = {
        {"started in another folder with the script's full path", [](const std::string&) {}, kChecked, true,
         standIn("10-de"), {}, true},
        {"a piece missing", [](const std::string& to) { fs::remove(to + "/film.002"); }, "Das Teil \"film.002\" fehlt."},
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
        {"a folder named like the file being joined",
         [](const std::string& to) { fs::create_directories(to + "/film.avi.unfertig/drin"); },
         "steht \"film.avi.unfertig\" im Weg"},
        {"an empty folder of the user's named like the join's own",
         [](const std::string& to) { fs::create_directory(to + "/film.avi.palvo"); },
         "steht \"film.avi.palvo\" im Weg"},
        {"a folder of the user's named like the join's own, holding a folder named like its lock",
         [](const std::string& to) {
             fs::create_directories(to + "/film.avi.palvo/sperre");
             writeFile(to + "/film.avi.palvo/sperre/foto.jpg", "ein Foto"); },
         "steht \"film.avi.palvo\" im Weg"},
        {"a folder of the user's named like the join's own, holding a file named like its lock and more",
         [](const std::string& to) {
             fs::create_directory(to + "/film.avi.palvo"), writeFile(to + "/film.avi.palvo/sperre", "Arbeitsdatei\r\n");
             writeFile(to + "/film.avi.palvo/brief.txt", "Lieber"); },
         "steht \"film.avi.palvo\" im Weg"},
        {"a file of the user's under the name the file is joined under",
         [](const std::string& to) { writeFile(to + "/film.avi.unfertig", "meine Notizen"); },
         "steht \"film.avi.unfertig\" im Weg"},
        {"what an interrupted join left", leftBehind("Arbeitsdatei \r\n", "halb"), kChecked, true, standIn("10-de")},
        {"a file of the user's under the working name beside a failed join's lock",
         leftBehind("Zugriff verweigert\r\n", "meine Notizen"), "steht \"film.avi.unfertig\" im Weg"},
        {"variables of the same names in the environment", [](const std::string&) {}, kChecked, true,
         {kGerman, "10-de", "", {{"Nachpruefen", "ja"}, {"Verwaist", "ja"}, {"Ist", " 1"}}}},
        {"a byte flipped in a piece, certutil of Windows 10",
         [](const std::string& to) { flipAByte(to + "/film.002", 700000); }, "Das Teil \"film.002\" ist besch", false,
         standIn("10-de"), [&](const std::string& to) { fs::copy_file(cut / "film.002", to + "/film.002",
                                                                       fs::copy_options::overwrite_existing); }},
        {"a byte flipped in a piece, certutil of Windows 7",
         [](const std::string& to) { flipAByte(to + "/film.003", 5); }, "Das Teil \"film.003\" ist besch", false,
         standIn("7-en"), [&](const std::string& to) { fs::copy_file(cut / "film.003", to + "/film.003",
                                                                      fs::copy_options::overwrite_existing); }},
        {"a byte flipped in a piece, Wine's own certutil, which gives no digest",
         [](const std::string& to) { flipAByte(to + "/film.002", 700000); }, kNotChecked, true},
        {"a piece of another cut of the same length", [&](const std::string& to) {
             fs::copy_file(otherCut / "film.002", to + "/film.002", fs::copy_options::overwrite_existing); },
         "Das Teil \"film.002\" ist besch", false, standIn("7-de")},
        {"a certutil of its own beside the pieces", [](const std::string& to) {
             writeFile(to + "/certutil.bat", "@echo off\r\necho lief> gelaufen.txt\r\n");
             writeFile(to + "/certutil.exe", "kein Programm"); },
         kChecked, true, standIn("10-en")},
        {"a receiving medium with room for the pieces only", [](const std::string&) {},
         "Die Datei \"film.avi\" konnte nicht vollst", false, {}, {}, false, 4 << 20},
        // Full with the joined file: the room certutil's answer takes was kept, and the digest counts.
        {"a byte flipped on a medium that the joined file fills",
         [](const std::string& to) { flipAByte(to + "/film.002", 1000); }, "Das Teil \"film.002\" ist besch", false,
         standIn("10-de"), {}, false, filledByTheJoin},
        {"a receiving medium with file slots for the pieces only", [](const std::string&) {},
         "l\xe4sst sich nichts anlegen", false, {}, {}, false, 64 << 20, 5},
        {"a receiving medium with file slots for the pieces and the lock's folder", [](const std::string&) {},
         "l\xe4sst sich nichts anlegen", false, {}, {}, false, 64 << 20, 6},
        {"a receiving medium full with the pieces", [](const std::string&) {},
         "l\xe4sst sich im Ordner", false, {}, {}, false, filledByThePieces},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        if (way.medium && ::geteuid() != 0) {
            std::cout << "[ SKIPPED  ] " << way.what << ": needs root, mounts a file system of its own\n";
            continue;
        }
        std::optional<SmallDisk> disk;
        TempFolder folder, elsewhere, notes;
        const std::string to = way.medium ? disk.emplace(way.medium, way.slots).path() : folder.path();
        carry(cut.path(), to);
        way.onTheWay(to);
        const auto before = treeOf(to);
        // What an interrupted join left: its folder with its lock file alone.
        const bool leftOver = fs::is_regular_file(to + "/film.avi.palvo/sperre") &&
                              std::distance(fs::directory_iterator(to + "/film.avi.palvo"), {}) == 1;
        const std::string arrived = joinedPieces(to + "/film.");
        const bool targetWasThere = exists(to + "/film.avi");
        const std::string target = targetWasThere ? readFile(to + "/film.avi") : "";
        const FileStamp stamp = stampOf(to + "/film.avi");

        CmdRun how = way.how;
        how.certutilLog = notes / "certutil.log";
        const Said said = way.startedElsewhere ? runBatchFile(elsewhere.path(), windowsPath(to + "/film.bat"), how)
                                               : runBatchFile(to, "film.bat", how);
        EXPECT_NE(said.text.find(way.said), std::string::npos) << said.text;
        EXPECT_EQ(said.status, way.joined ? 0 : 1) << said.text;
        EXPECT_TRUE(joinedPieces(to + "/film.") == arrived) << "the pieces as they arrived";
        auto after = before;
        if (way.joined && !targetWasThere)
            after.insert(std::upper_bound(after.begin(), after.end(), "film.avi"), "film.avi");
        if (leftOver) {  // taken for what it is, and removed; the user's file stays
            for (const char* name : {"film.avi.palvo", "film.avi.palvo/sperre", kAnswerFile})
                std::erase(after, name);
            if (way.joined)
                std::erase(after, "film.avi.unfertig");
        }
        EXPECT_EQ(treeOf(to), after) << "nothing left beside the pieces but what they joined";
        if (way.joined) {
            EXPECT_TRUE(readFile(to + "/film.avi") == arrived) << "joined byte for byte";
        }
        if (targetWasThere) {
            EXPECT_TRUE(readFile(to + "/film.avi") == target) << "a file that was there stays as it was";
            EXPECT_TRUE(stampOf(to + "/film.avi") == stamp) << "not even written over with the same bytes";
        }
        if (!way.how.certutil.empty()) {
            EXPECT_TRUE(exists(notes / "certutil.log")) << "the stand-in ran";
        }
        if (way.startedElsewhere) {
            EXPECT_TRUE(elsewhere.names().empty()) << "nothing where the script was started";
        }
        if (way.mended) {
            way.mended(to);
            const Said again = runBatchFile(to, "film.bat", how);
            EXPECT_EQ(again.status, 0) << again.text;
            EXPECT_NE(again.text.find(kChecked), std::string::npos) << again.text;
            EXPECT_TRUE(readFile(to + "/film.avi") == bytes);
        }
    }
}

// Pieces of the same names joined in two folders at once (two sticks, two copies of a folder)
// keep their checks apart: each window says what is true of its own pieces.
TEST(JoinedByCmd, TwoFoldersAtOnceKeepTheirChecksApart)
{
    const std::string bytes = randomBytes(3000000, 26);
    TempFolder cut, whole, damaged, notes;
    cutFile(cut / "film.avi", bytes, 1433600);
    carry(cut.path(), whole.path()), carry(cut.path(), damaged.path());
    flipAByte(damaged / "film.002", 1000);
    const CmdRun how{kGerman, "10-de", notes / "certutil.log"};
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        removeFile(whole / "film.avi");
        const auto [fromWhole, fromDamaged] = atOnce([&] { return runBatchFile(whole.path(), "film.bat", how); },
                                                     [&] { return runBatchFile(damaged.path(), "film.bat", how); });
        EXPECT_EQ(fromWhole.status, 0) << fromWhole.text;
        EXPECT_NE(fromWhole.text.find(kChecked), std::string::npos) << fromWhole.text;
        EXPECT_TRUE(readFile(whole / "film.avi") == bytes);
        EXPECT_EQ(fromDamaged.status, 1) << fromDamaged.text;
        EXPECT_NE(fromDamaged.text.find("Das Teil \"film.002\" ist besch"), std::string::npos) << fromDamaged.text;
        EXPECT_EQ(fromDamaged.text.find(" ist besch"), fromDamaged.text.rfind(" ist besch")) << "no other piece named";
        EXPECT_EQ(damaged.names(), kCarried);
    }
}

// Windows reaches paths of 259 characters: in a folder too deep for the names the join makes, it
// says so before it writes anything.
TEST(JoinedByCmd, AFolderTooDeepForWindowsPathsIsNamed)
{
    TempFolder cut, top;
    cutFile(cut / "film.avi", randomBytes(3000, 25), 1000);
    // From 240 to 245 characters: too deep for "film.avi.palvo\sperre", not for cmd to start in.
    std::string deep = top.path();
    while (windowsPath(deep).size() < 240)
        fs::create_directory(deep += "/" + std::string(std::min<std::size_t>(40, 244 - windowsPath(deep).size()), 'o'));
    carry(cut.path(), deep);
    const Said said = runBatchFile(deep, "film.bat");
    EXPECT_EQ(said.status, 1);
    EXPECT_NE(said.text.find("ist zu lang"), std::string::npos) << said.text;
    EXPECT_EQ(namesIn(deep), kCarried);
}

// Read in another code page than it was written in, where double-byte characters swallow what
// follows them or where its umlauts are other letters, a script with such names changes nothing.
TEST(JoinedByCmd, ReadInAnotherCodePageChangesNothing)
{
    TempFolder cut;
    const std::string bytes = randomBytes(300000, 22);
    cutFile(cut / "Urlaub.Größe", bytes, 100000);
    const struct {
        const char* locale;
        const char* said;
    } cases[] = {{"ru_RU.UTF-8", "liest sie aber in Codepage 866"}, {"ja_JP.UTF-8", "liest sie aber in einer anderen"}};
    for (const auto& c : cases) {
        for (const bool originalBeside : {false, true}) {
            SCOPED_TRACE(std::string(c.locale) + (originalBeside ? ", the original beside" : ""));
            TempFolder folder;
            for (const char* name : {"Urlaub.001", "Urlaub.002", "Urlaub.003", "Urlaub.bat"})
                fs::copy_file(cut / name, folder / name);
            if (originalBeside)
                fs::copy_file(cut / "Urlaub.Größe", folder / "Urlaub.Größe");
            const auto names = folder.names();
            const FileStamp stamp = stampOf(folder / "Urlaub.Größe");
            const Said said = runBatchFile(folder.path(), "Urlaub.bat", {c.locale, "", ""});
            EXPECT_EQ(said.status, 1);
            EXPECT_NE(said.text.find(c.said), std::string::npos) << said.text;
            EXPECT_EQ(folder.names(), names);
            if (originalBeside) {
                EXPECT_TRUE(readFile(folder / "Urlaub.Größe") == bytes);
                EXPECT_TRUE(stampOf(folder / "Urlaub.Größe") == stamp);
            }
        }
    }
}

// A window closed while the pieces are copied ends cmd there: what it wrote bears the working
// name only, and the next start removes it and joins.
TEST(JoinedByCmd, AJoinKilledWhileItCopiesLeavesNothingUnderTheTargetsName)
{
    TempFolder folder;
    const std::string bytes = randomBytes(600 << 20, 23);
    cutFile(folder / "film.avi", bytes, 100 << 20);
    removeFile(folder / "film.avi");

    const pid_t join = ::fork();
    if (join == 0) {
        ::setenv("WINEDEBUG", "-all", 1), ::setenv("LANG", "de_DE.UTF-8", 1), ::setenv("LC_ALL", "de_DE.UTF-8", 1);
        ::freopen("/dev/null", "r", stdin), ::freopen("/dev/null", "w", stdout);
        if (::chdir(folder.path().c_str()) == 0)
            ::execlp("wine", "wine", "cmd", "/c", "film.bat", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const std::string working = folder / "film.avi.unfertig";
    std::uintmax_t copied = 0;
    while (::waitpid(join, nullptr, WNOHANG) == 0 && (copied = exists(working) ? fs::file_size(working) : 0) == 0)
        std::this_thread::yield();
    ASSERT_EQ(::kill(join, SIGKILL), 0) << "the join ended before it could be killed";
    ::waitpid(join, nullptr, 0);
    EXPECT_GT(copied, 0u);
    EXPECT_LT(fs::file_size(working), bytes.size()) << "killed while it copied";
    EXPECT_FALSE(exists(folder / "film.avi"));

    const Said said = runBatchFile(folder.path(), "film.bat");
    EXPECT_EQ(said.status, 0) << said.text;
    EXPECT_TRUE(readFile(folder / "film.avi") == bytes);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"film.001", "film.002", "film.003", "film.004", "film.005",
                                                        "film.006", "film.avi", "film.bat"}));
}

// A double click taken twice: one start joins, the other says why it does not, and neither
// removes what the other wrote.
TEST(JoinedByCmd, TwoStartsAtOnceJoinOnce)
{
    TempFolder folder;
    const std::string bytes = randomBytes(40 << 20, 24);
    cutFile(folder / "film.avi", bytes, 10 << 20);
    int sawTheOther = 0;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        removeFile(folder / "film.avi");
        const auto join = [&] { return runBatchFile(folder.path(), "film.bat"); };
        const auto [first, second] = atOnce(join, join);
        const Said& failed = first.status == 0 ? second : first;
        EXPECT_EQ(first.status + second.status, 1) << first.text << second.text;
        const bool running = failed.text.find("werden gerade schon") != std::string::npos;
        EXPECT_TRUE(running || failed.text.find("gibt es in diesem Ordner schon") != std::string::npos) << failed.text;
        sawTheOther += running;
        EXPECT_TRUE(readFile(folder / "film.avi") == bytes);
        EXPECT_EQ(folder.names().size(), 6u) << "four pieces, the script and the file";
    }
    RecordProperty("sawTheOtherRunning", sawTheOther);
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

    const Said said = runBatchFile(disk.path(), "gross.bat", {kGerman, "10-de", disk / "log.txt"});
    EXPECT_EQ(said.status, 0) << said.text;
    EXPECT_NE(said.text.find(kChecked), std::string::npos) << said.text;
    EXPECT_EQ(fs::file_size(source), static_cast<std::uintmax_t>(piece + 1));
    const int joined = ::open(source.c_str(), O_RDONLY);
    char mark = 0;
    EXPECT_EQ(::pread(joined, &mark, 1, piece), 1);
    EXPECT_EQ(mark, '!');
    ::close(joined);
}

} // namespace
