#pragma once

#include "engine/WindowServices.h"

#include "CopyLineReader.h"

#include <cstdint>
#include <string>
#include <vector>

// Real files in real folders for the tests, and the pieces of the system that a test drives.
namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // The names in the folder, sorted.
    std::vector<std::string> names() const;

private:
    std::string path_;
};

// A tmpfs of the given size mounted on a fresh folder, for a file system that really fills.
// Needs root, as the tests have in CI.
class SmallDisk {
public:
    explicit SmallDisk(std::uint64_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    const std::string& path() const { return folder_.path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }

private:
    TempFolder folder_;
};

// While it lives, no file of this process may grow past the limit: a write beyond it fails
// with EFBIG (SIGXFSZ is ignored), as on a medium that refuses to take more.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uint64_t previousSoft_;
    void (*previousHandler_)(int);
};

std::string randomBytes(std::size_t count, unsigned seed = 1);
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool exists(const std::string& path);

// The concatenation of pieces path001, path002, ... as long as they exist.
std::string joinedPieces(const std::string& basePath);

// Runs the batch file in its folder with Wine's cmd, as a double click would; returns its
// exit status.
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

} // namespace testsupport
