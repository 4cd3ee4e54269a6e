// Real faults tried on purpose: full disks, failing writes, names in the way, a shrinking
// source, a read-only medium, names at the system's limits, and the process killed midway.
// After each: the source is unchanged, there is no join script or one that rebuilds the
// source, no piece is longer than its share, and the next job succeeds.
#include "engine/DateiZerlegen.h"
#include "PieceNaming.h"
#include "runtime/FileError.h"
#include "runtime/ProgramStart.h"

#include "LinuxFaults.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace testsupport;
using engine::ByteCount;
using engine::DateiZerlegen;

std::int64_t fileSize(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

// What must hold after any fault. Returns whether a join script was there.
bool expectNothingLost(const std::string& folder, const std::string& name, const std::string& bytes,
                       ByteCount pieceLength)
{
    const std::string base = folder + "/" + engine::BasisPfad(name);
    EXPECT_EQ(readFile(folder + "/" + name), bytes) << "the source is never changed";
    for (std::int64_t k = 1; exists(engine::pieceName(base, k)); ++k) {
        EXPECT_LE(fileSize(engine::pieceName(base, k)), pieceLength) << engine::pieceName(base, k);
    }
    if (!exists(base + "bat") || std::filesystem::is_symlink(base + "bat"))  // a link there is the user's
        return false;
    const ReadScript script = readScript(readFile(base + "bat"));
    EXPECT_EQ(script.target, name + ".unfertig");
    std::string joined;
    for (const std::string& piece : script.pieces)
        joined += readFile(folder + "/" + piece);
    EXPECT_TRUE(joined == bytes) << "a join script must rebuild the source";
    return true;
}

// Runs a job that must fail, and checks the error its failure keeps and, where given, the file
// it names.
void expectJobFails(const std::string& source, ByteCount pieceLength, engine::JobReport& report,
                    std::error_code code, const std::string& path = {})
{
    try {
        DateiZerlegen(source, pieceLength, report);
        ADD_FAILURE() << "the job must fail: " << code.message();
    } catch (const runtime::FileError& error) {
        EXPECT_EQ(error.code(), code) << error.what();
        if (!path.empty()) {
            EXPECT_EQ(error.path(), path);
        }
    }
}

// Cuts again after a fault; this time the job must succeed.
void expectNextJobSucceeds(const std::string& folder, const std::string& name, const std::string& bytes,
                           ByteCount pieceLength)
{
    RecordingReport report;
    DateiZerlegen(folder + "/" + name, pieceLength, report);
    EXPECT_TRUE(report.messages.empty());
    EXPECT_TRUE(expectNothingLost(folder, name, bytes, pieceLength));
    for (const std::string& left : namesIn(folder))
        EXPECT_FALSE(left.starts_with(".palvo-")) << left << ": what an earlier job left goes with this one";
}

TEST(Faults, AWriteBeyondTheFileSizeLimitFailsCleanly)
{
    runtime::prepareProgram();  // as every Palvo program starts
    TempFolder folder;
    const std::string bytes = randomBytes(5000, 5);
    writeFile(folder / "film.avi", bytes);
    writeFile(folder / "film.bat", "copy /b film.001 film.avi\r\n");
    RecordingReport report;
    {
        FileSizeLimit limit(1500);
        expectJobFails(folder / "film.avi", 2000, report, std::error_code(EFBIG, std::system_category()),
                       folder / "film.001");
    }
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"film.avi", "film.bat"})) << "the new piece goes";
    EXPECT_EQ(copyCommandIn(folder / "film.bat"), "copy /b film.001 film.avi\r\n") << "an earlier script stays";
    EXPECT_EQ(report.ends, 1);
    expectNextJobSucceeds(folder.path(), "film.avi", bytes, 2000);
}

TEST(Faults, ADiskFilledDuringTheJobFailsCleanly)
{
    SKIP_UNLESS_ROOT();
    const struct {
        const char* what;
        std::uint64_t disk;
        std::vector<std::string> left;  // beside the source and the filler
    } ways[] = {
        {"staged, the earlier set stays whole", 1 << 20, {"film.001", "film.002", "film.bat"}},
        // In place the earlier script went first and the new pieces took the earlier ones'
        // names; those finished go again, as nobody could join them.
        {"in place, with room for one set only", 512 << 10, {}},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        SmallDisk disk(way.disk);
        const std::string bytes = randomBytes(200000, 6);
        writeFile(disk / "film.avi", bytes);
        RecordingReport earlier;
        DateiZerlegen(disk / "film.avi", 100000, earlier);
        const std::string earlierScript = readFile(disk / "film.bat");
        ReportAt report(3, [&] {
            const int descriptor = ::open((disk / "füller").c_str(), O_WRONLY | O_CREAT, 0644);
            const std::string block(4096, 'x');
            while (::write(descriptor, block.data(), block.size()) > 0) {
            }
            ::close(descriptor);
        });
        EXPECT_THROW(DateiZerlegen(disk / "film.avi", 50000, report), runtime::FileError);
        EXPECT_EQ(report.replacingEarlier, way.disk < (1 << 20));
        auto left = way.left;
        left.insert(left.end(), {"film.avi", "füller"});
        std::sort(left.begin(), left.end());
        EXPECT_EQ(disk.names(), left) << "nothing of the failed job stays";
        if (!report.replacingEarlier) {
            EXPECT_EQ(readFile(disk / "film.bat"), earlierScript);
            EXPECT_TRUE(expectNothingLost(disk.path(), "film.avi", bytes, 100000));
        }
        ::unlink((disk / "füller").c_str());
        expectNextJobSucceeds(disk.path(), "film.avi", bytes, 50000);
    }
}

TEST(Faults, ASourceChangedDuringTheJobIsAFailureWithoutAScript)
{
    const struct {
        const char* what;
        void (*change)(const std::string& source);
        runtime::FileProblem problem;
    } changes[] = {
        {"it shrinks", [](const std::string& source) { EXPECT_EQ(::truncate(source.c_str(), 150), 0); },
         runtime::FileProblem::SourceShrank},
        {"bytes added at its end", [](const std::string& source) { std::ofstream(source, std::ios::app) << "mehr"; },
         runtime::FileProblem::SourceChanged},
        {"bytes written over, its length the same",
         [](const std::string& source) { std::fstream(source, std::ios::in | std::ios::out | std::ios::binary) << "neu"; },
         runtime::FileProblem::SourceChanged},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        writeFile(folder / "film.avi", randomBytes(400000, 3));
        ReportAt report(2, [&] { c.change(folder / "film.avi"); });
        expectJobFails(folder / "film.avi", 100000, report, c.problem, folder / "film.avi");
        EXPECT_FALSE(exists(folder / "film.bat"));
    }
}

TEST(Faults, TheJobStaysInTheFolderItCheckedWhenTheWayThereChanges)
{
    TempFolder folder;
    const std::string first = folder / "erster", second = folder / "zweiter", way = folder / "weg";
    ::mkdir(first.c_str(), 0755);
    ::mkdir(second.c_str(), 0755);
    ::symlink(first.c_str(), way.c_str());
    const std::string bytes = randomBytes(50000, 7);
    writeFile(first + "/film.avi", bytes);
    writeFile(second + "/film.avi", randomBytes(50000, 8));
    ReportAt report(3, [&] {  // the way is pointed at the other folder meanwhile
        ::symlink(second.c_str(), (way + ".neu").c_str());
        ::rename((way + ".neu").c_str(), way.c_str());
    });
    DateiZerlegen(way + "/film.avi", 10000, report);
    EXPECT_TRUE(expectNothingLost(first, "film.avi", bytes, 10000));
    EXPECT_EQ(readFile(first + "/film.005"), bytes.substr(40000));
    EXPECT_EQ(namesIn(second), std::vector<std::string>{"film.avi"});
}

TEST(Faults, NamesInTheWayNeitherStopNorSpoilTheJob)
{
    const struct {
        const char* what;
        std::function<void(const TempFolder&)> prepare;
        bool refused;
    } cases[] = {
        {"a folder named like a piece", [](const TempFolder& f) { ::mkdir((f / "film.002").c_str(), 0755); }, true},
        {"a link to another file", [](const TempFolder& f) { ::symlink((f / "anderes").c_str(), (f / "film.001").c_str()); }, false},
        {"a link to a folder", [](const TempFolder& f) { ::mkdir((f / "ordner").c_str(), 0755);
                                                         ::symlink((f / "ordner").c_str(), (f / "film.002").c_str()); }, false},
        {"a dangling link", [](const TempFolder& f) { ::symlink((f / "fehlt").c_str(), (f / "film.003").c_str()); }, false},
        {"a hard link to the source", [](const TempFolder& f) { ::link((f / "film.avi").c_str(), (f / "film.002").c_str()); }, true},
        {"a read-only longer old piece", [](const TempFolder& f) { writeFile(f / "film.001", randomBytes(900));
                                                                   ::chmod((f / "film.001").c_str(), 0444); }, false},
        // A link is no script of Palvo's: it is the user's, and stays.
        {"a link under the script's name", [](const TempFolder& f) { ::symlink((f / "anderes").c_str(), (f / "film.bat").c_str()); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string bytes = randomBytes(250, 1);
        const std::string other = randomBytes(77, 2);
        writeFile(folder / "film.avi", bytes);
        writeFile(folder / "anderes", other);
        c.prepare(folder);
        RecordingReport report;
        DateiZerlegen(folder / "film.avi", 100, report);
        EXPECT_EQ(report.messages.size(), c.refused ? 1u : 0u);
        EXPECT_EQ(expectNothingLost(folder.path(), "film.avi", bytes, 100), !c.refused);
        EXPECT_EQ(readFile(folder / "anderes"), other) << "nothing is written through a link";
    }
}

TEST(Faults, AReadOnlyMediumIsRefusedBeforeAnyPiece)
{
    SKIP_UNLESS_ROOT();
    TempFolder folder;
    const std::string bytes = randomBytes(3000, 3);
    writeFile(folder / "film.avi", bytes);
    {
        BindMount readOnly(folder.path(), BindMount::ReadOnly);
        RecordingReport report;
        DateiZerlegen(readOnly / "film.avi", 1000, report);
        ASSERT_EQ(report.messages.size(), 1u);
        EXPECT_NE(report.messages[0].find("auf einem Datenträger, der nur gelesen werden kann"), std::string::npos)
            << report.messages[0];
    }
    EXPECT_EQ(folder.names(), std::vector<std::string>{"film.avi"});
    expectNextJobSucceeds(folder.path(), "film.avi", bytes, 1000);
}

TEST(Faults, NamesAndPathsAtTheSystemsLimits)
{
    TempFolder folder;
    // The join makes a folder of 6 characters more ("….palvo") and a lock file in it: 237
    // characters are the most that leave room for a folder "D:\" in the 247 that Windows takes
    // for a folder's path.
    const std::string longest = std::string(233, 'x') + ".avi";
    const std::string bytes = randomBytes(2000, 4);
    writeFile(folder / longest, bytes);
    expectNextJobSucceeds(folder.path(), longest, bytes, 100);  // pieces .001 to .020
    writeFile(folder / ("x" + longest), bytes);
    RecordingReport report;
    DateiZerlegen(folder / ("x" + longest), 100, report);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].find("höchstens 259 Zeichen"), std::string::npos) << report.messages[0];
    EXPECT_FALSE(exists(folder / (std::string(234, 'x') + ".001")));

    // A source whose path is just short enough, with pieces whose paths would not be.
    std::string deep = folder.path();
    while (deep.size() < 4000) {
        deep += "/" + std::string(std::min<std::size_t>(200, 4000 - deep.size()), 'o');
        ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0) << deep.size();
    }
    const std::string name = std::string(4094 - deep.size() - 3, 'y') + ".a";
    writeFile(deep + "/" + name, bytes);
    ASSERT_EQ(fileSize(deep + "/" + name), 2000) << "the source's path must be possible";
    report.messages.clear();
    DateiZerlegen(deep + "/" + name, 1000, report);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].find("wäre länger, als der Datenträger erlaubt"), std::string::npos);
}

TEST(Faults, NamesALinuxMediumHoldsButWindowsOrTheScriptCannotAreRefused)
{
    for (const char* name : {"zeile\numbruch.avi", "an\"f\"uehrung.avi", "Ελληνικά.avi", "tab\there.avi", "frage?.avi",
                             "stern*.avi"}) {
        SCOPED_TRACE(name);
        TempFolder folder;
        writeFile(folder / name, randomBytes(3000, 9));
        expectRefusal(folder, name, 1000, "Bitte benennen Sie die Datei um");
    }
}

// A job's report that kills the job's process at a moment of its own.
class KillingReport : public RecordingReport {
public:
    KillingReport(std::int64_t piece, bool afterTheLastByte) : piece_(piece), afterTheLastByte_(afterTheLastByte) {}
    void pieceStarted(std::int64_t number, const std::string& path) override
    {
        if (number == piece_)
            ::raise(SIGKILL);
        RecordingReport::pieceStarted(number, path);
    }
    void progressed(std::int64_t done, std::int64_t total) override
    {
        if (afterTheLastByte_ && done == total)
            ::raise(SIGKILL);
    }

private:
    std::int64_t piece_;
    bool afterTheLastByte_;
};

// Whether the command, which runs palvo_cut, ended by a kill; the shell tells a kill as 128 + 9.
bool killedBy(const std::string& command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGKILL;
}

TEST(Faults, KilledAtAnyMomentLeavesNoWrongScript)
{
    const std::string bytes = randomBytes((2 << 20) + 1000, 10);
    constexpr ByteCount kPiece = 256 << 10;  // 9 pieces, each on its way to the medium on its own
    constexpr std::int64_t kPieces = 9;
    const auto inReport = [](std::int64_t piece, bool afterTheLastByte) {
        return [=](const std::string& source) {
            const pid_t child = ::fork();
            if (child == 0) {
                KillingReport report(piece, afterTheLastByte);
                DateiZerlegen(source, kPiece, report);
                ::_exit(0);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        };
    };
    // Killed as it enters the call on the system, the n-th of its kind.
    const auto atCall = [](const char* call, int n) {
        return [=](const std::string& source) {
            return killedBy("ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o /dev/null -e inject=" + std::string(call) + ":signal=KILL:when=" +
                            std::to_string(n) + " " PALVO_CUT " '" + source + "' " + std::to_string(kPiece));
        };
    };
    enum class Left { EarlierSet, NoScript, NewSet };
    const struct {
        const char* moment;
        std::function<bool(const std::string& source)> cutAndKill;
        Left left;
        std::int64_t staged;  // pieces under hidden names at that moment: which moment the kill hit
    } moments[] = {
        {"as its first piece starts", inReport(1, false), Left::EarlierSet, 0},
        {"as a piece in the middle starts", inReport(5, false), Left::EarlierSet, 4},
        {"as its last piece starts", inReport(kPieces, false), Left::EarlierSet, kPieces - 1},
        {"after its last byte", inReport(0, true), Left::EarlierSet, kPieces},
        {"putting the pieces on the medium", atCall("syncfs", 1), Left::EarlierSet, kPieces},
        {"as the old script has gone", atCall("fsync", 1), Left::NoScript, kPieces},
        {"giving the last piece its name", atCall("renameat", 1), Left::NoScript, kPieces},
        {"giving a piece in the middle its name", atCall("renameat", 5), Left::NoScript, 5},
        {"putting the pieces' names on the medium", atCall("fsync", 2), Left::NoScript, 0},
        {"putting the script's bytes on the medium", atCall("fdatasync", 1), Left::NoScript, 0},
        {"giving the script its name", atCall("renameat", kPieces + 1), Left::NoScript, 0},
        {"putting the script's name on the medium", atCall("fsync", 3), Left::NewSet, 0},
    };
    const auto stagedIn = [](const TempFolder& folder) {
        const auto names = folder.names();
        return std::count_if(names.begin(), names.end(), [](const std::string& name) {
            return name.starts_with(".palvo-") && name.find_last_not_of("0123456789") == name.size() - 4;
        });
    };
    for (const auto& m : moments) {
        SCOPED_TRACE(m.moment);
        TempFolder folder;
        writeFile(folder / "film.avi", bytes);
        RecordingReport earlier;  // an earlier job's pieces and script, of another size
        DateiZerlegen(folder / "film.avi", kPiece / 2, earlier);
        const std::string earlierScript = readFile(folder / "film.bat");
        EXPECT_TRUE(m.cutAndKill(folder / "film.avi")) << "the job was killed at that moment";
        EXPECT_EQ(stagedIn(folder), m.staged) << "the names that moment leaves";
        EXPECT_EQ(exists(folder / "film.bat"), m.left != Left::NoScript);
        EXPECT_EQ(expectNothingLost(folder.path(), "film.avi", bytes, kPiece), m.left != Left::NoScript);
        if (m.left != Left::NoScript) {
            EXPECT_EQ(readFile(folder / "film.bat") == earlierScript, m.left == Left::EarlierSet);
        }
        expectNextJobSucceeds(folder.path(), "film.avi", bytes, kPiece);
    }
}

TEST(Faults, PiecesShareTheSourcesBlocksWhereTheMediumCan)
{
    SKIP_UNLESS_ROOT();
    for (const char* type : {"xfs", "btrfs"}) {
        SCOPED_TRACE(type);
        ImageDisk disk(type, 400 << 20);
        const std::string bytes = randomBytes((16 << 20) + 1, 9);
        writeFile(disk / "film.avi", bytes);
        ::sync();
        struct statvfs before {}, after {};
        ::statvfs(disk.path().c_str(), &before);
        RecordingReport report;
        DateiZerlegen(disk / "film.avi", 1 << 20, report);  // 16 pieces on whole blocks, and a byte
        ::statvfs(disk.path().c_str(), &after);
        EXPECT_TRUE(expectNothingLost(disk.path(), "film.avi", bytes, 1 << 20));
        const auto taken = static_cast<std::int64_t>(before.f_bfree - after.f_bfree) * before.f_frsize;
        EXPECT_LT(taken, 4 << 20) << "16 MiB in pieces took room of their own";
    }
}

TEST(Faults, RefusesWhenThePiecesWouldNotFitAtSomeMomentOfTheJob)
{
    SKIP_UNLESS_ROOT();
    constexpr ByteCount MiB = 1 << 20;
    const struct {
        const char* what;
        std::uint64_t disk;
        ByteCount source, oldPiece, piece;  // oldPiece 0: no earlier job
        bool refused;
        bool inPlace;  // over the earlier set: no room for both at once
    } cases[] = {
        {"pieces larger than the room", MiB, 600000, 0, 100000, true, false},
        {"room for both sets: the earlier stays whole until the end", 2 * MiB, 400000, 100000, 100000, false, false},
        {"old pieces give their room back as they go", MiB, 400000, 100000, 100000, false, true},
        // The old pieces would make room in all, but the first new piece comes before most of it.
        {"an old piece frees its room only when its new one is written", 19 * MiB, 8 * MiB, 3 * MiB, 7 * MiB, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SmallDisk disk(c.disk);
        const std::string bytes = randomBytes(static_cast<std::size_t>(c.source), 8);
        writeFile(disk / "film.avi", bytes);
        RecordingReport report;
        if (c.oldPiece > 0) {
            DateiZerlegen(disk / "film.avi", c.oldPiece, report);
            ASSERT_EQ(joinedPieces(disk / "film."), bytes) << "the earlier job's pieces are there";
        }
        const auto before = disk.names();
        const std::string oldScript = exists(disk / "film.bat") ? readFile(disk / "film.bat") : "";
        report.replacingEarlier = false;
        DateiZerlegen(disk / "film.avi", c.piece, report);
        EXPECT_EQ(report.replacingEarlier, c.inPlace && !c.refused) << "the stop question warns of it";
        if (c.refused) {
            ASSERT_EQ(report.messages.size(), 1u);
            EXPECT_NE(report.messages[0].find("nicht genug Platz frei"), std::string::npos) << report.messages[0];
            EXPECT_EQ(disk.names(), before);
            EXPECT_EQ(exists(disk / "film.bat") ? readFile(disk / "film.bat") : "", oldScript);
        } else {
            EXPECT_TRUE(report.messages.empty());
            EXPECT_TRUE(expectNothingLost(disk.path(), "film.avi", bytes, c.piece));
            EXPECT_EQ(fileSize(disk / "film.001"), c.piece);
        }
    }
}

TEST(Faults, SourcesOver4GiBAndPiecesOver2GiB)
{
    SKIP_UNLESS_ROOT();
    SmallDisk folder(6LL << 30);  // in memory: the pieces are 5 GiB of real bytes
    const std::string path = folder / "gross.img";
    const engine::ByteCount piece = 5LL << 29;  // 2.5 GiB
    const engine::ByteCount length = 2 * piece + 1;
    const engine::ByteCount marks[] = {0, (1LL << 31) - 1, 1LL << 31, piece - 1, piece, 1LL << 32, length - 1};
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::ftruncate(descriptor, length), 0);  // sparse: only the marks take space
    for (const auto offset : marks) {
        const char mark = static_cast<char>(offset % 251 + 1);
        ASSERT_EQ(::pwrite(descriptor, &mark, 1, offset), 1);
    }
    ::close(descriptor);

    RecordingReport report;
    DateiZerlegen(path, piece, report);
    const std::string pieces[] = {folder / "gross.001", folder / "gross.002", folder / "gross.003"};
    for (const auto offset : marks) {
        const int in = ::open(pieces[offset / piece].c_str(), O_RDONLY);
        char got = 0;
        EXPECT_EQ(::pread(in, &got, 1, offset % piece), 1);
        EXPECT_EQ(got, static_cast<char>(offset % 251 + 1)) << "at " << offset;
        ::close(in);
    }
    struct stat info {};
    ::stat(pieces[2].c_str(), &info);
    EXPECT_EQ(info.st_size, 1);
    EXPECT_EQ(copyCommandIn(folder / "gross.bat"), "copy /b gross.001 + gross.002 + gross.003 gross.img.unfertig\r\n");
}

} // namespace
