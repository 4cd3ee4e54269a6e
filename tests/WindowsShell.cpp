// What the installer's test needs of Windows itself, under Wine:
//   windows_shell run COMMAND   starts COMMAND as Explorer starts a verb's command line (the
//                               command string with the file put in for %1), and returns.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int run(std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::fprintf(stderr, "windows_shell: CreateProcess failed, error %lu\n", ::GetLastError());
        return 1;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc == 3 ? argv[1] : L"";
    if (command == L"run")
        return run(argv[2]);
    std::fputs("usage: windows_shell run COMMAND\n", stderr);
    return 2;
}
