#pragma once

#include "platform/xls/ClientAnchor.h"
#include "platform/xls/Result.h"
#include "platform/xls/SheetGeometry.h"

namespace tavorin::xls {

// Turns a shape's frame (points from the sheet's top-left corner, unrotated) into the two-cell
// anchor that Excel stores, through the sheet's geometry in Excel's pixel model. A shape turned
// by 45° to 135° or 225° to 315° is anchored by its frame turned by 90° about its centre, since
// that is the rectangle it covers on screen; readers turn it back.
struct ShapeAnchor {
    struct Frame {
        double left = 0, top = 0, width = 0, height = 0;
    };

    // The rectangle the anchor holds for a frame and rotation (degrees clockwise).
    static Frame anchoredRectangle(const Frame& frame, double rotation);
    // Fails when the rectangle reaches beyond the sheet's last row or column; a rectangle that
    // starts left of or above the sheet is moved onto it, as Excel does.
    static Result<ClientAnchor> fromFrame(const SheetGeometry& geometry, const Frame& frame, double rotation,
                                          std::uint16_t flags = ClientAnchor::moveOnly);
    // The rectangle in points that an anchor covers.
    static Frame rectangleOf(const SheetGeometry& geometry, const ClientAnchor& anchor);
};

} // namespace tavorin::xls
