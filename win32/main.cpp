#include "ComApartment.h"
#include "Form1.h"
#include "MessageBox.h"
#include "MessageLoop.h"
#include "form/Texts.h"
#include "runtime/WideText.h"

#include <shellapi.h>
#include <string>
#include <vector>

#include <commctrl.h>
#include <exception>

namespace {

// What the program was started with, after its own name: a file dragged onto Palvo.exe, or
// opened with it.
std::vector<std::string> programArguments()
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> named;
    for (int index = 1; index < count; ++index)
        named.push_back(runtime::narrow(arguments[index]));
    ::LocalFree(arguments);
    return named;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    const win32window::ComApartment com;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    try {
        win32window::Form1 form(programArguments());
        form.show(show);
        return win32window::runMessageLoop();
    } catch (const std::exception& error) {
        win32window::messageBox(nullptr, form::texts::internalFault(error.what()));
        return 1;
    }
}
