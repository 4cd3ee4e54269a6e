#pragma once

#include "runtime/NativeFile.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace runtime {

class Folder;
class FolderLock;

// What the folder's medium is like, as far as a job must know it before it writes.
struct Medium {
    std::optional<std::uint64_t> availableBytes;    // nothing where the medium reports no size
    std::optional<std::uint64_t> freeFileSlots;     // files that may still be made; nothing where unknown
    std::optional<std::uint64_t> entriesPerFolder;  // FAT's limit of names in one folder
    ByteCount allocationUnit = 4096;                // files occupy whole ones
    std::size_t longestName = 255;                  // in bytes
    std::size_t longestPath = 4096;                 // in bytes
    bool readOnly = false;                          // a CD, a locked card, a read-only mount
    bool ignoresCase = false;                       // FILM.001 is film.001 there

    // Whether the medium takes the two names for the same one.
    bool sameName(std::string_view a, std::string_view b) const;
    // The name as the medium tells names apart: equal keys for the names it takes as one.
    std::string nameKey(std::string_view name) const;
};

enum class EntryKind { Missing, File, Folder, Other };

struct Entry {
    EntryKind kind = EntryKind::Missing;
    ByteCount allocatedBytes = 0;  // what the file occupies on its medium
    std::uint64_t links = 0;       // names the file has; 1 when removing it frees its room
    FileIdentity identity;         // of the entry itself, not of what a link at it leads to
};

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
    friend ByteCount copyInKernel(class InputFile& source, NewFile& target, ByteCount count);
    friend ByteCount shareInKernel(class InputFile& source, NewFile& target, ByteCount count);

    NewFile(const Folder& folder, std::string name, NativeHandle handle);

    const Folder* folder_;
    std::string name_;
    std::string shownName_;
    NativeHandle handle_;
    ByteCount copied_ = 0;  // written, not shared with another file: what the medium has to take
    bool committed_ = false;
};

// A folder held open while a job works in it: every name is looked up, created, removed and
// renamed in that very folder, even if the path that led to it is pointed elsewhere meanwhile.
// Its path and the names in it are UTF-8. Every failure throws runtime::FileError, naming the
// file.
class Folder {
public:
    // path: the folder, ending in a separator, or empty for the current folder.
    explicit Folder(std::string path);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // The folder as a message names it: without a separator at its end, "." for the current one.
    std::string shownPath() const;
    std::string pathOf(std::string_view name) const { return path_ + std::string(name); }

    Medium medium() const;
    // Why this program may not make and remove files here; nothing when it may.
    std::optional<std::error_code> whyNotWritable() const;
    // Hands each name in the folder to visit, one at a time; false when the folder may be
    // written but not listed.
    bool forEachName(const std::function<void(const std::string& name)>& visit) const;
    // Looks a name up without following a link at it.
    Entry lookUp(const std::string& name) const;
    // The first bytes of the file of that name, as many as it has up to the count.
    std::string beginningOf(const std::string& name, std::size_t bytes) const;

    // Why the entry of that name could not be removed (someone else's file in a folder where
    // only owners remove, a file another program holds open, ...); nothing when it could.
    std::optional<std::error_code> whyNotRemovable(const std::string& name) const;
    // Removes a file or link of that name; a missing name is no failure, a folder is one.
    void remove(const std::string& name) const;
    // Removes it as remove() does, and puts that on the medium before it returns: on Linux by
    // flushing the folder's names; on Windows, where a folder cannot be flushed, by renaming the
    // file to tombstone, written through, before it goes.
    void removeForGood(const std::string& name, const std::string& tombstone) const;
    // Creates the file; an existing entry of that name, a link included, is a failure.
    NewFile create(const std::string& name) const;
    // Creates the file afresh: an existing file or link of that name is removed first, so
    // that nothing is written through a link and no old byte outlives the new content.
    // Messages name it shownAs, where given: a file written under a scratch name for another.
    NewFile replace(const std::string& name, const std::string& shownAs = {}) const;
    // A short hidden name of fixed length for what belongs to the outputs known by key, told
    // apart by its tag (".lock", ".tmp", ".001", ...): the same for every job on those outputs,
    // so that one a killed job left goes with the next, and one that fits wherever the outputs'
    // names fit.
    static std::string scratchName(std::string_view key, std::string_view tag);
    // Gives the file of the name from the name to, in place of whatever file or link bore it,
    // in one step. Put on the medium with the folder's names (flushNames).
    void rename(const std::string& from, const std::string& to) const;
    // Puts the folder's names on the medium, as they are now.
    void flushNames() const;

    // Puts the bytes of every file committed here on the medium (on Linux: of all files of its
    // file system at once; on Windows each file's on its own).
    void flushFiles() const;
    // Closes every file committed here that has yet to reach the medium, without putting it
    // there: for files that are to be removed again.
    void abandonFiles() const;

    // Takes the lock of a job's outputs, known by key; nothing while another job, in this
    // process or another, holds it. The lock goes with the returned object. note tells the jobs
    // it keeps out what the holder does (the name of the file it cuts): see lockNote.
    std::optional<FolderLock> lock(std::string_view key, std::string_view note) const;
    // The note of the job that holds the lock of key; empty where it cannot be told (the holder
    // has only just taken the lock, or has let go meanwhile).
    std::string lockNote(std::string_view key) const;

private:
    friend class FolderLock;
    friend class InputFile;
    friend class NewFile;

    // The folder as it was named, for the calls that open it.
    std::string openedPath() const;
    // The folder as the system reaches it through the handle held, for calls that take a path.
    std::string heldPath() const;
    // Whether the medium, asked with a name in the folder, finds it in the other case too.
    bool findsNamesInOtherCase() const;

    // Creates the file when no entry has its name yet; nothing when one has.
    std::optional<NewFile> createIfFree(const std::string& name) const;
    // Takes the lock file of that name and writes the note into it; nothing while another
    // holds it.
    std::optional<FolderLock> lockFile(const std::string& name, std::string_view note) const;
    std::string noteIn(const std::string& lockName) const;

    std::string path_;
    NativeHandle handle_;
    std::unique_ptr<class Writeback> writeback_;  // of the files committed here
};

// An exclusive lock of a job's outputs in a folder, held as long as the object lives: a hidden
// lock file there, removed again when the lock goes.
class FolderLock {
public:
    ~FolderLock();
    FolderLock(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    FolderLock& operator=(FolderLock&&) = delete;

private:
    friend class Folder;
    FolderLock(const Folder& folder, std::string name, NativeHandle handle);

    const Folder* folder_;
    std::string name_;
    NativeHandle handle_;
};

} // namespace runtime
