#include "ComApartment.h"
#include "Form1.h"
#include "MessageBox.h"
#include "MessageLoop.h"
#include "form/Texts.h"

#include <commctrl.h>
#include <exception>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    const win32window::ComApartment com;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    try {
        win32window::Form1 form;
        form.show(show);
        return win32window::runMessageLoop();
    } catch (const std::exception& error) {
        win32window::messageBox(nullptr, form::texts::internalFault(error.what()));
        return 1;
    }
}
