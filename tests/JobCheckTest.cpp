#include "engine/DateiZerlegen.h"

#include "LinuxFaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace testsupport;

struct Refusal {
    const char* what;
    const char* source;
    std::size_t length;
    void (*prepare)(const TempFolder&);
    const char* message;  // a part of the message the user sees
};

void nothing(const TempFolder&) {}

TEST(JobCheck, RefusesBeforeWritingAnything)
{
    const Refusal refusals[] = {
        {"source named like its first piece", "film.001", 300, nothing, "trägt den Namen eines ihrer eigenen Teile"},
        {"source named like its third piece", "film.003", 300, nothing, "trägt den Namen eines ihrer eigenen Teile"},
        {"source that is the script", "film.bat", 300, nothing, "hat die Endung „.bat“"},
        {"script in other letters", "FILM.Bat", 300, nothing, "hat die Endung „.bat“"},
        {"link to a piece name", "link.avi", 300,
         [](const TempFolder& f) { ::rename((f / "link.avi").c_str(), (f / "link.001").c_str());
                                   ::symlink("link.001", (f / "link.avi").c_str()); },
         "trägt den Namen eines ihrer eigenen Teile"},
        {"folder named like a piece", "film.avi", 300, [](const TempFolder& f) { ::mkdir((f / "film.002").c_str(), 0755); },
         "Unterordner namens „film.002“"},
        {"folder named like the script", "film.avi", 300, [](const TempFolder& f) { ::mkdir((f / "film.bat").c_str(), 0755); },
         "Unterordner namens „film.bat“"},
        {"colon in the name", "film:1.avi", 300, nothing, "das Zeichen „:“, das unter Windows"},
        {"newline in the name", "film\n1.avi", 300, nothing, "enthält ein Steuerzeichen (Nr. 10), das unter Windows"},
        {"backslash in the stem", "a\\b.c.avi", 300, nothing, "das Zeichen „\\“"},
        {"euro sign", "Preis €.avi", 300, nothing, "das Zeichen „€“, das die Batch-Datei"},
        {"cyrillic letters", "фильм.avi", 300, nothing, "das Zeichen „ф“"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        TempFolder folder;
        writeFile(folder / r.source, randomBytes(r.length, 2));
        r.prepare(folder);
        EXPECT_TRUE(expectRefusal(folder, r.source, 100, r.message).busyChanges.empty());
    }
}

TEST(JobCheck, ASourceNamedLikeAPieceBeyondTheLastIsCut)
{
    TempFolder folder;
    const std::string bytes = randomBytes(300, 3);
    writeFile(folder / "film.004", bytes);
    RecordingServices services;
    engine::DateiZerlegen(folder / "film.004", 100, services);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(joinedPieces(folder / "film."), bytes.substr(0, 300) + bytes);  // 001-003, then the source
}

TEST(JobCheck, RefusesWhenThePiecesDoNotFitTheDisk)
{
    SmallDisk disk(1 << 20);
    const std::string bytes = randomBytes(600000, 8);
    writeFile(disk / "film.avi", bytes);
    RecordingServices services;
    engine::DateiZerlegen(disk / "film.avi", 100000, services);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].find("nicht genug Platz frei"), std::string::npos) << services.messages[0];
    EXPECT_FALSE(exists(disk / "film.001"));

    // Old pieces of an earlier job give their space back: a second job fits where they were.
    ::truncate((disk / "film.avi").c_str(), 400000);
    engine::DateiZerlegen(disk / "film.avi", 100000, services);
    writeFile(disk / "film.avi", randomBytes(400000, 9));
    services.messages.clear();
    engine::DateiZerlegen(disk / "film.avi", 100000, services);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(joinedPieces(disk / "film."), readFile(disk / "film.avi"));
}

} // namespace
