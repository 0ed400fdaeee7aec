// Which rotations anchor a picture by its frame turned by 90°: the half-open ranges [45°, 135°)
// and [225°, 315°). Checked on the rule itself, then on saved workbooks: POI must find the anchor
// turned exactly for those angles, and LibreOffice, which turns such anchors back when it reads
// them, must show every picture with the frame that was set (landscape stays landscape).

#include "EngineTestSupport.h"
#include "PoiGeometry.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/drawing/ShapeAnchor.h"
#include "platform/xls/XlsApplication.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

bool turnedSideways(double rotation)
{
    auto box = ShapeAnchor::anchoredRectangle({10, 20, 40, 30}, rotation);
    return box.width == 30 && box.height == 40;
}

TEST(RotationBoundary, ExactlyFortyFiveAndTwoTwentyFiveTurnTheAnchorAndOneThirtyFiveAndThreeFifteenDoNot)
{
    for (double rotation : {45.0, 45.1, 90.0, 134.9, 134.999, 225.0, 225.1, 270.0, 314.9, 314.999})
        EXPECT_TRUE(turnedSideways(rotation)) << rotation;
    for (double rotation : {0.0, 44.9, 44.999, 135.0, 135.1, 180.0, 224.9, 315.0, 315.1, 359.9})
        EXPECT_FALSE(turnedSideways(rotation)) << rotation;
    // Angles outside one turn count as the same angle within it.
    for (double rotation : {-315.0, -90.0, -135.0, 405.0, 450.0, 585.0})
        EXPECT_TRUE(turnedSideways(rotation)) << rotation;
    for (double rotation : {-45.0, -225.0, -360.0, 360.0, 495.0, 675.0})
        EXPECT_FALSE(turnedSideways(rotation)) << rotation;
}

TEST(RotationBoundary, TheTurnedAnchorKeepsTheFramesCentre)
{
    auto box = ShapeAnchor::anchoredRectangle({10, 20, 40, 30}, 45);
    EXPECT_DOUBLE_EQ(box.left + box.width / 2, 30);
    EXPECT_DOUBLE_EQ(box.top + box.height / 2, 35);
    // Turning the anchored rectangle once more gives the frame back: how a frame is read.
    auto back = ShapeAnchor::anchoredRectangle(box, 45);
    EXPECT_DOUBLE_EQ(back.left, 10);
    EXPECT_DOUBLE_EQ(back.top, 20);
    EXPECT_DOUBLE_EQ(back.width, 40);
    EXPECT_DOUBLE_EQ(back.height, 30);
}

TEST(RotationBoundary, PoiFindsTheAnchorTurnedAndLibreOfficeShowsTheFrameAtEveryBoundary)
{
    TemporaryFolder folder;
    std::filesystem::copy_file(workbookFixture("ledger.xls"), folder / "book.xls");
    auto application = std::make_shared<XlsApplication>();
    ASSERT_TRUE(application->setDisplayAlerts(false).ok());
    auto workbook = *application->openWorkbook(folder / "book.xls");
    auto sheet = *workbook->sheetAt(1);
    struct Placed {
        std::string name;
        double rotation;
        bool sideways;
        double width, height;
    };
    const std::vector<std::pair<double, bool>> angles{
        {44.9, false},  {45, true},  {45.1, true},  {134.9, true}, {135, false}, {135.1, false},
        {224.9, false}, {225, true}, {225.1, true}, {314.9, true}, {315, false}, {315.1, false}};
    std::vector<Placed> placed;
    int row = 30;
    for (const auto& [rotation, sideways] : angles) {
        ASSERT_TRUE(sheet->selectRange({{row, 4}, {row + 3, 6}}).ok());
        auto name = sheet->insertPicture(pictureFixture("land.jpg")); // 240 x 180 points
        ASSERT_TRUE(name.ok());
        ASSERT_TRUE(sheet->setShapeRotation(*name, rotation).ok());
        placed.push_back({*name, rotation, sideways, *sheet->shapeWidth(*name), *sheet->shapeHeight(*name)});
        row += 25;
    }
    ASSERT_TRUE(workbook->saveAs(folder / "book.xls").ok());

    auto poi = poiReport(folder / "book.xls");
    ASSERT_TRUE(poi.has_value());
    const QJsonObject poiSheet = poi->value("sheets").toArray()[0].toObject();
    SheetGeometry geometry = geometryFromPoi(*poi, poiSheet);
    auto lo = oracleContent("lo_dump.py", folder / "book.xls");
    const QJsonArray graphics = lo["sheets"].toArray()[0].toObject()["graphics"].toArray();
    ASSERT_EQ(graphics.size(), static_cast<int>(placed.size()));

    for (const auto& p : placed) {
        QJsonObject picture;
        for (const auto& value : poiSheet["pictures"].toArray())
            if (value.toObject()["name"].toString().remove(QChar(0)).toStdString() == p.name)
                picture = value.toObject();
        ASSERT_FALSE(picture.isEmpty()) << p.name;
        // POI keeps whole degrees of the 16.16 value.
        EXPECT_EQ(picture["rotation"].toInt(), static_cast<int>(std::floor(p.rotation))) << p.rotation;
        PointRectangle box = anchorRectangle(geometry, picture);
        EXPECT_NEAR(box.width, p.sideways ? p.height : p.width, 0.5) << p.rotation;
        EXPECT_NEAR(box.height, p.sideways ? p.width : p.height, 0.5) << p.rotation;

        QJsonObject graphic;
        for (const auto& value : graphics)
            if (value.toObject()["name"].toString().toStdString() == p.name)
                graphic = value.toObject();
        ASSERT_FALSE(graphic.isEmpty()) << p.name;
        // Counter-clockwise hundredths of a degree there.
        EXPECT_NEAR(graphic["rotation"].toDouble(), (360 - p.rotation) * 100, 1) << p.rotation;
        // LibreOffice's columns are wider than Excel's, its rows the same: the frame's ratio of
        // 4:3 comes back within that widening, and turned the wrong way would read 3:4.
        double ratio = graphic["width"].toDouble() / graphic["height"].toDouble();
        EXPECT_GT(ratio, 1.2) << p.rotation;
        EXPECT_LT(ratio, 1.5) << p.rotation;
    }
}

} // namespace
