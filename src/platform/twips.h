// Designer positions are in twips; the screen is 96 dpi, 15 twips a pixel.
#pragma once

#include <QRect>

namespace twips {
constexpr int PerPixel = 15;

constexpr int toPixels(int t) { return (t + PerPixel / 2) / PerPixel; }

constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
} // namespace twips
