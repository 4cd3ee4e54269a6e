#include "runtime/InputFile.h"

#include "runtime/FileError.h"

// What an open source tells the same way on every system; the system's calls are in
// FilesPosix.cpp and FilesWindows.cpp.
namespace runtime {

ByteCount InputFile::length() const
{
    return stamp().first;
}

void InputFile::expectUnchanged() const
{
    if (stamp() != opened_)
        throw FileError(FileOperation::Read, path_, FileProblem::SourceChanged);
}

} // namespace runtime
