// What only the Windows build can show: wide-character names end to end, the join script in
// the system's OEM code page run by cmd, and a file system that ignores letter case. The
// suites shared with Linux run here too.
#include "JoinScript.h"
#include "engine/DateiZerlegen.h"
#include "runtime/Medium.h"
#include "runtime/Path.h"
#include "runtime/WideText.h"

#include "TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
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

// The medium's keys, which name a job's lock, fold names as its comparison does, and as the
// system's table does that the file systems follow: two names the medium takes for one are one
// set of outputs with one lock. Windows' invariant capitals take ı for I, its table does not.
TEST(Windows, KeysAndComparisonFoldNamesAsTheFileSystemDoes)
{
    runtime::Medium medium;
    medium.ignoresCase = true;
    const std::pair<const char*, const char*> pairs[] = {
        {"ärger.avi", "ÄRGER.AVI"}, {"ı.avi", "I.avi"}, {"ſ.avi", "S.avi"}, {"ǆ.avi", "Ǆ.avi"}, {"µ.avi", "Μ.avi"}};
    for (const auto& [a, b] : pairs) {
        SCOPED_TRACE(std::string(a) + " " + b);
        const std::wstring wideA = runtime::widen(a), wideB = runtime::widen(b);
        const bool system = ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                                   static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
        EXPECT_EQ(medium.sameName(a, b), system);
        EXPECT_EQ(medium.nameKey(a) == medium.nameKey(b), system);
    }
}

// The script as a program reads it: decoded from the system's code page, its digests left out
// and its German spelt without umlauts, a line at a time.
std::vector<std::string> linesAsWritten(const std::string& script, UINT codePage)
{
    std::wstring wide(script.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, script.data(),
                                                               static_cast<int>(script.size()), wide.data(),
                                                               static_cast<int>(wide.size()))));
    std::string text = runtime::narrow(wide);
    text = std::regex_replace(text, std::regex("[0-9a-f]{32,64}"), "#");
    for (const auto& [letter, spelling] : {std::pair{"ä", "ae"}, {"ö", "oe"}, {"ü", "ue"}, {"Ä", "Ae"}, {"Ö", "Oe"},
                                           {"Ü", "Ue"}, {"ß", "ss"}})
        text = std::regex_replace(text, std::regex(letter), spelling);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A name in the letters of the system's code page.
std::string nameInCodePage(UINT codePage)
{
    switch (codePage) {
    case 866: return "Отпуск.avi";
    case 737: return "Ταινια.avi";
    case 932: return "映画.avi";
    case 936: return "电影.avi";
    default: return "Größe.avi";
    }
}

// Run by CTest once in each of several languages: the script is written in the system's code
// page, whole, names that code page's letters and joins them there; beside the original it
// leaves the original as it was, and with a piece missing it writes nothing.
TEST(WindowsCodePage, TheScriptIsWholeInTheSystemsCodePageAndJoinsThere)
{
    const char* const expected = std::getenv("PALVO_CODEPAGE");
    if (!expected)
        GTEST_SKIP() << "run by CTest in the language of each code page";
    const UINT codePage = ::GetOEMCP();
    ASSERT_EQ(std::to_string(codePage), expected) << "the language the run was started in";
    const std::string name = nameInCodePage(codePage), stem = name.substr(0, name.find('.') + 1);
    const std::string bytes = randomBytes(70000, 6);
    const struct {
        const char* what;
        bool originalBeside;
        bool pieceMissing;
    } rows[] = {{"the pieces alone", false, false}, {"beside the original", true, false}, {"a piece missing", false, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder folder;
        writeFile(folder / name, bytes);
        RecordingReport report;
        engine::DateiZerlegen(folder / name, 30000, report);
        ASSERT_TRUE(report.messages.empty()) << report.messages.front();
        const std::string script = readFile(folder / (stem + "bat"));
        EXPECT_NE(script.find("set \"Codepage=" + std::string(expected) + "\"\r\n"), std::string::npos);
        const engine::CuttingPlan plan = engine::planCutting(name, 30000, 70000, '\\');
        EXPECT_EQ(linesAsWritten(script, codePage),
                  linesAsWritten(engine::joinScript(plan, codePage, std::vector<engine::Digest>(3), {}), CP_UTF8));
        if (!row.originalBeside)
            removeFile(folder / name);
        if (row.pieceMissing)
            removeFile(folder / (stem + "002"));
        const auto names = folder.names();

        const Said said = runBatchFile(folder.path(), stem + "bat");
        const bool joins = !row.originalBeside && !row.pieceMissing;
        EXPECT_EQ(said.status, joins ? 0 : 1) << said.text;
        EXPECT_EQ(exists(folder / name), !row.pieceMissing);
        if (exists(folder / name)) {
            EXPECT_TRUE(readFile(folder / name) == bytes);
        }
        if (!joins) {
            EXPECT_EQ(folder.names(), names) << "nothing written";
        }
    }
}

} // namespace
