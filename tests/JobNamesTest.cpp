#include "JobNames.h"

#include <gtest/gtest.h>

namespace {

using namespace engine;

// The hidden names stay what earlier versions made them: what a killed job of one left goes
// with the next job of another, and their locks keep each other out. Folded as the medium
// folds names, so that two names it takes for one are one set of outputs.
TEST(JobNames, HiddenNamesAreTheSameInEveryVersion)
{
    const CuttingPlan plan = planCutting("/d/Größe.avi", 100, 1000, '/');
    runtime::Medium exact, folding;
    folding.ignoresCase = true;
    const struct {
        const runtime::Medium& medium;
        const char* prefix;
    } cases[] = {{exact, ".palvo-4b5b5633e05497bc"}, {folding, ".palvo-cdb97d2741ea939c"}};
    for (const auto& c : cases) {
        const JobNames names(plan, c.medium);
        const std::string prefix = c.prefix;
        EXPECT_EQ(names.lock(), prefix + ".lock");
        EXPECT_EQ(names.scriptBeingWritten(), prefix + ".tmp");
        EXPECT_EQ(names.oldScriptLeaving(), prefix + ".alt");
        EXPECT_EQ(names.stagedPiece(7), prefix + ".007");
        EXPECT_EQ(names.stagedPiece(1000), prefix + ".1000");
    }
    EXPECT_EQ(JobNames(planCutting("/d/GRÖßE.mkv", 100, 1000, '/'), folding).lock(), JobNames(plan, folding).lock());
}

TEST(JobNames, TellsWhichOutputANameIs)
{
    runtime::Medium exact, folding;
    folding.ignoresCase = true;
    const CuttingPlan plan = planCutting("/d/film.avi", 100, 1000, '/');  // ten pieces
    const struct {
        const char* name;
        std::optional<std::int64_t> exactly, folded;
    } cases[] = {{"film.001", 1, 1},          {"film.010", 10, 10},         {"film.011", std::nullopt, std::nullopt},
                 {"FILM.002", std::nullopt, 2}, {"film.bat", 0, 0},          {"Film.BAT", std::nullopt, 0},
                 {"film.0001", std::nullopt, std::nullopt}, {"film.avi", std::nullopt, std::nullopt},
                 {"xfilm.001", std::nullopt, std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(JobNames(plan, exact).outputNumber(c.name), c.exactly) << c.name;
        EXPECT_EQ(JobNames(plan, folding).outputNumber(c.name), c.folded) << c.name;
    }
    for (const char* source : {"x.bat", "x.BAT", "x.Bat"})
        EXPECT_TRUE(JobNames::hasScriptSuffix(source)) << source;
    for (const char* source : {"x.bats", "bat", "x.ba"})
        EXPECT_FALSE(JobNames::hasScriptSuffix(source)) << source;
}

TEST(JobNames, RecognisesOnlyThePieceNamesItWrites)
{
    const struct {
        const char* name;
        std::int64_t number;
    } cases[] = {{"film.001", 1},   {"film.042", 42}, {"film.1000", 1000}, {"film.0001", 0}, {"film.01", 0},
                 {"film.000", 0},   {"film.bat", 0},  {"film.", 0},        {"xfilm.001", 0}, {"film.001a", 0},
                 {"film.99999999999999999999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(JobNames::pieceNumberOf(c.name, "film."), c.number) << c.name;
}

} // namespace
