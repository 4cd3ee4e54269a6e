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
        {"source that is the script", "film.bat", 300, nothing, "hat die Endung „.bat“"},
        {"script in other letters", "FILM.Bat", 300, nothing, "hat die Endung „.bat“"},
        {"link to a piece name", "link.avi", 300,
         [](const TempFolder& f) { fs::rename(at(f, "link.avi"), at(f, "link.001"));
                                   fs::create_symlink("link.001", at(f, "link.avi")); },
         "trägt den Namen eines ihrer eigenen Teile", Needs::SymbolicLinks},
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
