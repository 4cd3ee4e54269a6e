#pragma once

#include "engine/WindowServices.h"

#include "CopyLineReader.h"

#include <cstdint>
#include <string>
#include <vector>

// Real files in real folders for the tests, on Linux and on Windows. Paths are UTF-8 with the
// platform's folder separator, as the engine takes them.
namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const;
    // The names in the folder, sorted.
    std::vector<std::string> names() const;

private:
    std::string path_;
};

std::string randomBytes(std::size_t count, unsigned seed = 1);
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
void removeFile(const std::string& path);
void makeFolder(const std::string& path);

// The concatenation of pieces path001, path002, ... as long as they exist.
std::string joinedPieces(const std::string& basePath);

// Runs the batch file in its folder with cmd (Wine's on Linux), as a double click would;
// returns its exit status.
int runBatchFile(const std::string& folder, const std::string& batchName);

// Window services that remember what the job asked of them.
class RecordingServices : public engine::WindowServices {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setBusy(bool busy) override { busyChanges.push_back(busy); }
    void setProgressText(const std::string& text) override { progressTexts.push_back(text); }
    void repaint() override { ++repaints; }

    std::vector<std::string> messages;
    std::vector<bool> busyChanges;
    std::vector<std::string> progressTexts;
    int repaints = 0;
};

// Cuts source in folder with a job that must be refused before it writes anything: one message
// holding the given text, and the folder and the source as they were. Returns what the job
// asked of the window.
RecordingServices expectRefusal(const TempFolder& folder, const std::string& source, std::int64_t pieceLength,
                                const std::string& message);

} // namespace testsupport
