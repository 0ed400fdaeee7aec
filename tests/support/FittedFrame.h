#pragma once

#include "support/ExcelGrid.h"

namespace tavorin::test {

// Where a picture must end up in its block, worked out from the placement rule itself: the
// frame's width is fitted to the block's width (its height, for a picture turned by 90 or 270
// degrees, which shows its width upright) times the magnification; when the frame's other side
// would then stick out, that side is fitted instead; the frame keeps its aspect ratio and is
// centred on the block. The result is the rectangle the turned picture covers on the sheet.
inline PointRect fittedFrame(const PointRect& block, double naturalWidth, double naturalHeight, int degrees,
                             double magnification)
{
    const bool upright = degrees == 90 || degrees == 270;
    const double widthSide = upright ? block.height : block.width;
    const double heightSide = upright ? block.width : block.height;
    double factor = magnification * widthSide / naturalWidth;
    if (factor * naturalHeight > heightSide)
        factor = magnification * heightSide / naturalHeight;
    const double frameWidth = factor * naturalWidth, frameHeight = factor * naturalHeight;
    const double shownWidth = upright ? frameHeight : frameWidth;
    const double shownHeight = upright ? frameWidth : frameHeight;
    return {block.centreX() - shownWidth / 2, block.centreY() - shownHeight / 2, shownWidth, shownHeight};
}

} // namespace tavorin::test
