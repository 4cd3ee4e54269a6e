#pragma once

#include <unknwn.h>

namespace win32window {

// Holds one reference to a COM object and releases it when it goes.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }

    // Where a call that hands out a new reference puts it; the one held so far is released.
    Interface** put()
    {
        reset();
        return &pointer_;
    }

    void reset()
    {
        if (pointer_)
            pointer_->Release();
        pointer_ = nullptr;
    }

private:
    Interface* pointer_ = nullptr;
};

} // namespace win32window
