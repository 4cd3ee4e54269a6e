#include "BlockKopieren.h"

#include "LinuxFaults.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace testsupport;
using CopyFunction = void (*)(runtime::ByteCount, runtime::InputFile&, runtime::NewFile&, engine::CopyProgress&);

// Copies the source in consecutive runs of the given lengths into one file each.
std::vector<std::string> copyRuns(CopyFunction copy, const std::string& source, const std::string& targetFolder,
                                  const std::vector<runtime::ByteCount>& runs)
{
    runtime::InputFile input(source);
    RecordingReport report;
    engine::CopyProgress progress(report, {}, input.length());
    const runtime::Folder folder(targetFolder + "/");
    std::vector<std::string> copies;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        runtime::NewFile target = folder.create("run" + std::to_string(i));
        copy(runs[i], input, target, progress);
        target.commit();
        copies.push_back(readFile(target.path()));
    }
    return copies;
}

TEST(BlockKopieren, KernelCopyAndBlockLoopGiveTheSameBytes)
{
    SKIP_UNLESS_ROOT();
    const std::vector<runtime::ByteCount> runs = {0, 1, 32767, 32768, 32769, 1433600, 1048576, 5};
    const std::string bytes = randomBytes(2600000, 12);
    TempFolder here;
    SmallDisk otherFileSystem(8 << 20);  // the kernel does not copy between these two
    writeFile(here / "quelle", bytes);
    writeFile(otherFileSystem / "quelle", bytes);

    const struct {
        const char* how;
        CopyFunction copy;
        std::string source;
    } ways[] = {{"blocks", engine::BlockKopieren, here / "quelle"},
                {"kernel", engine::copyPiece, here / "quelle"},
                {"kernel across file systems", engine::copyPiece, otherFileSystem / "quelle"}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        TempFolder target;
        const auto copies = copyRuns(way.copy, way.source, target.path(), runs);
        std::size_t offset = 0;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(copies[i], bytes.substr(offset, static_cast<std::size_t>(runs[i]))) << "run " << i;
            offset += static_cast<std::size_t>(runs[i]);
        }
    }
}

TEST(BlockKopieren, RoomSetAsideIsTakenButTheLengthIsWhatWasWritten)
{
    SKIP_UNLESS_ROOT();
    SmallDisk disk(8 << 20);
    const struct {
        runtime::ByteCount reserved;
        runtime::ByteCount atLeastAllocated;  // a reservation the medium cannot take is no failure
    } cases[] = {{4 << 20, 4 << 20}, {64 << 20, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reserved);
        const runtime::Folder folder(disk.path() + "/");
        runtime::NewFile piece = folder.create("stueck");
        piece.reserve(c.reserved);
        EXPECT_GE(folder.lookUp("stueck").allocatedBytes, c.atLeastAllocated);
        piece.write(std::as_bytes(std::span("abc", 3)));
        piece.commit();
        EXPECT_EQ(readFile(disk / "stueck"), "abc");
        folder.remove("stueck");
    }
}

} // namespace
