#include "TestSupport.h"

#include "PieceNaming.h"
#include "engine/DateiZerlegen.h"
#include "runtime/Path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

void cutFile(const std::string& path, const std::string& bytes, std::int64_t pieceLength)
{
    writeFile(path, bytes);
    RecordingReport report;
    engine::DateiZerlegen(path, pieceLength, report);
    for (const std::string& message : report.messages)
        ADD_FAILURE() << "cutting " << path << ": " << message;
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

#ifdef _WIN32

namespace {

// This process's environment with the certutil stand-in's variables: Wine takes its overrides
// from the environment a program starts with.
std::wstring environmentFor(const CmdRun& how)
{
    std::wstring block;
    const wchar_t* const own = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = own; *entry; entry += std::wcslen(entry) + 1) {
        const std::wstring_view text(entry);
        if (!text.starts_with(L"WINEDLLOVERRIDES=") && !text.starts_with(L"PALVO_CERTUTIL_"))
            block.append(text).push_back(L'\0');
    }
    ::FreeEnvironmentStringsW(const_cast<wchar_t*>(own));
    for (const auto& [name, value] : how.variables)
        block += native(name + "=" + value).wstring() + L'\0';
    if (!how.certutil.empty()) {
        block += L"WINEDLLOVERRIDES=certutil.exe=n" + std::wstring(1, L'\0');
        block += L"PALVO_CERTUTIL_FORM=" + native(how.certutil).wstring() + L'\0';
        block += L"PALVO_CERTUTIL_LOG=" + native(how.certutilLog).wstring() + L'\0';
    }
    return block + L'\0';
}

} // namespace

Said runBatchFile(const std::string& folder, const std::string& batch, const CmdRun& how)
{
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherited, 0))
        return {};
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const HANDLE nothing = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                         OPEN_EXISTING, 0, nullptr);
    // As the shell starts a batch file: the whole command quoted once more.
    std::wstring command = L"cmd.exe /c \"\"" + native(batch).wstring() + L"\"\"";
    std::wstring environment = environmentFor(how);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = writeEnd;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                                          environment.data(), native(folder).c_str(), &startup, &process);
    ::CloseHandle(writeEnd);
    ::CloseHandle(nothing);
    Said said;
    if (started) {
        char buffer[4096];
        for (DWORD got = 0; ::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0;)
            said.text.append(buffer, got);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        ::GetExitCodeProcess(process.hProcess, &status);
        said.status = static_cast<int>(status);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(readEnd);
    return said;
}

#else

Said runProgram(const std::string& folder, const std::vector<std::string>& command,
                const std::vector<std::pair<std::string, std::string>>& variables)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        if (::chdir(folder.c_str()) != 0)
            ::_exit(126);
        for (const auto& [name, value] : variables)
            value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
        ::freopen("/dev/null", "r", stdin);
        ::dup2(pipe[1], STDOUT_FILENO);
        std::vector<char*> arguments;
        for (const std::string& argument : command)
            arguments.push_back(const_cast<char*>(argument.c_str()));
        arguments.push_back(nullptr);
        ::execvp(arguments[0], arguments.data());
        ::_exit(127);
    }
    ::close(pipe[1]);
    Said said;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        said.text.append(buffer, static_cast<std::size_t>(got));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    said.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return said;
}

std::string windowsPath(std::string path)
{
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return "Z:" + path;
}

Said runBatchFile(const std::string& folder, const std::string& batch, const CmdRun& how)
{
    const bool standIn = !how.certutil.empty();
    // Wine hands cmd /c a name as no shell would, and takes % and ^ in it once more: such a name
    // goes to cmd through start, as Explorer hands it over, and what it says is not heard.
    const bool plainName = batch.find_first_of("%^&()!") == std::string::npos;
    const std::vector<std::string> command = plainName ? std::vector<std::string>{"wine", "cmd", "/c", batch}
                                                       : std::vector<std::string>{"wine", "start", "/b", "/wait", batch};
    const char* const prefix = std::getenv("WINEPREFIX");
    const std::string foreignPrefix = prefix ? std::string(prefix) + "-foreign" : "";
    std::vector<std::pair<std::string, std::string>> variables = how.variables;
    variables.insert(variables.end(),
                      {{"WINEDEBUG", "-all"},
                       {"WINEPREFIX", how.locale == kGerman || !prefix ? (prefix ? prefix : "") : foreignPrefix},
                       {"LANG", how.locale},
                       {"LC_ALL", how.locale},
                       {"WINEDLLOVERRIDES", standIn ? "certutil.exe=n" : ""},
                       {"PALVO_CERTUTIL_FORM", how.certutil},
                       {"PALVO_CERTUTIL_LOG", standIn ? windowsPath(how.certutilLog) : ""}});
    return runProgram(folder, command, variables);
}

#endif

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
