// What only the Windows build can show: wide-character names end to end, the join script in
// the system's OEM code page run by cmd, and a file system that ignores letter case.
#include "engine/DateiZerlegen.h"
#include "engine/PieceNaming.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace testsupport;

TEST(Windows, PiecesRebuildTheSourceInATemporaryFolder)
{
    const struct {
        engine::ByteCount length;
        engine::ByteCount piece;  // from 64 KiB on, a piece has its room set aside first
    } cases[] = {{1000, 1000}, {1001, 1000}, {2001, 1000}, {3000, 1000}, {65536 + 17, 1000}, {3 * 65536 + 17, 65536}};
    for (const auto& [length, piece] : cases) {
        SCOPED_TRACE(length);
        TempFolder folder;
        const std::string bytes = randomBytes(static_cast<std::size_t>(length), static_cast<unsigned>(length));
        writeFile(folder / "film.avi", bytes);
        RecordingServices services;
        engine::DateiZerlegen(folder / "film.avi", piece, services);
        EXPECT_TRUE(services.messages.empty());
        EXPECT_EQ(joinedPieces(folder / "film."), bytes);
        const ReadScript script = readScript(readFile(folder / "film.bat"));
        EXPECT_EQ(script.pieces.size(), static_cast<std::size_t>((length + piece - 1) / piece));
        EXPECT_EQ(services.progressTexts.front(), "Kopiere Daten nach " + folder / "film.001");
    }
}

TEST(Windows, CmdRebuildsANameWithUmlautsFromItsOemScript)
{
    TempFolder folder;
    const std::string name = "Größe Übung ä+ö.avi";
    const std::string bytes = randomBytes(70000, 3);
    writeFile(folder / name, bytes);
    RecordingServices services;
    engine::DateiZerlegen(folder / name, 30000, services);
    ASSERT_TRUE(services.messages.empty()) << services.messages.front();
    // ö, ß and Ü are the same bytes in code pages 437 and 850.
    EXPECT_NE(readFile(folder / "Größe Übung ä+ö.bat").find("Gr\x94\xE1" "e \x9A" "bung"), std::string::npos);

    removeFile(folder / name);
    ASSERT_EQ(runBatchFile(folder.path(), "Größe Übung ä+ö.bat"), 0);
    EXPECT_EQ(readFile(folder / name), bytes);
}

TEST(Windows, RefusesBeforeWritingAnything)
{
    const struct {
        const char* what;
        const char* source;
        const char* folderInTheWay;
        const char* message;
    } cases[] = {
        {"the script's name in capitals", "FILM.BAT", nullptr, "hat die Endung „.bat“"},
        {"the script's name in mixed letters", "Film.Bat", nullptr, "hat die Endung „.bat“"},
        {"named like its own piece", "film.002", nullptr, "trägt den Namen eines ihrer eigenen Teile"},
        {"a folder named like a piece", "film.avi", "FILM.002", "Unterordner namens „FILM.002“"},
        {"a character no OEM code page holds", "Preis €.avi", nullptr, "das Zeichen „€“"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        writeFile(folder / c.source, randomBytes(3000, 4));
        if (c.folderInTheWay)
            makeFolder(folder / c.folderInTheWay);
        expectRefusal(folder, c.source, 1000, c.message);
    }
}

} // namespace
