#pragma once

#include <stdexcept>
#include <string>

namespace runtime {

// What was being done to a file when it failed; each reads as a German phrase in the message.
enum class FileOperation { Open, Create, Read, Write, Close, Delete, Rename, Inspect, ListFolder };

// The one failure of the file calls. Its message is German and whole: what was done,
// to which path, and why it failed, so that the window can show it as it stands.
class FileError : public std::runtime_error {
public:
    // reason: the system's error number (errno)
    FileError(FileOperation operation, const std::string& path, int errorNumber);
    // reason: a German sentence of our own, for failures that the system does not report
    FileError(FileOperation operation, const std::string& path, const std::string& reason);

    FileOperation operation() const { return operation_; }
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }

private:
    FileOperation operation_;
    std::string path_;
    std::string reason_;
};

// The reason given when a file ends before the length it had when it was opened.
inline constexpr const char* kSourceShrank = "Die Datei ist während des Zerlegens kürzer geworden.";

// A German text for a system error number, for the errors a file copy can meet;
// other numbers fall back to the system's own text.
std::string errorReason(int errorNumber);

} // namespace runtime
