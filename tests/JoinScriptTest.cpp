#include "CuttingPlan.h"
#include "JoinScript.h"
#include "PieceNaming.h"
#include "WindowsNames.h"

#include "runtime/CodePage.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
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
                 {"x", 2, 31}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target + std::to_string(c.count));
        const CuttingPlan plan = planCutting(c.target, 1000, c.count * 1000 - 1, '/');
        const std::string script =
            joinScript(plan, 850, std::vector<Digest>(static_cast<std::size_t>(c.count)), Digest{}, c.limit);
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
        EXPECT_EQ(read.target, unfinishedName(c.target));
        ASSERT_EQ(read.pieces.size(), static_cast<std::size_t>(c.count));
        for (std::int64_t k = 1; k <= c.count; ++k)
            ASSERT_EQ(read.pieces[static_cast<std::size_t>(k - 1)], plan.pieceFileName(k));
    }
    EXPECT_EQ(copyLines("film.", 3, "film.avi", 40),
              "copy /b film.001 + film.002 film.avi\r\ncopy /b film.avi + film.003\r\n");
}

// The script for a three-piece cut, as it stands in tests/golden/film.bat (with LF for CR LF):
// a change of the batch program shows there in a diff.
TEST(JoinScript, IsTheGoldenCopyForAThreePieceCut)
{
    const CuttingPlan plan = planCutting("film.avi", 1433600, 3000000, '/');
    std::vector<Digest> pieces(3);
    for (std::size_t k = 0; k < pieces.size(); ++k)
        pieces[k].fill(std::byte(0x11 * (k + 1)));
    Digest whole;
    whole.fill(std::byte{0xAB});
    const std::string script = joinScript(plan, 850, pieces, whole);
    std::string golden;
    for (std::size_t at = 0; at < script.size(); ++at) {
        if (script[at] == '\n') {
            EXPECT_EQ(script[at - 1], '\r') << "a line ends in CR LF, at " << at;
        }
        if (script[at] != '\r')
            golden += script[at];
    }
    std::ifstream file(PALVO_GOLDEN_DIR "/film.bat", std::ios::binary);
    ASSERT_TRUE(file) << PALVO_GOLDEN_DIR "/film.bat";
    std::ostringstream expected;
    expected << file.rdbuf();
    EXPECT_EQ(golden, expected.str());
}

// cmd reads each line in the console's code page of that moment: until the script knows it is
// read in its own, it holds nothing but ASCII, and where a name holds more, it checks with each
// of those characters once. Its own umlauts are never followed by what cmd reads as an operator,
// which a lead byte of a double-byte code page would swallow.
TEST(JoinScript, ReadsOnlyAsciiUntilItKnowsItsCodePage)
{
    const struct {
        const char* source;
        const char* probe;  // the characters beyond ASCII, each once
    } cases[] = {{"film.avi", ""}, {"Urlaub.Größe", "öß"}, {"mäh.äü", "äü"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const CuttingPlan plan = planCutting(c.source, 10, 25, '/');
        std::string script, own;
        const JoinScriptWriter writer(plan, 850, [&](std::string_view text, ScriptText kind) {
            script += text;
            if (kind == ScriptText::Own)
                own += text;
            else
                own += '_';
        });
        writer.begin();
        writer.piece(1, Digest{}), writer.piece(2, Digest{}), writer.piece(3, Digest{});
        writer.end(Digest{});

        std::string probe;
        for (const char* p = c.probe; *p;) {
            const std::size_t length = (static_cast<unsigned char>(*p) & 0xE0) == 0xC0 ? 2 : 1;
            probe += std::string(p, length) + "x";
            p += length;
        }
        const std::size_t probeAt = script.find("set \"Probe=");
        EXPECT_EQ(probeAt == std::string::npos, probe.empty());
        if (!probe.empty()) {
            const std::string line = "set \"Probe=" + probe + "\"\r\n";
        EXPECT_EQ(script.substr(probeAt, line.size()), line);
        }
        const auto isAscii = [](std::string_view text) {
            return std::all_of(text.begin(), text.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
        };
        EXPECT_TRUE(isAscii(script.substr(0, std::min(probeAt, script.find("pushd")))));
        // What runs where the code page is not known or wrong.
        for (const char* label : {":CodepageLesen\r\n", ":FremdeCodepage\r\n", ":Zurueck\r\n"}) {
            const std::size_t at = script.find(label);
            ASSERT_NE(at, std::string::npos) << label;
            EXPECT_TRUE(isAscii(script.substr(at, script.find("\r\n\r\n", at) - at))) << label;
        }
        for (std::size_t at = 0; (at = own.find_first_of("\xC3", at)) != std::string::npos; at += 2)
            EXPECT_EQ(std::string_view("&|<>^%()\"").find(own[at + 2]), std::string_view::npos) << own.substr(at, 20);
    }
}

} // namespace
