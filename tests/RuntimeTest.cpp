#include "runtime/CodePage.h"
#include "runtime/FileError.h"
#include "runtime/InputFile.h"
#include "runtime/LeadingNumber.h"
#include "runtime/NumberText.h"
#include "runtime/Rounding.h"

#include "TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(LeadingNumber, ReadsTheNumberATextBeginsWith)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"1400", 1400},      {"1.5", 1.5},     {"0.5", 0.5},     {" 1400", 1400}, {"\t 7", 7},
        {"1400kB", 1400},    {"1400 kB", 1400}, {"1,5", 1},       {"", 0},         {"abc", 0},
        {"0", 0},            {"-5", -5},       {"0.0", 0},       {".5", 0.5},     {"5.", 5},
        {"+3", 3},           {"1e3", 1000},    {"2E-1", 0.2},    {"1e", 1},       {"1e+", 1},
        {"-", 0},            {".", 0},         {"- 5", 0},       {"1e-400", 0},   {"0.0001", 0.0001},
        {"12abc34", 12},     {"1.2.3", 1.2},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(runtime::leadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(runtime::leadingNumber("0." + std::string(400, '0') + "1"), 0.0);  // found by the fuzzer
    EXPECT_EQ(runtime::leadingNumber("1" + std::string(400, '0')), INFINITY);
    EXPECT_EQ(runtime::leadingNumber("0.001e-400"), 0.0);
    EXPECT_EQ(runtime::leadingNumber("1000e-10000000000000000000"), 0.0);
    EXPECT_EQ(runtime::leadingNumber("1e400"), INFINITY);
    EXPECT_EQ(runtime::leadingNumber("-1e400"), -INFINITY);
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour)
{
    const struct {
        double value;
        std::int64_t whole;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {0.4999, 0}, {0.5001, 1},
                 {1433600.0, 1433600}, {1536.0, 1536}, {9007199254740992.0, 9007199254740992}};
    for (const auto& c : cases)
        EXPECT_EQ(runtime::roundHalfEven(c.value), c.whole) << c.value;
    EXPECT_FALSE(runtime::roundHalfEven(9223372036854775808.0));
    EXPECT_FALSE(runtime::roundHalfEven(INFINITY));
    EXPECT_FALSE(runtime::roundHalfEven(NAN));
}

TEST(NumberText, WritesAtLeastThreeDigitsAndGroupsThousands)
{
    EXPECT_EQ(runtime::threeDigitText(1), "001");
    EXPECT_EQ(runtime::threeDigitText(42), "042");
    EXPECT_EQ(runtime::threeDigitText(999), "999");
    EXPECT_EQ(runtime::threeDigitText(1000), "1000");
    EXPECT_EQ(runtime::threeDigitText(32767), "32767");
    EXPECT_EQ(runtime::threeDigitText(40000), "40000");
    EXPECT_EQ(runtime::groupedNumber(0), "0");
    EXPECT_EQ(runtime::groupedNumber(999), "999");
    EXPECT_EQ(runtime::groupedNumber(1000), "1.000");
    EXPECT_EQ(runtime::groupedNumber(1234567), "1.234.567");
}

TEST(CodePage, WritesGermanLettersInCodePage850AndRefusesTheRest)
{
    const auto umlauts = runtime::toOemCodePage("Größe Äpfel Übel öß.avi");
    EXPECT_FALSE(umlauts.refused);
    EXPECT_EQ(umlauts.bytes, "Gr\x94\xE1" "e \x8Epfel \x9A" "bel \x94\xE1.avi");
#ifndef _WIN32  // code page 850 where no system names one; Windows uses its own
    EXPECT_EQ(runtime::toOemCodePage("é ñ ø ©").bytes, "\x82 \xA4 \x9B \xB8");
#endif

    const struct {
        const char* text;
        char32_t refused;
    } refusals[] = {{"Preis €.txt", U'€'}, {"Датa", U'Д'}, {"a\xFF" "b", 0xFFFD}, {"\xC3", 0xFFFD},
                    {"\xC0\x80", 0xFFFD}, {"\xED\xA0\x80", 0xFFFD}, {"🎬.avi", U'🎬'}};
    for (const auto& r : refusals)
        EXPECT_EQ(runtime::toOemCodePage(r.text).refused, r.refused) << r.text;
    EXPECT_EQ(runtime::utf8Character(U'€'), "€");
    EXPECT_EQ(runtime::utf8Character(U'🎬'), "🎬");
}

TEST(FileError, KeepsTheSystemsCodeAndSaysInGermanWhatFailedWhere)
{
    testsupport::TempFolder folder;
    const struct {
        const char* what;
        std::string path;
        std::error_code code;
    } cases[] = {
        {"a missing file", folder / "fehlt.avi", std::make_error_code(std::errc::no_such_file_or_directory)},
        {"a folder", folder.path(), runtime::FileProblem::NotARegularFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            runtime::InputFile source(c.path);
            ADD_FAILURE() << "opening it must fail";
        } catch (const runtime::FileError& error) {
            EXPECT_EQ(error.operation(), runtime::FileOperation::Open);
            EXPECT_EQ(error.path(), c.path);
            EXPECT_EQ(error.code().default_error_condition(), c.code.default_error_condition()) << error.what();
            EXPECT_TRUE(std::string(error.what()).starts_with("Die Datei „" + c.path + "“")) << error.what();
        }
    }
}

TEST(FileError, EveryReasonIsGermanWithTheSystemsNumber)
{
    const std::error_code unknown(-4711, std::system_category());
    EXPECT_EQ(runtime::reasonText(unknown), "Das System meldet einen Fehler, den Palvo nicht näher beschreiben kann "
                                            "(Fehler -4711).");
    const std::error_code denied = std::make_error_code(std::errc::permission_denied);
    EXPECT_EQ(runtime::reasonText(denied), "Der Zugriff wurde verweigert (Fehler " + std::to_string(denied.value()) + ").");
}

} // namespace
