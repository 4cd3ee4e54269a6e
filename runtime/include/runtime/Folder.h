#pragma once

#include "runtime/FolderLock.h"
#include "runtime/Medium.h"
#include "runtime/NativeFile.h"
#include "runtime/NewFile.h"

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

enum class EntryKind { Missing, File, Folder, Other };

struct Entry {
    EntryKind kind = EntryKind::Missing;
    ByteCount allocatedBytes = 0;  // what the file occupies on its medium
    std::uint64_t links = 0;       // names the file has; 1 when removing it frees its room
    FileIdentity identity;         // of the entry itself, not of what a link at it leads to
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

    // Takes the lock of that name, a hidden file here; nothing while another program, or this
    // one, holds it. The lock goes with the returned object. note tells those it keeps out what
    // the holder does: see lockNote.
    std::optional<FolderLock> lock(const std::string& name, std::string_view note) const;
    // The note of whoever holds the lock of that name; empty where it cannot be told (the holder
    // has only just taken the lock, or has let go meanwhile).
    std::string lockNote(const std::string& name) const;

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

    std::string path_;
    NativeHandle handle_;
    std::unique_ptr<class Writeback> writeback_;  // of the files committed here
};

} // namespace runtime
