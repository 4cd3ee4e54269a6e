#pragma once

namespace qtwindow {

// The name of Palvo's desktop entry, by which the desktop knows the program.
inline constexpr const char* kDesktopEntry = "io.github.palvo.Palvo.desktop";

} // namespace qtwindow
