#include "Font.h"

#include "form/Form1Layout.h"

namespace win32window {

Font smallFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW type{};
    if (::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        type = metrics.lfMessageFont;
    } else {
        // The name under which every Windows keeps its dialogs' type.
        type.lfCharSet = DEFAULT_CHARSET;
        ::lstrcpynW(type.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
    }
    type.lfHeight = -::MulDiv(form::layout::fontPoints, static_cast<int>(dpi), 72);
    type.lfWidth = 0;
    return Font(::CreateFontIndirectW(&type));
}

} // namespace win32window
