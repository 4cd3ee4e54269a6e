#pragma once

#include <QPaintDevice>
#include <QRect>
#include <cmath>

// The window is laid out in twips, twentieths of a typographic point: 1440 to the inch,
// 15 to a pixel on a screen of 96 dots per inch.
namespace twips {

inline int toPixels(int twips, int dotsPerInch)
{
    return static_cast<int>(std::lround(twips * dotsPerInch / 1440.0));
}

inline QRect rect(const QPaintDevice& device, int left, int top, int width, int height)
{
    return QRect(toPixels(left, device.logicalDpiX()), toPixels(top, device.logicalDpiY()),
                 toPixels(width, device.logicalDpiX()), toPixels(height, device.logicalDpiY()));
}

} // namespace twips
