#pragma once

// Excel's geometry of a sheet as Apache POI reports its column and row records, and the
// rectangle in points that a picture's anchor covers in it.

#include "platform/xls/geometry/SheetGeometry.h"

#include <QJsonObject>

namespace tavorin::test {

struct PointRectangle {
    double left, top, width, height;
};

// The sheet's geometry from POI's report of the workbook (its Normal font) and of the sheet.
xls::SheetGeometry geometryFromPoi(const QJsonObject& report, const QJsonObject& sheet);
// The rectangle of a picture's anchor (POI's eight numbers) in that geometry.
PointRectangle anchorRectangle(const xls::SheetGeometry& geometry, const QJsonObject& picture);

} // namespace tavorin::test
