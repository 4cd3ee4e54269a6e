#pragma once

#include "runtime/NativeFile.h"

#include <cstddef>
#include <span>
#include <string>

namespace runtime {

class Folder;
class InputFile;

// A file this program creates in a folder and fills. Until it is committed it is
// provisional: destroyed uncommitted (a failure on the way), it is removed again, so that no
// half-written file stays behind under its name. It must not outlive its folder.
class NewFile {
public:
    ~NewFile();
    NewFile(NewFile&& other) noexcept;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    NewFile& operator=(NewFile&&) = delete;

    // Asks the medium to set room aside for a file of length bytes, so that writing them
    // need not find room block by block; the file's length stays as written. Only a hint:
    // where the medium cannot, nothing happens, and writing reports whatever goes wrong.
    void reserve(ByteCount length);
    void write(std::span<const std::byte> bytes);
    // Closes the file and keeps it. Its bytes are sent on their way to the medium off the
    // calling thread, which goes on at once; the folder's flushFiles() waits until they are
    // there, and reports a failure of the close or the flush.
    void commit();
    // Puts the file's bytes on the medium, closes it and puts it in the place of name, in the
    // same folder, in one step; then the new name is put on the medium too. What carries that
    // name is complete even after a power cut.
    void commitAs(const std::string& name);

    // The path that messages name: the file's own, or the one it is written for.
    std::string path() const;

private:
    friend class Folder;
    friend ByteCount copyInKernel(InputFile& source, NewFile& target, ByteCount count);
    friend ByteCount shareInKernel(InputFile& source, NewFile& target, ByteCount count);

    NewFile(const Folder& folder, std::string name, NativeHandle handle);

    const Folder* folder_;
    std::string name_;
    std::string shownName_;
    NativeHandle handle_;
    ByteCount copied_ = 0;  // written, not shared with another file: what the medium has to take
    bool committed_ = false;
};

} // namespace runtime
