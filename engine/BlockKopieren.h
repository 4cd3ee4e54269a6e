#pragma once

#include "runtime/Files.h"

namespace engine {

inline constexpr std::size_t kBlockSize = 32768;

// Moves count bytes from the source's read position to the piece's write position, block by
// block; the bytes travel through one buffer, never a whole piece in memory.
void BlockKopieren(runtime::ByteCount count, runtime::InputFile& source, runtime::NewFile& piece);

// Moves count bytes from the source's read position to the piece's write position: by the
// kernel's in-file copy as far as it serves, the rest with BlockKopieren. Small pieces go by
// BlockKopieren alone: for them the kernel's copy costs more to set up than it saves.
void copyPiece(runtime::ByteCount count, runtime::InputFile& source, runtime::NewFile& piece);

} // namespace engine
