#pragma once

#include "runtime/InputFile.h"
#include "runtime/NativeFile.h"
#include "runtime/NewFile.h"

namespace runtime {

// Lets the kernel copy up to count bytes from the source's read position to the target's
// write position, both advancing, without the bytes passing through this process. Returns how
// many it copied: fewer, down to none, where the kernel cannot copy between these two files
// or the source ended early; the caller then moves the rest itself.
ByteCount copyInKernel(InputFile& source, NewFile& target, ByteCount count);

// Makes the still empty target share the source's next count bytes, where the medium can
// (XFS, btrfs): no byte is copied and no room is taken. The source's read position advances
// past them; the target then holds exactly those bytes and takes no more.
// Returns count, or 0 where the medium cannot, or not for this run of bytes (one that does
// not start and end on its blocks, unless it ends the source); the caller then copies.
ByteCount shareInKernel(InputFile& source, NewFile& target, ByteCount count);

} // namespace runtime
