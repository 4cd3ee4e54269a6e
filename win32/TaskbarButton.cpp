#include "TaskbarButton.h"

#include "ComPtr.h"

#include <shobjidl.h>

namespace win32window {

namespace {

class SystemTaskbarButton : public TaskbarButton {
public:
    void showProgress(HWND window, double fraction) override
    {
        if (ITaskbarList3* taskbar = list()) {
            taskbar->SetProgressState(window, TBPF_NORMAL);
            taskbar->SetProgressValue(window, static_cast<ULONGLONG>(fraction * kSteps), kSteps);
        }
    }
    void showFailure(HWND window) override
    {
        if (ITaskbarList3* taskbar = list())
            taskbar->SetProgressState(window, TBPF_ERROR);
    }
    void clear(HWND window) override
    {
        if (ITaskbarList3* taskbar = list())
            taskbar->SetProgressState(window, TBPF_NOPROGRESS);
    }

private:
    static constexpr ULONGLONG kSteps = 1000;

    // Asked for when first needed: by then the window has its button on the taskbar.
    ITaskbarList3* list()
    {
        if (!asked_) {
            asked_ = true;
            if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(list_.put()))) ||
                FAILED(list_->HrInit()))
                list_.reset();
        }
        return list_.get();
    }

    ComPtr<ITaskbarList3> list_;
    bool asked_ = false;
};

} // namespace

std::unique_ptr<TaskbarButton> systemTaskbarButton()
{
    return std::make_unique<SystemTaskbarButton>();
}

} // namespace win32window
