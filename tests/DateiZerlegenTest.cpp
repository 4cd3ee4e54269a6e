#include "PieceNaming.h"
#include "engine/DateiZerlegen.h"
#include "runtime/Path.h"

#include "TestSupport.h"

#include <filesystem>
#include <future>
#include <map>
#include <sstream>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace testsupport;
using engine::ByteCount;
using engine::DateiZerlegen;

#ifndef _WIN32
// The digests the script checks, in the order it names them: each piece's, then the whole file's.
std::vector<std::string> digestsIn(const std::string& script)
{
    std::vector<std::string> digests;
    for (std::size_t at = 0; (at = script.find("==\"", at)) != std::string::npos; at += 3) {
        const std::string quoted = script.substr(at + 3, 65);
        if (quoted.back() == '"' && quoted.find_first_not_of("0123456789abcdef") == 64)
            digests.push_back(quoted.substr(0, 64));
    }
    return digests;
}

// What sha256sum finds for the files, in their order.
std::vector<std::string> sha256sumOf(const std::string& folder, std::vector<std::string> files)
{
    files.insert(files.begin(), "sha256sum");
    std::istringstream lines(runProgram(folder, files).text);
    std::vector<std::string> digests;
    for (std::string line; std::getline(lines, line);)
        digests.push_back(line.substr(0, 64));
    return digests;
}
#endif

class Cutting : public ::testing::Test {
protected:
    std::string source(const std::string& name, const std::string& bytes)
    {
        writeFile(folder / name, bytes);
        return folder / name;
    }

    TempFolder folder;
    RecordingReport report;
};

TEST_F(Cutting, PiecesRebuildTheSourceAtEveryBoundary)
{
    const engine::ByteCount lengths[] = {1000, 65536, 1433600};
    for (const engine::ByteCount p : lengths) {
        for (const engine::ByteCount l : {p, p + 1, 2 * p + 1, 3 * p, 5 * p - 1, p + 32768, p * 7 / 3}) {
            SCOPED_TRACE("piece " + std::to_string(p) + ", source " + std::to_string(l));
            TempFolder here;
            const std::string bytes = randomBytes(static_cast<std::size_t>(l), static_cast<unsigned>(l));
            writeFile(here / "film.avi", bytes);
            DateiZerlegen(here / "film.avi", p, report);

            const std::size_t count = static_cast<std::size_t>((l + p - 1) / p);
            EXPECT_EQ(here.names().size(), count + 2);
            EXPECT_EQ(joinedPieces(here / "film."), bytes);
            for (std::int64_t k = 1; k < static_cast<std::int64_t>(count); ++k)
                EXPECT_EQ(readFile(here / engine::pieceName("film.", k)).size(), static_cast<std::size_t>(p));
            const ReadScript script = readScript(readFile(here / "film.bat"));
            EXPECT_EQ(script.target, "film.avi.unfertig");
            ASSERT_EQ(script.pieces.size(), count);
            EXPECT_EQ(script.pieces.back(), engine::pieceName("film.", static_cast<std::int64_t>(count)));
#ifndef _WIN32
            auto files = script.pieces;
            files.push_back("film.avi");
            EXPECT_EQ(digestsIn(readFile(here / "film.bat")), sha256sumOf(here.path(), files));
#endif
        }
    }
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(Cutting, PiecesAndScriptAreNamedAfterTheSourceBesideIt)
{
    const struct {
        const char* folder;  // of the source, within the test's
        const char* source;
        const char* script;
        const char* line;
    } cases[] = {
        {"", "film.avi", "film.bat", "copy /b film.001 + film.002 film.avi.unfertig\r\n"},
        {"", "LIESMICH", "LIESMICH.bat", "copy /b LIESMICH.001 + LIESMICH.002 LIESMICH.unfertig\r\n"},
        {"", "archiv.tar.gz", "archiv.tar.bat", "copy /b archiv.tar.001 + archiv.tar.002 archiv.tar.gz.unfertig\r\n"},
        // A dot in the folder's name only: beside the source, whatever lies one folder up.
        {"v1.0", "README", "README.bat", "copy /b README.001 + README.002 README.unfertig\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        TempFolder top;
        ASSERT_EQ(top.path().find('.'), std::string::npos) << "no dot in the path but the case's own";
        const std::string here = *c.folder ? top / c.folder : top.path();
        const auto in = [&](const std::string& name) { return here + runtime::kFolderSeparator + name; };
        makeFolder(here);
        writeFile(top / "v1.bat", "@echo my own build script\r\n");
        const std::string bytes = randomBytes(150);
        writeFile(in(c.source), bytes);
        DateiZerlegen(in(c.source), 100, report);
        EXPECT_EQ(copyCommandIn(in(c.script)), c.line);
        EXPECT_EQ(joinedPieces(in(engine::BasisPfad(c.source))), bytes);
        EXPECT_EQ(readFile(top / "v1.bat"), "@echo my own build script\r\n");
    }
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(Cutting, ReportsEachPieceAndHowFarItIs)
{
    DateiZerlegen(source("film.avi", randomBytes(25)), 10, report);
    EXPECT_EQ(report.pieces, (std::vector<std::string>{folder / "film.001", folder / "film.002", folder / "film.003"}));
    EXPECT_EQ(report.progress.back().first, 25);
    EXPECT_EQ(report.progress.back().second, 25);
    EXPECT_TRUE(std::is_sorted(report.progress.begin(), report.progress.end()));
    EXPECT_EQ(report.ends, 1);
    EXPECT_EQ(copyCommandIn(folder / "film.bat"), "copy /b film.001 + film.002 + film.003 film.avi.unfertig\r\n");
}

TEST_F(Cutting, ASourceShorterThanAPieceIsLeftAlone)
{
    for (const std::size_t length : {0, 1, 99}) {
        TempFolder here;
        writeFile(here / "film.avi", randomBytes(length));
        DateiZerlegen(here / "film.avi", 100, report);
        EXPECT_EQ(here.names(), std::vector<std::string>{"film.avi"});
    }
    EXPECT_EQ(report.messages, std::vector<std::string>(3, engine::kSourceTooSmall));
    EXPECT_TRUE(report.pieces.empty());
    EXPECT_EQ(report.ends, 3);
}

TEST_F(Cutting, ReplacesOldPiecesLinksAndReadOnlyFilesWithExactlyTheNewBytes)
{
    const std::string other = randomBytes(500, 7);
    writeFile(folder / "anderes.bin", other);
    writeFile(folder / "film.001", randomBytes(1000, 3));  // longer than the new piece
    if (symbolicLinksPossible())
        std::filesystem::create_symlink(runtime::toFsPath(folder / "anderes.bin"), runtime::toFsPath(folder / "film.002"));
    writeFile(folder / "film.bat", "copy /b film.001 film.avi\r\n");
    std::filesystem::permissions(runtime::toFsPath(folder / "film.001"), std::filesystem::perms::owner_read |
                                                                             std::filesystem::perms::group_read |
                                                                             std::filesystem::perms::others_read);
    const std::string bytes = randomBytes(250, 9);
    DateiZerlegen(source("film.avi", bytes), 100, report);

    EXPECT_EQ(readFile(folder / "film.001"), bytes.substr(0, 100));
    EXPECT_EQ(readFile(folder / "film.002"), bytes.substr(100, 100));
    EXPECT_EQ(readFile(folder / "anderes.bin"), other) << "never written through a link";
    EXPECT_EQ(copyCommandIn(folder / "film.bat"), "copy /b film.001 + film.002 + film.003 film.avi.unfertig\r\n");
}

TEST_F(Cutting, ASecondJobOnTheSameOutputsIsRefusedWhileTheFirstRuns)
{
    const std::string bytes = randomBytes(300000, 5);
    source("film.avi", bytes);
    source("film.mkv", randomBytes(1000, 6));  // another source, the same outputs
    PausingReport first;
    std::thread running([&] { DateiZerlegen(folder / "film.avi", 100000, first); });
    first.paused.get_future().wait();

    const std::string outputs = "die Teile „film.001“ und folgende und die Batch-Datei „film.bat“ in den Ordner „" +
                                folder.path() + "“.";
    const struct {
        const char* source;
        ByteCount piece;
        std::string message;
    } others[] = {{"film.avi", 30000, "Für diese Datei läuft bereits ein Zerlegen. Es schreibt " + outputs},
                  {"film.mkv", 100, "Gerade zerlegt Palvo die Datei „film.avi“ und schreibt dabei " + outputs}};
    for (const auto& other : others) {
        SCOPED_TRACE(other.source);
        RecordingReport refused;
        DateiZerlegen(folder / other.source, other.piece, refused);
        ASSERT_EQ(refused.messages.size(), 1u);
        EXPECT_TRUE(refused.messages[0].starts_with(other.message)) << refused.messages[0];
        EXPECT_TRUE(refused.pieces.empty());
    }
    first.goOn.set_value();
    running.join();
    EXPECT_TRUE(first.messages.empty());
    EXPECT_EQ(copyCommandIn(folder / "film.bat"), "copy /b film.001 + film.002 + film.003 film.avi.unfertig\r\n");
    EXPECT_EQ(joinedPieces(folder / "film."), bytes);

    DateiZerlegen(folder / "film.avi", 30000, report);  // the lock went with the first job
    EXPECT_TRUE(report.messages.empty());
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"film.001", "film.002", "film.003", "film.004", "film.005",
                                                         "film.006", "film.007", "film.008", "film.009", "film.010",
                                                         "film.avi", "film.bat", "film.mkv"}));
}

// Asks the job to stop when it reaches the given piece, or the given byte of the source.
class StoppingReport : public RecordingReport {
public:
    StoppingReport(std::int64_t piece, ByteCount byte) : piece_(piece), byte_(byte) {}
    void pieceStarted(std::int64_t number, const std::string& path) override
    {
        RecordingReport::pieceStarted(number, path);
        if (number == piece_)
            stop.request_stop();
    }
    void progressed(std::int64_t done, std::int64_t total) override
    {
        RecordingReport::progressed(done, total);
        if (done >= byte_)
            stop.request_stop();
    }
    std::stop_source stop;

private:
    std::int64_t piece_;
    ByteCount byte_;
};

// Every name in the folder with its bytes.
std::map<std::string, std::string> contentsOf(const TempFolder& folder)
{
    std::map<std::string, std::string> contents;
    for (const std::string& name : folder.names())
        contents[name] = readFile(folder / name);
    return contents;
}

TEST_F(Cutting, AStoppedJobLeavesTheFolderAsItWas)
{
    const std::string bytes = randomBytes(50 * 4096, 8);
    const struct {
        const char* what;
        std::int64_t piece;
        ByteCount byte;
    } stops[] = {{"between two pieces", 3, 1 << 30}, {"in the middle of a piece", 99, 5 * 4096 + 2048},
                 {"with the last byte, while the pieces go to the medium", 99, 50 * 4096}};
    for (const auto& s : stops) {
        for (const bool earlierSet : {false, true}) {
            SCOPED_TRACE(std::string(s.what) + (earlierSet ? ", over an earlier set" : ""));
            TempFolder here;
            writeFile(here / "film.avi", bytes);
            if (earlierSet)
                DateiZerlegen(here / "film.avi", 3000, report);  // pieces 001 to 069 and its script
            writeFile(here / "film.099", "ein Teil eines anderen Zerlegens");
            const auto before = contentsOf(here);
            StoppingReport stopping(s.piece, s.byte);
            DateiZerlegen(here / "film.avi", 4096, stopping, stopping.stop.get_token());
            EXPECT_TRUE(contentsOf(here) == before) << "names: " << ::testing::PrintToString(here.names());
            EXPECT_TRUE(stopping.messages.empty());
            EXPECT_EQ(stopping.ends, 1);
        }
    }
}

TEST(CuttingJoinedByCmd, EveryNameTheEngineTakesIsJoinedByteForByte)
{
    const struct {
        const char* name;
        std::size_t length;
        engine::ByteCount piece;
    } cases[] = {
        {"film.avi", 3000000, 1433600},
        {"mein film.avi", 5000, 2000},
        {"Größe", 5000, 2000},
        {"Grö ße+ä.avi", 70000, 30000},
        {"100% & mehr (neu).avi", 5000, 2000},
        {"100% sicher!.avi", 5000, 2000},
        {"Über ^&=;,`~'[]{}() +.avi", 5000, 2000},
        {"café crème.avi", 5000, 2000},
        {"viele.bin", 1100 * 7, 7},  // 1,100 pieces: more than cmd reads on one line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string bytes = randomBytes(c.length, 11);
        writeFile(folder / c.name, bytes);
        RecordingReport report;
        DateiZerlegen(folder / c.name, c.piece, report);
        ASSERT_TRUE(report.messages.empty()) << report.messages.front();
        removeFile(folder / c.name);

        const std::string stem = engine::BasisPfad(c.name);
        ASSERT_EQ(runBatchFile(folder.path(), stem + "bat").status, 0);
        EXPECT_TRUE(readFile(folder / c.name) == bytes);
    }
}

} // namespace
