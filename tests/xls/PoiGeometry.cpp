#include "PoiGeometry.h"

#include "platform/xls/geometry/MaximumDigitWidth.h"

#include <QJsonArray>

#include <gtest/gtest.h>

namespace tavorin::test {

using xls::SheetGeometry;

SheetGeometry geometryFromPoi(const QJsonObject& report, const QJsonObject& sheet)
{
    SheetGeometry::Layout layout;
    const QJsonObject font = report["normalFont"].toObject();
    layout.maximumDigitWidth =
        xls::maximumDigitWidth(font["name"].toString().toStdString(), font["heightTwips"].toInt()).pixels;
    if (sheet["defColWidth"].isDouble())
        layout.defaultColumnCharacters = sheet["defColWidth"].toInt();
    if (sheet["standardWidth"].isDouble())
        layout.standardWidthColdx = sheet["standardWidth"].toInt();
    if (sheet["defaultRowHeightTwips"].isDouble())
        layout.defaultRowHeightTwips = sheet["defaultRowHeightTwips"].toInt();
    for (const auto& value : sheet["columns"].toArray()) {
        const QJsonObject c = value.toObject();
        layout.columns.push_back(
            {c["first"].toInt(), c["last"].toInt(), c["coldx"].toInt(), c["hidden"].toBool()});
    }
    for (const auto& value : sheet["rows"].toArray()) {
        const QJsonObject r = value.toObject();
        layout.rows.push_back({r["row"].toInt(), r["heightTwips"].toInt(), r["hidden"].toBool()});
    }
    return SheetGeometry(layout);
}

PointRectangle anchorRectangle(const SheetGeometry& geometry, const QJsonObject& picture)
{
    const QJsonArray a = picture["anchor"].toArray();
    EXPECT_EQ(a.size(), 8);
    if (a.size() != 8)
        return {};
    double left = geometry.xPointsOf({a[0].toInt(), a[1].toInt()});
    double top = geometry.yPointsOf({a[2].toInt(), a[3].toInt()});
    double right = geometry.xPointsOf({a[4].toInt(), a[5].toInt()});
    double bottom = geometry.yPointsOf({a[6].toInt(), a[7].toInt()});
    return {left, top, right - left, bottom - top};
}

} // namespace tavorin::test
