#include "BlockKopieren.h"

#include <algorithm>
#include <vector>

namespace engine {

void BlockKopieren(runtime::ByteCount count, runtime::InputFile& source, runtime::NewFile& piece,
                   CopyProgress& progress)
{
    std::vector<std::byte> buffer(kBlockSize);
    for (runtime::ByteCount done = 0; done < count;) {
        const auto block = std::span(buffer).first(static_cast<std::size_t>(
            std::min<runtime::ByteCount>(count - done, kBlockSize)));
        source.readExactly(block);
        piece.write(block);
        done += static_cast<runtime::ByteCount>(block.size());
        progress.moved(static_cast<runtime::ByteCount>(block.size()));
    }
}

void copyPiece(runtime::ByteCount count, runtime::InputFile& source, runtime::NewFile& piece, CopyProgress& progress)
{
    constexpr runtime::ByteCount kLargePieceFrom = 2 * kBlockSize;
    if (count < kLargePieceFrom) {
        BlockKopieren(count, source, piece, progress);
        return;
    }
    // Where the piece can share the source's blocks it costs what making an empty file costs.
    if (runtime::shareInKernel(source, piece, count) == count) {
        progress.moved(count);
        return;
    }
    // Room is set aside only where bytes are really copied.
    piece.reserve(count);
    runtime::ByteCount copied = 0;
    while (copied < count) {
        const runtime::ByteCount run = std::min(count - copied, kKernelRun);
        const runtime::ByteCount moved = runtime::copyInKernel(source, piece, run);
        copied += moved;
        progress.moved(moved);
        if (moved < run)
            break;  // the kernel cannot, or no more: the block loop moves the rest
    }
    BlockKopieren(count - copied, source, piece, progress);
}

} // namespace engine
