// The certutil stand-in in the Wine prefix, called by Wine's cmd as a join script calls
// certutil: with WINEDLLOVERRIDES=certutil.exe=n it is the one that runs, and it says the
// digest that sha256sum finds, in each of certutil's forms; without it Wine's own runs and
// says nothing.
#include "TestSupport.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace testsupport;

TEST(CertutilStandIn, SaysTheDigestOfSha256sumInEachOfCertutilsForms)
{
    TempFolder folder;
    writeFile(folder / "x.bin", randomBytes(3'000'000, 41));  // in three of the stand-in's blocks
    const std::string digest = runProgram(folder.path(), {"sha256sum", "x.bin"}).text.substr(0, 64);
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
        const Said said =
            runBatchFile(folder.path(), "hash.bat", {kGerman, run.native ? run.form : "", folder / "log.txt"});
        EXPECT_EQ(readFile(folder / "out.txt"), run.out);
        EXPECT_EQ(readFile(folder / "level.txt"), std::string(run.errorLevel) + "\r\n")
            << "cmd ended with " << said.status << " and said: " << said.text;
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
