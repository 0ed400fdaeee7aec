#include "platform/xls/drawing/ShapeAnchor.h"

#include "platform/xls/geometry/KeptOnSheet.h"

#include <algorithm>
#include <cmath>

namespace tavorin::xls {

ShapeAnchor::Frame ShapeAnchor::anchoredRectangle(const Frame& frame, double rotation)
{
    double turned = std::fmod(rotation, 360.0);
    if (turned < 0)
        turned += 360.0;
    bool sideways = (turned >= 45.0 && turned < 135.0) || (turned >= 225.0 && turned < 315.0);
    if (!sideways)
        return frame;
    double centreX = frame.left + frame.width / 2;
    double centreY = frame.top + frame.height / 2;
    return {centreX - frame.height / 2, centreY - frame.width / 2, frame.height, frame.width};
}

Result<ClientAnchor> ShapeAnchor::fromFrame(const SheetGeometry& geometry, const Frame& frame, double rotation,
                                            std::uint16_t flags)
{
    if (!(frame.width >= 0) || !(frame.height >= 0) || !std::isfinite(frame.left) || !std::isfinite(frame.top))
        return Error{"a picture's frame is not a rectangle", "drawing", {}, {}};
    // Excel keeps every shape on the sheet: a rectangle that starts before its first cell or
    // reaches past its last column or row is moved back onto it (and cut to it when larger).
    // The frame itself stays as asked, so a picture inserted near the sheet's edge and then
    // fitted into its block is anchored where the block is.
    const double sheetWidth = SheetGeometry::pointsFromPixels(static_cast<double>(geometry.columnLeftPixels(SheetGeometry::columnCount)));
    const double sheetHeight = SheetGeometry::pointsFromPixels(static_cast<double>(geometry.rowTopPixels(SheetGeometry::rowCount)));
    const Frame box = keptOnSheet(anchoredRectangle(frame, rotation), sheetWidth, sheetHeight);
    auto firstColumn = geometry.columnAnchorAt(box.left);
    auto firstRow = geometry.rowAnchorAt(box.top);
    auto lastColumn = geometry.columnAnchorAt(std::min(box.left + box.width, sheetWidth));
    auto lastRow = geometry.rowAnchorAt(std::min(box.top + box.height, sheetHeight));
    if (!firstColumn || !lastColumn)
        return Error{"the picture would reach beyond the sheet's last column", "drawing", {}, {}};
    if (!firstRow || !lastRow)
        return Error{"the picture would reach beyond the sheet's last row", "drawing", {}, {}};
    ClientAnchor anchor;
    anchor.flags = flags;
    anchor.firstColumn = static_cast<std::uint16_t>(firstColumn->index);
    anchor.firstColumnOffset = static_cast<std::uint16_t>(firstColumn->offset);
    anchor.firstRow = static_cast<std::uint16_t>(firstRow->index);
    anchor.firstRowOffset = static_cast<std::uint16_t>(firstRow->offset);
    anchor.lastColumn = static_cast<std::uint16_t>(lastColumn->index);
    anchor.lastColumnOffset = static_cast<std::uint16_t>(lastColumn->offset);
    anchor.lastRow = static_cast<std::uint16_t>(lastRow->index);
    anchor.lastRowOffset = static_cast<std::uint16_t>(lastRow->offset);
    return anchor;
}

ShapeAnchor::Frame ShapeAnchor::rectangleOf(const SheetGeometry& geometry, const ClientAnchor& anchor)
{
    double left = geometry.xPointsOf({anchor.firstColumn, anchor.firstColumnOffset});
    double top = geometry.yPointsOf({anchor.firstRow, anchor.firstRowOffset});
    double right = geometry.xPointsOf({anchor.lastColumn, anchor.lastColumnOffset});
    double bottom = geometry.yPointsOf({anchor.lastRow, anchor.lastRowOffset});
    return {left, top, right - left, bottom - top};
}

} // namespace tavorin::xls
