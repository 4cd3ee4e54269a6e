#include "JoinScript.h"
#include "PieceNaming.h"
#include "WindowsNames.h"

#include "runtime/CodePage.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace engine;
using testsupport::readScript;
using testsupport::ReadScript;

TEST(JoinScript, IsTheOneLineCopyCommandWhileItFits)
{
    EXPECT_EQ(joinScript("film.", 3, "film.avi"), "copy /b film.001 + film.002 + film.003 film.avi\r\n");
    EXPECT_EQ(joinScript("film.", 1, "film.avi"), "copy /b film.001 film.avi\r\n");
    EXPECT_EQ(joinScript("LIESMICH.", 2, "LIESMICH"), "copy /b LIESMICH.001 + LIESMICH.002 LIESMICH\r\n");
    EXPECT_NE(joinScript("film.", 1000, "film.avi", 20000).find(" + film.999 + film.1000 film.avi\r\n"), std::string::npos);
}

TEST(JoinScript, QuotesNamesThatCmdWouldSplitOrExpand)
{
    const struct {
        const char* name;
        const char* written;
    } cases[] = {{"film.avi", "film.avi"},           {"mein film.avi", "\"mein film.avi\""},
                 {"a+b.avi", "\"a+b.avi\""},         {"Tom & Jerry.avi", "\"Tom & Jerry.avi\""},
                 {"100%.avi", "100%%.avi"},          {"50% (alt).avi", "\"50%% (alt).avi\""},
                 {"Größe.avi", "Größe.avi"},         {"x^y=z;!'`~,[]{}.avi", "\"x^y=z;!'`~,[]{}.avi\""}};
    for (const auto& c : cases)
        EXPECT_EQ(cmdName(c.name), c.written) << c.name;
    EXPECT_EQ(joinScript("mein film.", 2, "mein film.avi"),
              "copy /b \"mein film.001\" + \"mein film.002\" \"mein film.avi\"\r\n");
}

TEST(JoinScript, NamesCharactersThatWindowsNamesCannotHold)
{
    for (const char* name : {"a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\nb", "a\tb"})
        EXPECT_EQ(windowsForbiddenCharacter(name), std::string_view(name)[1]) << name;
    for (const char* name : {"film.avi", "Größe & Co (1).avi", "100%.avi", ""})
        EXPECT_FALSE(windowsForbiddenCharacter(name)) << name;
}

TEST(JoinScript, SplitsLongCommandsIntoLinesCmdReadsWhole)
{
    const struct {
        const char* stem;
        std::int64_t count;
        const char* target;
        std::size_t limit;
    } cases[] = {{"film.", 1200, "film.avi", kCmdLineLimit},  {"mein film.", 5000, "mein film.avi", kCmdLineLimit},
                 {"Größe.", 900, "Größe", kCmdLineLimit},       {"a.", 40, "a.b", 30},
                 {"x.", 2, "y", 25}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stem + std::to_string(c.count));
        const std::string script = joinScript(c.stem, c.count, c.target, c.limit);
        std::istringstream lines(script);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(runtime::toOemCodePage(line).bytes.size() - 1, c.limit);  // as cmd reads it, without the CR
        // Its size is known in advance, for the check of free room: never too small, and at cmd's
        // own limit nearly exact.
        const std::size_t bytes = runtime::toOemCodePage(script).bytes.size();
        const auto oem = [](const std::string& name) { return runtime::toOemCodePage(cmdName(name)).bytes.size(); };
        const std::uint64_t atMost = joinScriptBytesAtMost(oem(pieceName(c.stem, 1)), c.count, oem(c.target), c.limit);
        EXPECT_GE(atMost, bytes);
        if (c.limit == kCmdLineLimit) {
            EXPECT_LE(atMost, bytes + bytes / 100 + 100);
        }

        const ReadScript read = readScript(script);
        EXPECT_EQ(read.target, c.target);
        ASSERT_EQ(read.pieces.size(), static_cast<std::size_t>(c.count));
        for (std::int64_t k = 1; k <= c.count; ++k)
            ASSERT_EQ(read.pieces[static_cast<std::size_t>(k - 1)], pieceName(c.stem, k));
    }
    EXPECT_EQ(joinScript("film.", 3, "film.avi", 40),
              "copy /b film.001 + film.002 film.avi\r\ncopy /b film.avi + film.003\r\n");
}

} // namespace
