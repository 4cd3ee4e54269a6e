// What the installer's test needs of Windows itself, under Wine:
//   windows_shell run COMMAND   starts COMMAND as Explorer starts a verb's command line (the
//                               command string with the file put in for %1), and returns.
//   windows_shell hold FILE     holds FILE open as Windows holds the file of a running program:
//                               shared for reading only, so that it can be neither replaced nor
//                               deleted. Prints "held" once that is so, and waits to be ended.
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

int hold(const wchar_t* path)
{
    const HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "windows_shell: cannot open the file, error %lu\n", ::GetLastError());
        return 1;
    }
    // The hold is worth something only where the system keeps to it.
    if (::DeleteFileW(path)) {
        std::fputs("windows_shell: the system let the held file be deleted\n", stderr);
        return 1;
    }
    if (::GetLastError() != ERROR_SHARING_VIOLATION) {
        std::fprintf(stderr, "windows_shell: deleting the held file failed with error %lu, not as shared\n",
                     ::GetLastError());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    ::Sleep(INFINITE);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc == 3 ? argv[1] : L"";
    if (command == L"run")
        return run(argv[2]);
    if (command == L"hold")
        return hold(argv[2]);
    std::fputs("usage: windows_shell run COMMAND | hold FILE\n", stderr);
    return 2;
}
