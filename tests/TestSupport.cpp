#include "TestSupport.h"

#include "PieceNaming.h"
#include "engine/DateiZerlegen.h"
#include "runtime/Path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace testsupport {

namespace {

namespace fs = std::filesystem;

fs::path native(const std::string& utf8) { return runtime::toFsPath(utf8); }

std::string utf8(const fs::path& path) { return runtime::fromFsPath(path); }

} // namespace

TempFolder::TempFolder()
{
    std::random_device entropy;
    for (;;) {
        const fs::path candidate = fs::temp_directory_path() / ("palvo-test-" + std::to_string(entropy()));
        if (fs::create_directory(candidate)) {
            path_ = utf8(candidate);
            return;
        }
    }
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::remove_all(native(path_), ignored);
}

std::string TempFolder::operator/(const std::string& name) const
{
    return path_ + runtime::kFolderSeparator + name;
}

std::vector<std::string> TempFolder::names() const
{
    return namesIn(path_);
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(native(folder)))
        names.push_back(utf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string randomBytes(std::size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(native(path), std::ios::binary | std::ios::trunc) << bytes;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(native(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(native(path), ignored));
}

void removeFile(const std::string& path)
{
    fs::remove(native(path));
}

void makeFolder(const std::string& path)
{
    fs::create_directory(native(path));
}

bool symbolicLinksPossible()
{
    static const bool possible = [] {
        TempFolder folder;
        std::error_code error;
        fs::create_symlink(native(folder / "ziel"), native(folder / "link"), error);
        return !error;
    }();
    return possible;
}

std::string copyCommandIn(const std::string& scriptPath)
{
    std::istringstream script(readFile(scriptPath));
    std::string lines;
    for (std::string line; std::getline(script, line);) {
        if (line.starts_with("copy /b "))
            lines += line + "\n";
    }
    return lines;
}

std::string joinedPieces(const std::string& basePath)
{
    std::string joined;
    for (std::int64_t number = 1; exists(engine::pieceName(basePath, number)); ++number)
        joined += readFile(engine::pieceName(basePath, number));
    return joined;
}

int runBatchFile(const std::string& folder, const std::string& batchName)
{
#ifdef _WIN32
    // As the shell starts a batch file: the whole command quoted once more.
    std::wstring command = L"cmd.exe /c \"\"" + native(batchName).wstring() + L"\"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, native(folder).c_str(),
                          &startup, &process))
        return -1;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(status);
#else
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(folder.c_str()) != 0)
            ::_exit(126);
        ::setenv("WINEDEBUG", "-all", 1);
        ::freopen("/dev/null", "r", stdin);
        ::freopen("/dev/null", "w", stdout);
        // Started as a double click starts it: the shell hands it to cmd, quoting its name.
        ::execlp("wine", "wine", "start", "/wait", batchName.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

void expectRefusal(const TempFolder& folder, const std::string& source, std::int64_t pieceLength,
                   const std::string& message)
{
    const std::string bytes = readFile(folder / source);
    const auto before = folder.names();
    RecordingReport report;
    engine::DateiZerlegen(folder / source, pieceLength, report);
    EXPECT_EQ(report.messages.size(), 1u);
    if (!report.messages.empty()) {
        EXPECT_NE(report.messages[0].find(message), std::string::npos) << report.messages[0];
    }
    EXPECT_TRUE(report.pieces.empty());
    EXPECT_EQ(folder.names(), before);
    EXPECT_EQ(readFile(folder / source), bytes);
}

} // namespace testsupport
