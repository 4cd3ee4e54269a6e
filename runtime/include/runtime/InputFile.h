#pragma once

#include "runtime/NativeFile.h"

#include <cstddef>
#include <span>
#include <string>

namespace runtime {

class NewFile;

// A regular file opened for reading strictly in sequence from its first byte. Its path is
// UTF-8, as every path here. Every failure throws runtime::FileError, naming the file.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    ByteCount length() const;
    FileIdentity identity() const;
    // Fills the whole buffer with the next bytes. A file that ends first has shrunk since its
    // length was taken: that is a failure, never a shorter piece.
    void readExactly(std::span<std::byte> buffer);
    void close();

    const std::string& path() const { return path_; }

private:
    friend ByteCount copyInKernel(InputFile& source, NewFile& target, ByteCount count);
    friend ByteCount shareInKernel(InputFile& source, NewFile& target, ByteCount count);

    std::string path_;
    NativeHandle handle_;
};

// Lets the kernel copy up to count bytes from the source's read position to the target's
// write position, both advancing, without the bytes passing through this process. Returns how
// many it copied: fewer, down to none, where the kernel cannot copy between these two files
// or the source ended early; the caller then moves the rest itself.
ByteCount copyInKernel(InputFile& source, NewFile& target, ByteCount count);

// Makes the next count bytes of the target share the source's blocks from its read position,
// both advancing, where the medium can (XFS, btrfs): no byte is copied and no room is taken.
// Returns count, or 0 where the medium cannot, or not for this run of bytes (one that does
// not start and end on its blocks, unless it ends the source); the caller then copies.
ByteCount shareInKernel(InputFile& source, NewFile& target, ByteCount count);

} // namespace runtime
