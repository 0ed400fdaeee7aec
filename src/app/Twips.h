#pragma once

#include <QRect>

namespace tavorin {

// The window's layout is given in twips; at 96 dpi 15 twips make one pixel (Qt scales for
// high-dpi screens itself).
constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + twipsPerPixel / 2) / twipsPerPixel
                      : -((-twips + twipsPerPixel / 2) / twipsPerPixel);
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace tavorin
