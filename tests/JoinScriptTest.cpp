#include "CuttingPlan.h"
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
    EXPECT_EQ(copyLines("film.", 3, "film.avi"), "copy /b film.001 + film.002 + film.003 film.avi\r\n");
    EXPECT_EQ(copyLines("film.", 1, "film.avi"), "copy /b film.001 film.avi\r\n");
    EXPECT_EQ(copyLines("LIESMICH.", 2, "LIESMICH"), "copy /b LIESMICH.001 + LIESMICH.002 LIESMICH\r\n");
    EXPECT_NE(copyLines("film.", 1000, "film.avi", 20000).find(" + film.999 + film.1000 film.avi\r\n"), std::string::npos);
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
    EXPECT_EQ(copyLines("mein film.", 2, "mein film.avi"),
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
        const char* target;
        std::int64_t count;
        std::size_t limit;  // of the copy command's lines
    } cases[] = {{"film.avi", 1200, kCmdLineLimit}, {"mein film.avi", 5000, kCmdLineLimit},
                 {"Größe", 900, kCmdLineLimit},     {"a.b", 40, 30},
                 {"x", 2, 25}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target + std::to_string(c.count));
        const CuttingPlan plan = planCutting(c.target, 1000, c.count * 1000 - 1, '/');
        const std::string script = joinScript(plan, c.limit);
        std::istringstream lines(script);
        for (std::string line; std::getline(lines, line);) {
            // As cmd reads it, without the CR.
            EXPECT_LE(runtime::toOemCodePage(line).bytes.size() - 1, line.starts_with("copy ") ? c.limit : kCmdLineLimit);
        }
        // Its size is known in advance, for the check of free room: never too small, and at cmd's
        // own limit nearly exact.
        const std::size_t bytes = runtime::toOemCodePage(script).bytes.size();
        const std::uint64_t atMost = joinScriptBytesAtMost(plan, c.limit);
        EXPECT_GE(atMost, bytes);
        if (c.limit == kCmdLineLimit) {
            EXPECT_LE(atMost, bytes + bytes / 100 + 100);
        }

        const ReadScript read = readScript(script);
        EXPECT_EQ(read.target, c.target);
        ASSERT_EQ(read.pieces.size(), static_cast<std::size_t>(c.count));
        for (std::int64_t k = 1; k <= c.count; ++k)
            ASSERT_EQ(read.pieces[static_cast<std::size_t>(k - 1)], plan.pieceFileName(k));
    }
    EXPECT_EQ(copyLines("film.", 3, "film.avi", 40),
              "copy /b film.001 + film.002 film.avi\r\ncopy /b film.avi + film.003\r\n");
}

} // namespace
