#include "engine/DateiZerlegen.h"
#include "engine/PieceNaming.h"
#include "runtime/FileError.h"

#include "LinuxFaults.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace testsupport;
using engine::DateiZerlegen;

class Cutting : public ::testing::Test {
protected:
    std::string source(const std::string& name, const std::string& bytes)
    {
        writeFile(folder / name, bytes);
        return folder / name;
    }

    TempFolder folder;
    RecordingServices services;
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
            DateiZerlegen(here / "film.avi", p, services);

            const std::size_t count = static_cast<std::size_t>((l + p - 1) / p);
            EXPECT_EQ(here.names().size(), count + 2);
            EXPECT_EQ(joinedPieces(here / "film."), bytes);
            for (std::int64_t k = 1; k < static_cast<std::int64_t>(count); ++k)
                EXPECT_EQ(readFile(here / engine::pieceName("film.", k)).size(), static_cast<std::size_t>(p));
            const ReadScript script = readScript(readFile(here / "film.bat"));
            EXPECT_EQ(script.target, "film.avi");
            ASSERT_EQ(script.pieces.size(), count);
            EXPECT_EQ(script.pieces.back(), engine::pieceName("film.", static_cast<std::int64_t>(count)));
        }
    }
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Cutting, PiecesAndScriptAreNamedAfterTheSource)
{
    const struct {
        const char* source;
        const char* script;
        const char* line;
    } cases[] = {
        {"film.avi", "film.bat", "copy /b film.001 + film.002 film.avi\r\n"},
        {"LIESMICH", "LIESMICH.bat", "copy /b LIESMICH.001 + LIESMICH.002 LIESMICH\r\n"},
        {"archiv.tar.gz", "archiv.tar.bat", "copy /b archiv.tar.001 + archiv.tar.002 archiv.tar.gz\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        TempFolder here;
        ASSERT_EQ(here.path().find('.'), std::string::npos) << "no dot anywhere in the path";
        const std::string bytes = randomBytes(150);
        writeFile(here / c.source, bytes);
        DateiZerlegen(here / c.source, 100, services);
        EXPECT_EQ(readFile(here / c.script), c.line);
        EXPECT_EQ(joinedPieces(here / engine::BasisPfad(c.source)), bytes);
    }
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Cutting, ShowsProgressForEachPieceAndLeavesTheWindowIdle)
{
    DateiZerlegen(source("film.avi", randomBytes(25)), 10, services);
    EXPECT_EQ(services.progressTexts, (std::vector<std::string>{"Kopiere Daten nach " + folder / "film.001",
                                                                "Kopiere Daten nach " + folder / "film.002",
                                                                "Kopiere Daten nach " + folder / "film.003", ""}));
    EXPECT_EQ(services.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(services.repaints, 4);
    EXPECT_EQ(readFile(folder / "film.bat"), "copy /b film.001 + film.002 + film.003 film.avi\r\n");
}

TEST_F(Cutting, ASourceShorterThanAPieceIsLeftAlone)
{
    for (const std::size_t length : {0, 1, 99}) {
        TempFolder here;
        writeFile(here / "film.avi", randomBytes(length));
        DateiZerlegen(here / "film.avi", 100, services);
        EXPECT_EQ(here.names(), std::vector<std::string>{"film.avi"});
    }
    EXPECT_EQ(services.messages, std::vector<std::string>(3, engine::kSourceTooSmall));
    EXPECT_TRUE(services.busyChanges.empty());
}

TEST_F(Cutting, ReplacesOldPiecesLinksAndHiddenFilesWithExactlyTheNewBytes)
{
    const std::string other = randomBytes(500, 7);
    writeFile(folder / "anderes.bin", other);
    writeFile(folder / "film.001", randomBytes(1000, 3));  // longer than the new piece
    ::symlink((folder / "anderes.bin").c_str(), (folder / "film.002").c_str());
    writeFile(folder / "film.bat", "copy /b alt.001 film.avi\r\n");
    ::chmod((folder / "film.001").c_str(), 0444);
    const std::string bytes = randomBytes(250, 9);
    DateiZerlegen(source("film.avi", bytes), 100, services);

    EXPECT_EQ(readFile(folder / "film.001"), bytes.substr(0, 100));
    EXPECT_EQ(readFile(folder / "film.002"), bytes.substr(100, 100));
    EXPECT_EQ(readFile(folder / "anderes.bin"), other) << "never written through a link";
    EXPECT_EQ(readFile(folder / "film.bat"), "copy /b film.001 + film.002 + film.003 film.avi\r\n");
}

TEST_F(Cutting, AHardLinkUnderAPieceNameLeavesTheSourceIntact)
{
    const std::string bytes = randomBytes(300, 4);
    const std::string path = source("film.avi", bytes);
    ::link(path.c_str(), (folder / "film.002").c_str());
    DateiZerlegen(path, 100, services);
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(joinedPieces(folder / "film."), bytes);
}

TEST(CuttingLargeFiles, SourcesOver4GiBAndPiecesOver2GiB)
{
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

    RecordingServices services;
    DateiZerlegen(path, piece, services);
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
    EXPECT_EQ(readFile(folder / "gross.bat"), "copy /b gross.001 + gross.002 + gross.003 gross.img\r\n");
}

TEST(CuttingJoinedByCmd, WineCmdRebuildsTheSourceByteForByte)
{
    const struct {
        const char* name;
        std::size_t length;
        engine::ByteCount piece;
    } cases[] = {
        {"film.avi", 3000000, 1433600},
        {"Grö ße+ä.avi", 70000, 30000},
        {"100% & mehr (neu).avi", 5000, 2000},
        {"viele.bin", 1100 * 7, 7},  // 1,100 pieces: more than cmd reads on one line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string bytes = randomBytes(c.length, 11);
        writeFile(folder / c.name, bytes);
        RecordingServices services;
        DateiZerlegen(folder / c.name, c.piece, services);
        ::unlink((folder / c.name).c_str());

        const std::string stem = engine::BasisPfad(c.name);
        ASSERT_EQ(runBatchFile(folder.path(), stem + "bat"), 0);
        EXPECT_EQ(readFile(folder / c.name), bytes);
    }
}

} // namespace
