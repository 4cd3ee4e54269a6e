#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// File calls on the operating system. Every failure throws runtime::FileError, naming the
// operation, the path and the reason.
namespace runtime {

using ByteCount = std::int64_t;

#ifdef _WIN32
using NativeHandle = void*;  // a HANDLE
#else
using NativeHandle = int;    // a file descriptor
#endif

class NewFile;
ByteCount copyInKernel(class InputFile& source, NewFile& target, ByteCount count);

// A regular file opened for reading strictly in sequence from its first byte.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    ByteCount length() const;
    // Fills the whole buffer with the next bytes. A file that ends first has shrunk since its
    // length was taken: that is a failure, never a shorter piece.
    void readExactly(std::span<std::byte> buffer);
    void close();

    const std::string& path() const { return path_; }

private:
    friend ByteCount copyInKernel(InputFile&, NewFile&, ByteCount);

    std::string path_;
    NativeHandle handle_;
};

// A file this program creates and fills. Until it is committed it is provisional: destroyed
// uncommitted (a failure on the way), it is removed again, so that no half-written file stays
// behind under its name.
class NewFile {
public:
    // Creates the file; an existing entry of that name, a link included, is a failure.
    static NewFile create(const std::string& path);
    // Creates the file afresh: an existing file or link of that name is removed first, so
    // that nothing is written through a link and no old byte outlives the new content.
    static NewFile replace(const std::string& path);
    // Creates a hidden file of a fresh, short name in the folder of path, for writing there
    // what must only ever appear under path complete.
    static NewFile createBeside(const std::string& path);

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
    // Closes the file and keeps it.
    void commit();
    // Closes the file and puts it in the place of finalPath in one step.
    void commitAs(const std::string& finalPath);

    const std::string& path() const { return path_; }

private:
    friend ByteCount copyInKernel(InputFile&, NewFile&, ByteCount);

    NewFile(std::string path, NativeHandle handle);

    std::string path_;
    NativeHandle handle_;
    bool committed_ = false;
};

// Lets the kernel copy up to count bytes from the source's read position to the target's
// write position, both advancing, without the bytes passing through this process. Returns how
// many it copied: fewer, down to none, where the kernel cannot copy between these two files
// or the source ended early; the caller then moves the rest itself.
ByteCount copyInKernel(InputFile& source, NewFile& target, ByteCount count);

// Removes a file or link of that name; a missing name is no failure, a folder is one.
void removeIfPresent(const std::string& path);

enum class EntryKind { Missing, File, Folder, Other };

struct Entry {
    EntryKind kind = EntryKind::Missing;
    ByteCount allocatedBytes = 0;  // what the file occupies on its medium
    std::uint64_t links = 0;       // names the file has; 1 when removing it frees its space
};

// Looks a name up without following a link at it.
Entry lookUp(const std::string& path);

std::vector<std::string> folderEntries(const std::string& folder);

// Bytes that an ordinary user may still write to the medium of folder.
std::uint64_t freeBytes(const std::string& folder);

// The longest file name and the longest path, in bytes, that the medium of folder takes.
struct NameLimits {
    std::size_t name;
    std::size_t path;
};
NameLimits nameLimits(const std::string& folder);

// The absolute path without links, "." or ".." in it.
std::string canonicalPath(const std::string& path);

} // namespace runtime
