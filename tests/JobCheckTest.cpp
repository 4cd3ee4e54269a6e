#include "engine/DateiZerlegen.h"
#include "runtime/Path.h"

#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

fs::path at(const TempFolder& folder, const std::string& name) { return runtime::toFsPath(folder / name); }

// What a case needs of the system beyond files and folders.
enum class Needs { Nothing, SymbolicLinks, NamesWindowsForbids };

struct Refusal {
    const char* what;
    const char* source;
    std::size_t length;
    void (*prepare)(const TempFolder&);
    const char* message;  // a part of the message the user sees
    Needs needs = Needs::Nothing;
};

bool possibleHere(Needs needs)
{
#ifdef _WIN32
    const bool windows = true;
#else
    const bool windows = false;
#endif
    return needs == Needs::Nothing || (needs == Needs::SymbolicLinks && symbolicLinksPossible()) ||
           (needs == Needs::NamesWindowsForbids && !windows);
}

void nothing(const TempFolder&) {}

TEST(JobCheck, RefusesBeforeWritingAnything)
{
    const Refusal refusals[] = {
        {"source named like its first piece", "film.001", 300, nothing, "trägt den Namen eines ihrer eigenen Teile"},
        {"source named like its third piece", "film.003", 300, nothing, "trägt den Namen eines ihrer eigenen Teile"},
        {"a piece of an earlier set, chosen by mistake", "film.012", 300,
         [](const TempFolder& f) { writeFile(f / "film.001", "x"); writeFile(f / "film.bat", "copy /b film.001 film.avi\r\n"); },
         "ist dem Namen nach selbst ein Teil"},
        {"a batch file of the user's under the script's name", "install.exe", 300,
         [](const TempFolder& f) { writeFile(f / "install.bat", "@echo off\r\necho Bitte warten ...\r\n"); },
         "install.bat“ ist keine Batch-Datei von Palvo zu diesen Teilen"},
        {"a script of other pieces", "film.avi", 300,
         [](const TempFolder& f) { writeFile(f / "film.bat", "copy /b alt.001 + alt.002 film.avi\r\n"); },
         "film.bat“ ist keine Batch-Datei von Palvo"},
        {"a script of Palvo's that does not say for which file", "film.avi", 300,
         [](const TempFolder& f) { writeFile(f / "film.bat", "@echo off\r\nrem Von Palvo geschrieben\r\n"); },
         "film.bat“ beginnt wie eine Batch-Datei von Palvo, doch es lässt sich nicht erkennen"},
        {"a file that begins as Palvo's script, far larger than one", "film.avi", 300,
         [](const TempFolder& f) { writeFile(f / "film.bat", "copy /b film.001 film.avi\r\n" + std::string(1 << 20, 'x')); },
         "film.bat“ ist viel größer als eine Batch-Datei"},
        {"a script's name that cannot be read", "film.avi", 300,
         [](const TempFolder& f) { fs::create_symlink("woanders.bat", at(f, "film.bat")); },
         "film.bat“ lässt sich nicht lesen", Needs::SymbolicLinks},
        {"source that is the script", "film.bat", 300, nothing, "hat die Endung „.bat“"},
        {"script in other letters", "FILM.Bat", 300, nothing, "hat die Endung „.bat“"},
        {"a link to the piece that holds the data", "link.avi", 300,
         [](const TempFolder& f) { fs::rename(at(f, "link.avi"), at(f, "link.002"));
                                   fs::create_symlink("link.002", at(f, "link.avi")); },
         "ist dieselbe Datei wie ihr Teil „link.002“", Needs::SymbolicLinks},
        {"a second name of the source under a piece's", "film.avi", 300,
         [](const TempFolder& f) { fs::create_hard_link(at(f, "film.avi"), at(f, "film.003")); },
         "ist dieselbe Datei wie ihr Teil „film.003“"},
        {"chosen under a piece's name, a link to elsewhere", "film.001", 300,
         [](const TempFolder& f) { fs::create_directory(at(f, "e"));
                                   fs::rename(at(f, "film.001"), at(f, "e") / "daten");
                                   fs::create_symlink(fs::path("e") / "daten", at(f, "film.001")); },
         "trägt den Namen eines ihrer eigenen Teile", Needs::SymbolicLinks},
        {"a device's name", "con.avi", 300, nothing, "ist unter Windows dem Gerät „CON“ vorbehalten",
         Needs::NamesWindowsForbids},
        {"a device's name before the first of two dots", "Nul.tar.gz", 300, nothing, "dem Gerät „NUL“ vorbehalten",
         Needs::NamesWindowsForbids},
        {"a port's name", "com7 .avi", 300, nothing, "dem Gerät „COM7“ vorbehalten", Needs::NamesWindowsForbids},
        {"a port's name with a raised number", "lpt³.avi", 300, nothing, "dem Gerät „LPT³“ vorbehalten",
         Needs::NamesWindowsForbids},
        {"the console's input", "CONIN$.avi", 300, nothing, "dem Gerät „CONIN$“ vorbehalten", Needs::NamesWindowsForbids},
        {"a dot at the end", "x.", 300, nothing, "endet mit einem Punkt oder Leerzeichen", Needs::NamesWindowsForbids},
        {"dots alone", "...", 300, nothing, "endet mit einem Punkt oder Leerzeichen", Needs::NamesWindowsForbids},
        {"the script's name with a blank after it", "film.bat ", 300, nothing, "endet mit einem Punkt oder Leerzeichen",
         Needs::NamesWindowsForbids},
        {"folder named like a piece", "film.avi", 300, [](const TempFolder& f) { fs::create_directory(at(f, "film.002")); },
         "Unterordner namens „film.002“"},
        {"folder named like the script", "film.avi", 300, [](const TempFolder& f) { fs::create_directory(at(f, "film.bat")); },
         "Unterordner namens „film.bat“"},
        {"colon in the name", "film:1.avi", 300, nothing, "das Zeichen „:“, das unter Windows", Needs::NamesWindowsForbids},
        {"newline in the name", "film\n1.avi", 300, nothing, "enthält ein Steuerzeichen (Nr. 10), das unter Windows",
         Needs::NamesWindowsForbids},
        {"backslash in the stem", "a\\b.c.avi", 300, nothing, "das Zeichen „\\“", Needs::NamesWindowsForbids},
        {"euro sign", "Preis €.avi", 300, nothing, "das Zeichen „€“, das die Batch-Datei"},
        {"cyrillic letters", "фильм.avi", 300, nothing, "das Zeichen „ф“"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        if (!possibleHere(r.needs))
            continue;
        TempFolder folder;
        writeFile(folder / r.source, randomBytes(r.length, 2));
        r.prepare(folder);
        expectRefusal(folder, r.source, 100, r.message);
    }
}

// Palvo's own scripts of earlier versions are earlier outputs, which a cut replaces: the copy
// command alone, and one with checks whose line a code page without "ü" cut short.
TEST(JobCheck, EarlierScriptsOfPalvoAreReplaced)
{
    for (const char* earlier : {"copy /b film.001 film.avi\r\n", "copy /b film.001 + film.002 film.avi\r\n",
                                "@echo off\r\nrem Von Palvo geschrieben: setzt die Teile Byte fsetlocal EnableExtensions\r\n"
                                "if exist film.avi goto ZielDa\r\ncopy /b film.001 + film.002 + film.003 film.avi\r\n"}) {
        SCOPED_TRACE(earlier);
        TempFolder folder;
        writeFile(folder / "film.avi", randomBytes(300, 4));
        writeFile(folder / "film.bat", earlier);
        RecordingReport report;
        engine::DateiZerlegen(folder / "film.avi", 100, report);
        EXPECT_TRUE(report.messages.empty()) << report.messages.front();
        EXPECT_NE(readFile(folder / "film.bat"), earlier);
    }
}

// The pieces and batch file of another file (film.mkv, its source gone: they may be all that
// is left of it) bear the names a cut of film.avi writes. They are not its to replace.
TEST(JobCheck, TheSetOfAnotherFileIsNotReplaced)
{
    // As Palvo writes it now; a script with checks whose file of certutil's answers does not
    // name its target (one in "film.mkv.palvo"), so that only its copy command, after every
    // piece's checks, names it; and the copy command alone of the earliest versions.
    const struct {
        const char* what;
        std::string (*earlier)(const std::string& now);
    } scripts[] = {
        {"a script with checks", [](const std::string& now) { return now; }},
        {"a script with checks that names its file in its copy command only", [](const std::string& now) {
             const std::size_t line = now.find("set \"Ausgabe="), end = now.find("\r\n", line);
             return now.substr(0, line) + "set \"Ausgabe=film.mkv.palvo\\pruefsumme.txt\"" + now.substr(end); }},
        {"the copy command alone",
         [](const std::string&) { return std::string("copy /b film.001 + film.002 + film.003 film.mkv\r\n"); }},
    };
    for (const auto& earlier : scripts) {
        SCOPED_TRACE(earlier.what);
        TempFolder folder;
        cutFile(folder / "film.mkv", randomBytes(300, 5), 100);
        fs::remove(at(folder, "film.mkv"));
        writeFile(folder / "film.bat", earlier.earlier(readFile(folder / "film.bat")));
        const std::string script = readFile(folder / "film.bat"), first = readFile(folder / "film.001");
        writeFile(folder / "film.avi", randomBytes(200, 6));
        expectRefusal(folder, "film.avi", 100, "ist die Batch-Datei zu Teilen einer anderen Datei als „film.avi“");
        EXPECT_TRUE(readFile(folder / "film.bat") == script);
        EXPECT_TRUE(readFile(folder / "film.001") == first);
    }
}

TEST(JobCheck, ASourceNamedLikeAPieceBeyondTheLastIsCut)
{
    TempFolder folder;
    const std::string bytes = randomBytes(300, 3);
    writeFile(folder / "film.004", bytes);
    RecordingReport report;
    engine::DateiZerlegen(folder / "film.004", 100, report);
    EXPECT_TRUE(report.messages.empty());
    EXPECT_EQ(joinedPieces(folder / "film."), bytes.substr(0, 300) + bytes);  // 001-003, then the source
}

} // namespace
