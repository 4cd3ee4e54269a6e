#pragma once

#include <cmath>
#include <cstdint>

// Where Form1's controls sit and how they look, the same in every window that draws it.
// Places are in twips, twentieths of a typographic point: 1440 to the inch, 15 to a pixel on
// a screen of 96 dots per inch.
namespace form {

struct Twips {
    int left, top, width, height;
};

struct Rgb {
    std::uint8_t red, green, blue;
};

namespace layout {

inline constexpr Twips clientArea{0, 0, 5370, 3930};
inline constexpr Twips labelBeschreibung{120, 120, 3375, 1155};
inline constexpr Twips labelDateigröße{120, 1740, 1695, 255};
inline constexpr Twips textDateigröße{2160, 1680, 855, 315};
inline constexpr Twips labelInfo{120, 2280, 4575, 375};
inline constexpr Twips buttonKopieren{120, 2820, 3255, 495};
inline constexpr Twips buttonEnde{3600, 2820, 1095, 495};
inline constexpr Twips Label1{360, 3540, 4095, 255};

// The small type the layout was drawn for; it grows with the screen's DPI like the twips.
inline constexpr int fontPoints = 8;

inline int toPixels(int twips, int dotsPerInch)
{
    return static_cast<int>(std::lround(twips * dotsPerInch / 1440.0));
}

} // namespace layout

namespace colours {

inline constexpr Rgb progressText{0, 0, 255};
inline constexpr Rgb contactText{255, 255, 0};
// The contact line stands on the system's colour of an inactive window's border; where the
// system has none, on the classic desktop's.
inline constexpr Rgb classicInactiveBorder{212, 208, 200};

} // namespace colours

} // namespace form
