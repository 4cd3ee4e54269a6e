#pragma once

#include "runtime/NativeFile.h"

#include <cstddef>
#include <span>
#include <string>
#include <utility>

namespace runtime {

class Folder;
class NewFile;

// A regular file opened for reading strictly in sequence from its first byte. Its path is
// UTF-8, as every path here. Every failure throws runtime::FileError, naming the file.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    // The file of that name in the folder held open, wherever its path leads meanwhile.
    InputFile(const Folder& folder, const std::string& name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    ByteCount length() const;
    FileIdentity identity() const;
    // Fills the whole buffer with the next bytes. A file that ends first has shrunk since its
    // length was taken: that is a failure, never a shorter piece.
    void readExactly(std::span<std::byte> buffer);
    // Fills the whole buffer with the bytes from offset on, wherever readExactly stands, which
    // it leaves where it is; other threads may call it meanwhile. A file that ends first has
    // shrunk since its length was taken: that is a failure.
    void readAt(ByteCount offset, std::span<std::byte> buffer) const;
    // Fails when the file has been written to since it was opened (it grew, or bytes were
    // written over): what was read of it then belongs to no one state of it.
    void expectUnchanged() const;
    void close();

    const std::string& path() const { return path_; }

private:
    friend ByteCount copyInKernel(InputFile& source, NewFile& target, ByteCount count);
    friend ByteCount shareInKernel(InputFile& source, NewFile& target, ByteCount count);

    void open(NativeHandle handle);
    // The file's length and its time of last writing, as the system tells them.
    std::pair<ByteCount, std::int64_t> stamp() const;

    std::string path_;
    NativeHandle handle_;
#ifdef _WIN32
    NativeHandle positional_ = kNoHandle;  // the same file opened once more: Windows moves a handle's position on every read
#endif
    std::pair<ByteCount, std::int64_t> opened_;  // the stamp when it was opened
};

} // namespace runtime
