#pragma once

#include <QRect>

#include <cmath>

// The design measures in twips; 15 of them make one device-independent pixel.
namespace Twips {
inline int toPixels(double twips)
{
    return int(std::lround(twips / 15.0));
}
inline QRect rect(double left, double top, double width, double height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
} // namespace Twips
