// Pictures that Excel itself placed at their natural size, read by Apache POI: turning their
// anchors into points with our geometry must give the picture's pixel size at 96 dpi (or at the
// picture's own resolution), and the inverse must give back the anchor Excel wrote.

#include "platform/xls/geometry/MaximumDigitWidth.h"
#include "platform/xls/geometry/SheetGeometry.h"

#include "support/Oracles.h"
#include "support/TestPaths.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::xls;

namespace {

struct PoiSheet {
    SheetGeometry::Layout layout;
    QJsonArray pictures;
};

int normalFontMdw(const QJsonObject& report)
{
    const QJsonObject font = report["normalFont"].toObject();
    return maximumDigitWidth(font["name"].toString().toStdString(), font["heightTwips"].toInt()).pixels;
}

PoiSheet sheetFromPoi(const QJsonObject& report, int index)
{
    PoiSheet sheet;
    const QJsonObject json = report["sheets"].toArray()[index].toObject();
    sheet.layout.maximumDigitWidth = normalFontMdw(report);
    if (json["defColWidth"].isDouble())
        sheet.layout.defaultColumnCharacters = json["defColWidth"].toInt();
    if (json["standardWidth"].isDouble())
        sheet.layout.standardWidthColdx = json["standardWidth"].toInt();
    if (json["defaultRowHeightTwips"].isDouble())
        sheet.layout.defaultRowHeightTwips = json["defaultRowHeightTwips"].toInt();
    sheet.layout.defaultRowsHidden = (json["defaultRowHeightFlags"].toInt() & 0x2) != 0;
    for (const auto& value : json["columns"].toArray()) {
        const QJsonObject c = value.toObject();
        sheet.layout.columns.push_back({c["first"].toInt(), c["last"].toInt(), c["coldx"].toInt(), c["hidden"].toBool()});
    }
    for (const auto& value : json["rows"].toArray()) {
        const QJsonObject r = value.toObject();
        sheet.layout.rows.push_back({r["row"].toInt(), r["heightTwips"].toInt(), r["hidden"].toBool()});
    }
    sheet.pictures = json["pictures"].toArray();
    return sheet;
}

// Natural size in points: pixels at the picture's resolution, 96 dpi when it states none.
double naturalPoints(const QJsonObject& picture, const char* pixels, const char* dpi)
{
    const double resolution = picture[dpi].isDouble() ? picture[dpi].toDouble() : 96.0;
    return picture[pixels].toDouble() * 72.0 / resolution;
}

// Checks every raster picture of the sheet; returns how many were checked.
int checkNaturalSizes(const std::string& fixture, int sheetIndex)
{
    const auto report = test::poiReport(test::workbookFixture(fixture));
    EXPECT_TRUE(report.has_value()) << "POI could not read " << fixture;
    if (!report)
        return 0;
    const PoiSheet sheet = sheetFromPoi(*report, sheetIndex);
    const SheetGeometry geometry(sheet.layout);
    int checked = 0;
    for (const auto& value : sheet.pictures) {
        const QJsonObject picture = value.toObject();
        if (!picture["width"].isDouble())
            continue; // metafiles: no pixel size to compare with
        const QJsonArray a = picture["anchor"].toArray();
        EXPECT_EQ(a.size(), 8);
        if (a.size() != 8)
            continue;
        const SheetGeometry::AnchorPoint left{a[0].toInt(), a[1].toInt()}, top{a[2].toInt(), a[3].toInt()};
        const SheetGeometry::AnchorPoint right{a[4].toInt(), a[5].toInt()}, bottom{a[6].toInt(), a[7].toInt()};
        const double width = geometry.xPointsOf(right) - geometry.xPointsOf(left);
        const double height = geometry.yPointsOf(bottom) - geometry.yPointsOf(top);
        const double expectedWidth = naturalPoints(picture, "width", "dpiX");
        const double expectedHeight = naturalPoints(picture, "height", "dpiY");
        EXPECT_NEAR(width, expectedWidth, 0.1) << fixture << " picture " << checked;
        EXPECT_NEAR(height, expectedHeight, 0.1) << fixture << " picture " << checked;
        // Placing the picture's far corner from its near corner lands on the anchor Excel wrote.
        const auto farColumn = geometry.columnAnchorAt(geometry.xPointsOf(left) + expectedWidth);
        const auto farRow = geometry.rowAnchorAt(geometry.yPointsOf(top) + expectedHeight);
        EXPECT_TRUE(farColumn && farRow);
        if (!farColumn || !farRow)
            continue;
        EXPECT_EQ(farColumn->index, right.index);
        EXPECT_NEAR(farColumn->offset, right.offset, 1) << fixture << " picture " << checked;
        EXPECT_EQ(farRow->index, bottom.index);
        EXPECT_NEAR(farRow->offset, bottom.offset, 1) << fixture << " picture " << checked;
        ++checked;
    }
    return checked;
}

} // namespace

TEST(PictureAnchorOracle, SimpleWithImagesBitmapsSpanTheirPixelSize)
{
    EXPECT_EQ(checkNaturalSizes("SimpleWithImages.xls", 0), 2); // the JPEG and the PNG
}

TEST(PictureAnchorOracle, SheetWithDrawingPictureSpansItsPixelSize)
{
    EXPECT_EQ(checkNaturalSizes("SheetWithDrawing.xls", 0), 1);
}

// Workbooks saved by a Japanese desktop: Normal font ＭＳ Ｐゴシック 11, so 8-pixel digits.
TEST(PictureAnchorOracle, JapaneseWorkbooksUse72PixelColumnsAnd18PixelRows)
{
    for (const char* fixture : {"27364.xls", "50298.xls", "jp_ledger.xls"}) {
        const auto report = test::poiReport(test::workbookFixture(fixture));
        ASSERT_TRUE(report.has_value()) << fixture;
        EXPECT_EQ(normalFontMdw(*report), 8) << fixture;
        const SheetGeometry geometry(sheetFromPoi(*report, 0).layout);
        if (std::string(fixture) != "jp_ledger.xls") { // saved by Excel itself
            EXPECT_EQ(geometry.columnPixels(0), 72) << fixture;
            EXPECT_DOUBLE_EQ(geometry.columnCharacters(0), 8.38) << fixture;
            EXPECT_EQ(geometry.rowPixels(0), 18) << fixture;
            EXPECT_DOUBLE_EQ(geometry.rangeBox(0, 0, 0, 0).height, 13.5) << fixture;
        }
    }
}

TEST(PictureAnchorOracle, StandardWidthInMultiplesOf32IsWholePixelsAtMdw8)
{
    const auto report = test::poiReport(test::workbookFixture("50298.xls"));
    ASSERT_TRUE(report.has_value());
    const QJsonObject digest = (*report)["sheets"].toArray()[2].toObject();
    ASSERT_EQ(digest["standardWidth"].toInt() % 32, 0);
    const SheetGeometry geometry(sheetFromPoi(*report, 2).layout);
    EXPECT_EQ(geometry.columnPixels(10) * 256, digest["standardWidth"].toInt() * 8);
}
