// Rotations in [45°, 135°) and [225°, 315°) anchor a picture by its frame turned a quarter about its
// centre, as Excel does: POI finds exactly those anchors turned (by Excel's grid rules), and LibreOffice,
// which turns them back when it reads them, shows every picture the way it was set.

#include "EngineTestSupport.h"

using namespace tavorin;
using namespace tavorin::test;

namespace {

struct Turn {
    double degrees;
    bool sideways;
};

// land.jpg (240 x 180 points) at D30, D55, ... turned by each angle around the boundaries.
TEST(Rotation, PoiFindsTheAnchorTurnedAndLibreOfficeShowsTheFrameAsSet)
{
    const Turn turns[] = {{0, false},    {44.9, false}, {45, true},    {90, true},
                          {134.9, true}, {135, false},  {180, false},  {224.9, false},
                          {225, true},   {270, true},   {314.9, true}, {315, false}};
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "ledger.xls");
    ASSERT_TRUE(opened.first);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < std::size(turns); ++i) {
        names.push_back(
            insertAt(*opened.first, 30 + 25 * static_cast<int>(i), 4, pictureFixture("land.jpg")));
        ASSERT_TRUE(opened.first->setShapeRotation(names.back(), turns[i].degrees).ok());
    }
    opened.save();
    EXPECT_EQ(layoutProblemsOf(opened.path), "");

    auto poi = poiReport(opened.path);
    ASSERT_TRUE(poi);
    const QJsonObject sheet = sheetNamed(*poi, "Sheet1", "POI");
    auto grid = ExcelGrid::fromPoi(*poi, sheet);
    ASSERT_TRUE(grid);
    auto libreOffice = libreOfficeReport(opened.path);
    ASSERT_TRUE(libreOffice);
    const QJsonArray graphics = sheetNamed(*libreOffice, "Sheet1", "LibreOffice")["graphics"].toArray();
    ASSERT_EQ(graphics.size(), static_cast<qsizetype>(std::size(turns)));
    for (std::size_t i = 0; i < std::size(turns); ++i) {
        const Turn& turn = turns[i];
        SCOPED_TRACE(turn.degrees);
        const QJsonObject picture = poiPicture(sheet, names[i]);
        EXPECT_EQ(picture["rotation"].toInt(), static_cast<int>(std::floor(turn.degrees)))
            << "POI keeps whole degrees";
        const PointRect cell =
            grid->block(30 + 25 * static_cast<int>(i), 4, 30 + 25 * static_cast<int>(i), 4);
        const PointRect anchored = grid->anchorRect(picture["anchor"].toArray());
        EXPECT_NEAR(anchored.width, turn.sideways ? 180 : 240, 0.5);
        EXPECT_NEAR(anchored.height, turn.sideways ? 240 : 180, 0.5);
        EXPECT_NEAR(anchored.centreX(), cell.left + 120, 0.5);
        EXPECT_NEAR(anchored.centreY(), cell.top + 90, 0.5);

        QJsonObject graphic;
        for (const auto& value : graphics)
            if (value.toObject()["name"].toString().toStdString() == names[i])
                graphic = value.toObject();
        ASSERT_FALSE(graphic.isEmpty());
        EXPECT_NEAR(graphic["rotation"].toDouble(), std::fmod(360 - turn.degrees, 360) * 100, 1)
            << "counter-clockwise";
        // LibreOffice's columns are wider than Excel's, its rows the same: the 4:3 frame comes back
        // within that widening; turned the wrong way it would read 3:4.
        const double ratio = graphic["width"].toDouble() / graphic["height"].toDouble();
        EXPECT_GT(ratio, 1.2);
        EXPECT_LT(ratio, 1.5);
    }
}

} // namespace
