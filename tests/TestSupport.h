#pragma once

#include "engine/JobReport.h"

#include "CopyLineReader.h"

#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <utility>
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

// The names in a folder, sorted.
std::vector<std::string> namesIn(const std::string& folder);

std::string randomBytes(std::size_t count, unsigned seed = 1);
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
// Writes the bytes under the path and cuts them into pieces of that length, which must go
// without a word: the pieces and the batch file of a file, for what comes after.
void cutFile(const std::string& path, const std::string& bytes, std::int64_t pieceLength);
bool exists(const std::string& path);
void removeFile(const std::string& path);
void makeFolder(const std::string& path);

// Whether this system lets a test make symbolic links (Wine does not).
bool symbolicLinksPossible();

// The lines of the copy command in the join script at path, among its checks.
std::string copyCommandIn(const std::string& scriptPath);

// The concatenation of pieces path001, path002, ... as long as they exist.
std::string joinedPieces(const std::string& basePath);

// Wine's German, whose console reads code page 850.
inline constexpr const char* kGerman = "de_DE.UTF-8";

// How cmd is to run a join script.
struct CmdRun {
    // Wine's language on Linux, and with it the console's code page; other languages than German
    // run in a Wine prefix of their own, $WINEPREFIX-foreign. The Windows build's tests run in
    // the language their whole run was started in.
    std::string locale = kGerman;
    // The certutil stand-in's form ("10-de", "7-en", ...: tests/CertutilStandIn.cpp), or empty
    // for the system's own, which under Wine says nothing.
    std::string certutil;
    std::string certutilLog;  // where the stand-in notes each file it hashed, UTF-8
    std::vector<std::pair<std::string, std::string>> variables = {};  // the environment besides
};

// What a program said: its exit status and its standard output (cmd's in the ANSI code page).
struct Said {
    int status = -1;
    std::string text;
};

// Runs the batch file (a name in folder, or a path) with cmd (Wine's on Linux) in folder, with
// an empty standard input, as a double click would. Under Wine, what a script of a name with
// % ^ & ( ) or ! says is not heard.
Said runBatchFile(const std::string& folder, const std::string& batch, const CmdRun& how = {});

#ifndef _WIN32
// Runs a program in folder with an empty standard input and these variables set (or, where the
// value is empty, unset).
Said runProgram(const std::string& folder, const std::vector<std::string>& command,
                const std::vector<std::pair<std::string, std::string>>& variables = {});
// The path by which Wine reaches a file of this machine.
std::string windowsPath(std::string path);
#endif

// What a job reported, in the order it did.
class RecordingReport : public engine::JobReport {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    void replacingEarlierOutputs() override { replacingEarlier = true; }
    void pieceStarted(std::int64_t, const std::string& path) override { pieces.push_back(path); }
    void progressed(std::int64_t done, std::int64_t total) override { progress.emplace_back(done, total); }
    void ended() override { ++ends; }

    std::vector<std::string> messages;
    bool replacingEarlier = false;
    std::vector<std::string> pieces;  // the paths of the pieces begun
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    int ends = 0;
};

// A job's report that does something as the job starts the piece of that number: a fault
// made, a signal given, at a moment of the job's own.
class ReportAt : public RecordingReport {
public:
    ReportAt(std::int64_t piece, std::function<void()> action) : piece_(piece), action_(std::move(action)) {}
    void pieceStarted(std::int64_t number, const std::string& path) override
    {
        RecordingReport::pieceStarted(number, path);
        if (number == piece_)
            action_();
    }

private:
    std::int64_t piece_;
    std::function<void()> action_;
};

// A job's report that waits at its second piece until it is told to go on: a job held in
// the middle, for what others do meanwhile.
class PausingReport : public RecordingReport {
public:
    void pieceStarted(std::int64_t number, const std::string& path) override
    {
        RecordingReport::pieceStarted(number, path);
        if (number == 2) {
            paused.set_value();
            goOn.get_future().wait();
        }
    }
    std::promise<void> paused, goOn;
};

// Cuts source in folder with a job that must be refused before it writes anything: one message
// holding the given text, no piece begun, and the folder and the source as they were.
void expectRefusal(const TempFolder& folder, const std::string& source, std::int64_t pieceLength,
                   const std::string& message);

} // namespace testsupport
