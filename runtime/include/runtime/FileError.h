#pragma once

#include <stdexcept>
#include <string>
#include <system_error>

namespace runtime {

// What was being done to a file when it failed; each reads as a German phrase in the message.
enum class FileOperation { Open, Create, Read, Write, Close, Delete, Rename, Inspect, ListFolder, Flush };

// Failures that the system does not report as errors of its own.
enum class FileProblem {
    SourceShrank = 1,  // the file ended before the length it had when it was opened
    NotARegularFile,   // a folder, a device, a pipe or a socket where a file was expected
    SourceChanged,     // the file was written to while it was read
};

} // namespace runtime

template <>
struct std::is_error_code_enum<runtime::FileProblem> : std::true_type {};

namespace runtime {

std::error_code make_error_code(FileProblem problem);

// The error of the system call that has just failed: errno on Linux, GetLastError() on Windows.
std::error_code lastSystemError();

// The error as a German sentence; a system's error with its number after it, so that nothing
// a user reads is English and nothing a supporter needs is lost:
// "Der Zugriff wurde verweigert (Fehler 13)."
std::string reasonText(std::error_code code);

// The one failure of the file calls. It keeps the system's error code; its message is German
// and whole (what was done, to which path, and why it failed), so that a window can show it as
// it stands.
class FileError : public std::runtime_error {
public:
    FileError(FileOperation operation, std::string path, std::error_code code);

    FileOperation operation() const { return operation_; }
    const std::string& path() const { return path_; }
    std::error_code code() const { return code_; }

private:
    FileOperation operation_;
    std::string path_;
    std::error_code code_;
};

} // namespace runtime
