#pragma once

#include <memory>
#include <type_traits>
#include <windows.h>

namespace win32window {

struct DeleteFont {
    void operator()(HFONT font) const { ::DeleteObject(font); }
};
// A font of the window's, deleted when it goes.
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteFont>;

// The system's message font at the window's 8 points, for a screen of dpi dots per inch.
Font smallFont(UINT dpi);

} // namespace win32window
