#include "run/PictureFitter.h"

#include "platform/SpreadsheetWorksheet.h"
#include "run/RotationMark.h"

#include <cmath>

namespace tavorin {

void fitPictureInBlock(SpreadsheetWorksheet& sheet, const std::string& shape, const QString& mark,
                       double magnification, const BlockGeometry& block)
{
    auto degrees = rotationDegrees(mark);
    if (!degrees)
        return;
    // A sheet that cannot tell the inserted turn has inserted the picture unturned.
    auto inserted = sheet.shapeRotation(shape);
    const double turnedIn = inserted && std::isfinite(*inserted) ? *inserted : 0.0;
    const double rotation = std::fmod(turnedIn + *degrees, 360.0);
    const bool upright = rotation == 90 || rotation == 270;
    if (rotation != turnedIn)
        (void)sheet.setShapeRotation(shape, rotation);

    // The block side the frame's width must fit, and the side its height must not exceed.
    const double widthSide = upright ? block.height : block.width;
    const double heightSide = upright ? block.width : block.height;
    auto width = sheet.shapeWidth(shape);
    auto height = sheet.shapeHeight(shape);
    if (width && height && *width != 0 && *height != 0) {
        double factor = magnification * widthSide / *width;
        if (factor * *height > heightSide) {
            factor = magnification * heightSide / *height;
            (void)sheet.setShapeHeight(shape, factor * *height);
        } else {
            (void)sheet.setShapeWidth(shape, factor * *width);
        }
    }

    // A tiny nudge, opposite for upright frames, keeps the centring of the turned picture on the
    // same side of a half point as it has always been.
    const double nudge = upright ? -0.005 : 0.005;
    (void)sheet.setShapeTop(shape, block.top);
    (void)sheet.setShapeLeft(shape, block.left);
    if (auto fittedWidth = sheet.shapeWidth(shape))
        (void)sheet.incrementShapeLeft(shape, (block.width - *fittedWidth) / 2 + nudge);
    if (auto fittedHeight = sheet.shapeHeight(shape))
        (void)sheet.incrementShapeTop(shape, (block.height - *fittedHeight) / 2 + nudge);
}

} // namespace tavorin
