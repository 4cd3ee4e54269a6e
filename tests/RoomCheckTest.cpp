#include "RoomCheck.h"

#include <gtest/gtest.h>

namespace {

using namespace engine;
constexpr ByteCount KiB = 1024, MiB = 1024 * KiB;

struct OldPiece {
    std::int64_t number;
    ByteCount bytes;
};

FolderContents contentsWith(const std::vector<OldPiece>& pieces, std::size_t entryCount)
{
    FolderContents contents;
    contents.entryCount = entryCount;
    for (const OldPiece& piece : pieces)
        contents.outputs.push_back({"", piece.number, {runtime::EntryKind::File, piece.bytes, 1, {}}});
    return contents;
}

runtime::Medium withRoom(std::uint64_t bytes, ByteCount unit = 4 * KiB)
{
    runtime::Medium medium;
    medium.availableBytes = bytes;
    medium.allocationUnit = unit;
    return medium;
}

runtime::Medium withFileSlots(std::uint64_t slots)
{
    runtime::Medium medium;
    medium.freeFileSlots = slots;
    return medium;
}

runtime::Medium withFolderLimit(std::uint64_t entries)
{
    runtime::Medium medium;
    medium.entriesPerFolder = entries;
    return medium;
}

TEST(RoomCheck, CountsRoomAsTheJobTakesAndFreesItInUnitsOfTheMedium)
{
    const struct {
        const char* what;
        ByteCount source, piece;
        std::vector<OldPiece> old;
        runtime::Medium medium;
        const char* refusal;  // a part of it; nullptr: the job fits
    } cases[] = {
        // Three pieces, the script, and the folder's growth for their names.
        {"exactly the room", 3 * 4 * KiB, 4 * KiB, {}, withRoom(20 * KiB), nullptr},
        {"a byte short", 3 * 4 * KiB, 4 * KiB, {}, withRoom(20 * KiB - 1), "nicht genug Platz frei"},
        {"the folder grows with a thousand names", 1000, 1, {}, withRoom(1010 * KiB, KiB), "nicht genug Platz frei"},
        {"old pieces come free as the new ones come", 8 * MiB, 3 * MiB, {{1, 3 * MiB}, {2, 3 * MiB}, {3, 2 * MiB}},
         withRoom(1 * MiB), nullptr},
        {"an old piece comes free only when its new one is written", 8 * MiB, 7 * MiB,
         {{1, 3 * MiB}, {2, 3 * MiB}, {3, 2 * MiB}}, withRoom(3 * MiB), "bis zu 4.198.400 Bytes gebraucht, frei sind 3.145.728"},
        {"a byte a piece takes a cluster of 32 KiB", 130, 1, {}, withRoom(4 * MiB, 32 * KiB),
         "nicht genug Platz frei"},
        {"a byte a piece takes a block of 4 KiB", 130, 1, {}, withRoom(4 * MiB, 4 * KiB),
         nullptr},
        {"a medium that tells no size", 100 * MiB, 1, {}, runtime::Medium(), nullptr},
        {"too few file slots", 200, 1, {}, withFileSlots(100), "können nur noch 100 Dateien"},
        {"old pieces keep their slots", 200, 1, {{1, 4 * KiB}, {150, 4 * KiB}}, withFileSlots(199), nullptr},
        {"more names than a FAT folder holds", 65530, 1, {}, withFolderLimit(65534), "höchstens 65.534 Einträge"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CuttingPlan plan = planCutting("/d/film.avi", c.piece, c.source, '/');
        const auto refusal = roomShortfall(plan, contentsWith(c.old, 10), c.medium, "/d/", 100);
        if (c.refusal == nullptr) {
            EXPECT_FALSE(refusal) << *refusal;
        } else {
            ASSERT_TRUE(refusal);
            EXPECT_NE(refusal->find(c.refusal), std::string::npos) << *refusal;
        }
    }
}

} // namespace
