#pragma once

#include "platform/xls/drawing/ClientAnchor.h"
#include "platform/xls/Result.h"
#include "platform/xls/geometry/SheetGeometry.h"

namespace tavorin::xls {

// Turns a shape's frame (points from the sheet's top-left corner, unrotated) into the two-cell
// anchor that Excel stores, through the sheet's geometry in Excel's pixel model. A shape turned
// sideways is anchored by its frame turned by 90° about its centre, since that is the rectangle it
// covers on screen; readers turn it back. "Sideways" is the half-open ranges [45°, 135°) and
// [225°, 315°): exactly 45° and 225° count as sideways, exactly 135° and 315° do not. That is the
// cut LibreOffice makes when it reads an anchor (it swaps at 45° and not at 135°), so a picture
// turned by exactly those angles keeps its size there; POI reports the anchor as stored and
// agrees with any cut.
struct ShapeAnchor {
    struct Frame {
        double left = 0, top = 0, width = 0, height = 0;
    };

    // The rectangle the anchor holds for a frame and rotation (degrees clockwise).
    static Frame anchoredRectangle(const Frame& frame, double rotation);
    // A rectangle that does not lie on the sheet is moved onto it, as Excel does.
    static Result<ClientAnchor> fromFrame(const SheetGeometry& geometry, const Frame& frame, double rotation,
                                          std::uint16_t flags = ClientAnchor::moveOnly);
    // The rectangle in points that an anchor covers.
    static Frame rectangleOf(const SheetGeometry& geometry, const ClientAnchor& anchor);
};

} // namespace tavorin::xls
