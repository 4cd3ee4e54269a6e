// What only the Windows build can show: wide-character names end to end, the join script in
// the system's OEM code page run by cmd, and a file system that ignores letter case. The
// suites shared with Linux run here too.
#include "engine/DateiZerlegen.h"
#include "runtime/Path.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using namespace testsupport;

TEST(Windows, CmdRebuildsANameWithUmlautsFromItsOemScript)
{
    TempFolder folder;
    const std::string name = "Größe Übung ä+ö.avi";
    const std::string bytes = randomBytes(70000, 3);
    writeFile(folder / name, bytes);
    RecordingReport report;
    engine::DateiZerlegen(folder / name, 30000, report);
    ASSERT_TRUE(report.messages.empty()) << report.messages.front();
    // ö, ß and Ü are the same bytes in code pages 437 and 850.
    EXPECT_NE(readFile(folder / "Größe Übung ä+ö.bat").find("Gr\x94\xE1" "e \x9A" "bung"), std::string::npos);

    removeFile(folder / name);
    ASSERT_EQ(runBatchFile(folder.path(), "Größe Übung ä+ö.bat").status, 0);
    EXPECT_EQ(readFile(folder / name), bytes);
}

TEST(Windows, NamesInTheWayAreFoundInAnyLetterCase)
{
    const struct {
        const char* source;
        const char* folderInTheWay;
    } cases[] = {{"film.avi", "FILM.002"}, {"ärger.avi", "ÄRGER.002"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folderInTheWay);
        TempFolder folder;
        writeFile(folder / c.source, randomBytes(3000, 4));
        makeFolder(folder / c.folderInTheWay);
        expectRefusal(folder, c.source, 1000, std::string("Unterordner namens „") + c.folderInTheWay + "“");
    }
}

TEST(Windows, AnOldPieceAnotherProgramHoldsOpenIsFoundBeforeAnythingIsWritten)
{
    TempFolder folder;
    writeFile(folder / "film.avi", randomBytes(3000, 5));
    writeFile(folder / "film.002", "alt");
    writeFile(folder / "film.bat", "copy /b film.001 + film.002 film.avi\r\n");
    // As an editor or a player holds a file: others may read it, but not remove it.
    const HANDLE held = ::CreateFileW(runtime::toFsPath(folder / "film.002").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    expectRefusal(folder, "film.avi", 1000, "film.002“ kann nicht ersetzt werden");
    ::CloseHandle(held);
}

} // namespace
