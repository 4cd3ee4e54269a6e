#include "FileOpenDialog.h"

#include "ComPtr.h"
#include "form/Texts.h"
#include "runtime/WideText.h"

#include <memory>
#include <shobjidl.h>

namespace win32window {

namespace {

struct FreeCoTaskMemory {
    void operator()(wchar_t* text) const { ::CoTaskMemFree(text); }
};

// The folder and the name of the last choice, where the dialog opens again; a folder that has
// gone meanwhile leaves the dialog where it would open anyway.
void offer(IFileOpenDialog& dialog, const std::wstring& path)
{
    const std::wstring::size_type separator = path.find_last_of(L'\\');
    if (separator == std::wstring::npos)
        return;
    ComPtr<IShellItem> folder;
    if (SUCCEEDED(::SHCreateItemFromParsingName(path.substr(0, separator + 1).c_str(), nullptr,
                                                IID_PPV_ARGS(folder.put()))))
        dialog.SetFolder(folder.get());
    dialog.SetFileName(path.substr(separator + 1).c_str());
}

std::wstring chosenPath(IFileOpenDialog& dialog)
{
    ComPtr<IShellItem> item;
    wchar_t* path = nullptr;
    if (FAILED(dialog.GetResult(item.put())) || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return {};
    return std::unique_ptr<wchar_t, FreeCoTaskMemory>(path).get();
}

} // namespace

std::wstring FileOpenDialog::showOpen(HWND owner)
{
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(dialog.put()))))
        return {};
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // Only a file that exists, and one that has a path of its own (not a library's item).
    dialog->SetOptions(options | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM);
    dialog->SetTitle(runtime::widen(form::texts::dialogTitle).c_str());
    if (!lastChoice_.empty())
        offer(*dialog.get(), lastChoice_);
    // Cancelling, closing and a dialog that fails to appear all end in no choice.
    if (FAILED(dialog->Show(owner)))
        return {};
    std::wstring path = chosenPath(*dialog.get());
    if (!path.empty())
        lastChoice_ = path;
    return path;
}

} // namespace win32window
