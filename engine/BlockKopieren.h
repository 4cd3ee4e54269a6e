#pragma once

#include "CopyProgress.h"
#include "runtime/Folder.h"
#include "runtime/InputFile.h"
#include "runtime/KernelCopy.h"

namespace engine {

inline constexpr std::size_t kBlockSize = 32768;

// The most the kernel copies in one go: between two such runs a job reports how far it is
// and stops when asked, even in a piece of gigabytes.
inline constexpr runtime::ByteCount kKernelRun = 64 << 20;

// Moves count bytes from the source's read position to the piece's write position, block by
// block; the bytes travel through one buffer, never a whole piece in memory.
void BlockKopieren(runtime::ByteCount count, runtime::InputFile& source, runtime::NewFile& piece,
                   CopyProgress& progress);

// Moves count bytes from the source's read position to the start of a new piece. A large piece
// shares the source's blocks where the medium can (XFS, btrfs); elsewhere it has its room set
// aside (finding it block by block costs more than the copy itself) and goes by the kernel's
// in-file copy as far as that serves, the rest with BlockKopieren. Small pieces go by
// BlockKopieren alone: for them the kernel's calls cost more to set up than they save.
void copyPiece(runtime::ByteCount count, runtime::InputFile& source, runtime::NewFile& piece, CopyProgress& progress);

} // namespace engine
