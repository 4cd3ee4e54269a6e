#include "BlockKopieren.h"

#include <algorithm>
#include <vector>

namespace engine {

void BlockKopieren(runtime::ByteCount count, runtime::InputFile& source, runtime::NewFile& piece)
{
    std::vector<std::byte> buffer(kBlockSize);
    for (runtime::ByteCount done = 0; done < count;) {
        const auto block = std::span(buffer).first(static_cast<std::size_t>(
            std::min<runtime::ByteCount>(count - done, kBlockSize)));
        source.readExactly(block);
        piece.write(block);
        done += static_cast<runtime::ByteCount>(block.size());
    }
}

void copyPiece(runtime::ByteCount count, runtime::InputFile& source, runtime::NewFile& piece)
{
    constexpr runtime::ByteCount kLargePieceFrom = 2 * kBlockSize;
    if (count < kLargePieceFrom) {
        BlockKopieren(count, source, piece);
        return;
    }
    piece.reserve(count);
    const runtime::ByteCount copied = runtime::copyInKernel(source, piece, count);
    BlockKopieren(count - copied, source, piece);
}

} // namespace engine
