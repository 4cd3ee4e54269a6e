// The certutil stand-in in the Wine prefix, called by Wine's cmd as a join script calls
// certutil: with WINEDLLOVERRIDES=certutil.exe=n it is the one that runs, and it says the
// digest that sha256sum finds, in each of certutil's forms; without it Wine's own runs and
// says nothing.
#include "TestSupport.h"

#include <array>
#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace testsupport;

// What a command writes on its standard output, started in the folder with an empty standard
// input and these variables set (or, where the value is empty, unset).
std::string outputOf(const std::string& folder, const std::vector<std::string>& command,
                     const std::vector<std::pair<std::string, std::string>>& variables = {})
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        if (::chdir(folder.c_str()) != 0)
            ::_exit(126);
        for (const auto& [name, value] : variables) {
            if (value.empty())
                ::unsetenv(name.c_str());
            else
                ::setenv(name.c_str(), value.c_str(), 1);
        }
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
    std::string text;
    std::array<char, 4096> buffer;
    for (ssize_t got; (got = ::read(pipe[0], buffer.data(), buffer.size())) > 0;)
        text.append(buffer.data(), static_cast<std::size_t>(got));
    ::close(pipe[0]);
    ::waitpid(child, nullptr, 0);
    return text;
}

std::string windowsPath(std::string path)
{
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return "Z:" + path;
}

TEST(CertutilStandIn, SaysTheDigestOfSha256sumInEachOfCertutilsForms)
{
    TempFolder folder;
    writeFile(folder / "x.bin", randomBytes(3'000'000, 41));  // in three of the stand-in's blocks
    const std::string digest = outputOf(folder.path(), {"sha256sum", "x.bin"}).substr(0, 64);
    ASSERT_EQ(digest.size(), 64u);
    std::string pairs;  // "D5 1F …"
    for (std::size_t i = 0; i < digest.size(); i += 2)
        pairs += (i ? " " : "") + digest.substr(i, 2);
    for (char& c : pairs)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string doneEn = "CertUtil: -hashfile command completed successfully.\r\n";
    const std::string doneDe = "CertUtil: -hashfile-Befehl wurde erfolgreich ausgef\x81hrt.\r\n";  // code page 850

    const struct {
        const char* form;
        bool native;  // WINEDLLOVERRIDES=certutil.exe=n
        const char* file;
        std::string out;
        const char* errorLevel;
    } runs[] = {
        {"10-en", true, "x.bin", "SHA256 hash of x.bin:\r\n" + digest + "\r\n" + doneEn, "0"},
        {"10-de", true, "x.bin", "SHA256-Hash von x.bin:\r\n" + digest + "\r\n" + doneDe, "0"},
        {"7-en", true, "x.bin", "SHA256 hash of file x.bin:\r\n" + pairs + "\r\n" + doneEn, "0"},
        {"7-de", true, "x.bin", "SHA256-Hash der Datei x.bin:\r\n" + pairs + "\r\n" + doneDe, "0"},
        {"10-en", true, "fehlt.bin",
         "CertUtil: -hashfile command FAILED: 0x80070002 (WIN32: 2 ERROR_FILE_NOT_FOUND)\r\n"
         "CertUtil: The system cannot find the file specified.\r\n",
         "-2147024894"},
        {"10-de", true, "fehlt.bin",
         "CertUtil: -hashfile-Befehl ist fehlgeschlagen: 0x80070002 (WIN32: 2 ERROR_FILE_NOT_FOUND)\r\n"
         "CertUtil: Das System kann die angegebene Datei nicht finden.\r\n",
         "-2147024894"},
        {"10-en", false, "x.bin", "", "0"},  // Wine's own certutil
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(std::string(run.form) + (run.native ? " " : " without the override ") + run.file);
        writeFile(folder / "hash.bat", std::string("@echo off\r\n") + "\"%SystemRoot%\\System32\\certutil.exe\" -hashfile \"" +
                                           run.file + "\" SHA256 > out.txt\r\n>level.txt echo %ERRORLEVEL%\r\n");
        outputOf(folder.path(), {"wine", "cmd", "/c", "hash.bat"},
                 {{"WINEDEBUG", "-all"},
                  {"WINEDLLOVERRIDES", run.native ? "certutil.exe=n" : ""},
                  {"PALVO_CERTUTIL_FORM", run.form},
                  {"PALVO_CERTUTIL_LOG", windowsPath(folder / "log.txt")}});
        EXPECT_EQ(readFile(folder / "out.txt"), run.out);
        EXPECT_EQ(readFile(folder / "level.txt"), std::string(run.errorLevel) + "\r\n");
        EXPECT_EQ(exists(folder / "log.txt"), run.native);
        if (run.native) {
            EXPECT_EQ(readFile(folder / "log.txt"), std::string(run.file) + "\r\n") << "the stand-in ran once";
        }
        for (const char* name : {"out.txt", "level.txt", "log.txt"}) {
            if (exists(folder / name))
                removeFile(folder / name);
        }
    }
}

} // namespace
