#include "MessageBox.h"

#include "form/Texts.h"
#include "runtime/WideText.h"

namespace win32window {

void messageBox(HWND owner, const std::string& text)
{
    ::MessageBoxW(owner, runtime::widen(text).c_str(), runtime::widen(form::texts::messageTitle).c_str(), MB_OK);
}

bool askYesNo(HWND owner, const std::string& question)
{
    return ::MessageBoxW(owner, runtime::widen(question).c_str(), runtime::widen(form::texts::messageTitle).c_str(),
                         MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

} // namespace win32window
