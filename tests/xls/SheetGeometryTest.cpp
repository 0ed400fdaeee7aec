#include "platform/xls/geometry/SheetGeometry.h"

#include <gtest/gtest.h>

using namespace tavorin::xls;

namespace {

SheetGeometry::Layout arialDefaults()
{
    SheetGeometry::Layout layout;
    layout.maximumDigitWidth = 7;
    layout.defaultColumnCharacters = 8;
    layout.defaultRowHeightTwips = 255;
    return layout;
}

} // namespace

TEST(SheetGeometry, DefaultArialSheetHas48PointColumnsAnd12_75PointRows)
{
    const SheetGeometry geometry(arialDefaults());
    EXPECT_EQ(geometry.columnPixels(0), 64);
    EXPECT_EQ(geometry.rowPixels(0), 17);
    const auto box = geometry.rangeBox(2, 1, 9, 4); // B3:E10
    EXPECT_DOUBLE_EQ(box.left, 48.0);
    EXPECT_DOUBLE_EQ(box.top, 25.5);
    EXPECT_DOUBLE_EQ(box.width, 192.0);
    EXPECT_DOUBLE_EQ(box.height, 102.0);
    EXPECT_DOUBLE_EQ(geometry.columnCharacters(3), 8.43);
}

TEST(SheetGeometry, RangeCornersMayComeInAnyOrder)
{
    const SheetGeometry geometry(arialDefaults());
    const auto forward = geometry.rangeBox(2, 1, 9, 4);
    const auto backward = geometry.rangeBox(9, 4, 2, 1);
    EXPECT_DOUBLE_EQ(forward.left, backward.left);
    EXPECT_DOUBLE_EQ(forward.top, backward.top);
    EXPECT_DOUBLE_EQ(forward.width, backward.width);
    EXPECT_DOUBLE_EQ(forward.height, backward.height);
}

TEST(SheetGeometry, ColinfoWinsOverStandardWidthWhichWinsOverDefColWidth)
{
    auto layout = arialDefaults();
    layout.defaultColumnCharacters = 20;          // would be 145 -> 152 px
    EXPECT_EQ(SheetGeometry(layout).columnPixels(5), 152);
    layout.standardWidthColdx = 2304 * 7 / 8;     // 2016/256 characters -> 55 px at MDW 7
    EXPECT_EQ(SheetGeometry(layout).columnPixels(5), 55);
    layout.columns.push_back({5, 6, 4096, false}); // 16 characters incl. padding: 112 px
    const SheetGeometry geometry(layout);
    EXPECT_EQ(geometry.columnPixels(5), 112);
    EXPECT_EQ(geometry.columnPixels(6), 112);
    EXPECT_EQ(geometry.columnPixels(7), 55);
}

TEST(SheetGeometry, HiddenColumnsAndRowsTakeNoSpace)
{
    auto layout = arialDefaults();
    layout.columns.push_back({1, 2, 4096, true});
    layout.rows.push_back({3, 600, true});
    const SheetGeometry geometry(layout);
    EXPECT_EQ(geometry.columnPixels(1), 0);
    EXPECT_EQ(geometry.columnLeftPixels(3), 64);
    EXPECT_EQ(geometry.rowPixels(3), 0);
    EXPECT_EQ(geometry.rowTopPixels(5), 4 * 17);
    EXPECT_DOUBLE_EQ(geometry.rangeBox(0, 1, 0, 2).width, 0.0);
}

TEST(SheetGeometry, DefaultRowsMayBeHidden)
{
    auto layout = arialDefaults();
    layout.defaultRowsHidden = true;
    layout.rows.push_back({4, 300, false});
    const SheetGeometry geometry(layout);
    EXPECT_EQ(geometry.rowPixels(0), 0);
    EXPECT_EQ(geometry.rowPixels(4), 20);
    EXPECT_EQ(geometry.rowTopPixels(100), 20);
}

TEST(SheetGeometry, RowHeightsFromTwipsSnapToWholePixels)
{
    EXPECT_EQ(SheetGeometry::pixelsFromTwips(255), 17);  // 12.75 pt
    EXPECT_EQ(SheetGeometry::pixelsFromTwips(270), 18);  // 13.5 pt
    EXPECT_EQ(SheetGeometry::pixelsFromTwips(300), 20);  // 15 pt
    EXPECT_EQ(SheetGeometry::pixelsFromTwips(0), 0);
    EXPECT_EQ(SheetGeometry::pixelsFromTwips(-40), 0);
}

TEST(SheetGeometry, LastRowTopCountsEveryCustomRowAbove)
{
    auto layout = arialDefaults();
    // Every 100th row 30 px high, every 100th + 50 hidden.
    long long expected = 0;
    for (int row = 0; row < SheetGeometry::rowCount; ++row) {
        int pixels = 17;
        if (row % 100 == 0) {
            layout.rows.push_back({row, 450, false});
            pixels = 30;
        } else if (row % 100 == 50) {
            layout.rows.push_back({row, 255, true});
            pixels = 0;
        }
        if (row < 65535)
            expected += pixels;
    }
    const SheetGeometry geometry(layout);
    EXPECT_EQ(geometry.rowTopPixels(65535), expected);
    EXPECT_EQ(geometry.rowPixels(65500), 30);
    EXPECT_EQ(geometry.rowPixels(65450), 0);
    EXPECT_EQ(geometry.rowPixels(65451), 17);
}

TEST(SheetGeometry, LaterRowRecordForTheSameRowWins)
{
    auto layout = arialDefaults();
    layout.rows.push_back({2, 600, false});
    layout.rows.push_back({2, 300, false});
    EXPECT_EQ(SheetGeometry(layout).rowPixels(2), 20);
}

TEST(SheetGeometry, OutOfSheetIndexesAreHarmless)
{
    auto layout = arialDefaults();
    layout.columns.push_back({250, 256, 512, false}); // files may say 256 as the last column
    layout.columns.push_back({-4, -1, 512, false});
    layout.rows.push_back({70000, 500, false});
    const SheetGeometry geometry(layout);
    EXPECT_EQ(geometry.columnPixels(255), 14);
    EXPECT_EQ(geometry.columnPixels(256), 0);
    EXPECT_EQ(geometry.columnPixels(-1), 0);
    EXPECT_EQ(geometry.rowPixels(65536), 0);
    EXPECT_EQ(geometry.rowTopPixels(65536), 65536LL * 17);
}

TEST(SheetGeometry, AnchorPositionsConvertBothWays)
{
    const SheetGeometry geometry(arialDefaults());
    // 300 px from the left: column E (4) starts at 256 px, 44/64 of 1024 = 704.
    EXPECT_EQ(geometry.columnAnchorAt(300 * 0.75), (SheetGeometry::AnchorPoint{4, 704}));
    EXPECT_DOUBLE_EQ(geometry.xPointsOf({4, 704}), 225.0);
    // 321 px from the top: row 19 (18) starts at 306 px, 15/17 of 256 = 225.9, rounded 226.
    EXPECT_EQ(geometry.rowAnchorAt(321 * 0.75), (SheetGeometry::AnchorPoint{18, 226}));
    // A cell edge is the start of the next cell.
    EXPECT_EQ(geometry.columnAnchorAt(192 * 0.75), (SheetGeometry::AnchorPoint{3, 0}));
    EXPECT_EQ(geometry.rowAnchorAt(0.0), (SheetGeometry::AnchorPoint{0, 0}));
    // Just before an edge rounds onto it.
    EXPECT_EQ(geometry.columnAnchorAt(191.99 * 0.75), (SheetGeometry::AnchorPoint{3, 0}));
}

TEST(SheetGeometry, AnchorPositionsSkipHiddenColumnsAndStopAtTheSheetEnd)
{
    auto layout = arialDefaults();
    layout.columns.push_back({1, 1, 0, true});
    const SheetGeometry geometry(layout);
    EXPECT_EQ(geometry.columnAnchorAt(64 * 0.75), (SheetGeometry::AnchorPoint{2, 0}));
    EXPECT_EQ(geometry.columnAnchorAt(-1.0), std::nullopt);
    EXPECT_EQ(geometry.columnAnchorAt(255 * 64 * 0.75 + 10000.0), std::nullopt);
    EXPECT_EQ(geometry.rowAnchorAt(65536 * 17 * 0.75 + 1.0), std::nullopt);
    const auto last = geometry.rowAnchorAt(65536 * 17 * 0.75);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->index, 65535);
    EXPECT_EQ(last->offset, 255);
}

TEST(SheetGeometry, EveryPixelRoundTripsThroughAnAnchor)
{
    auto layout = arialDefaults();
    layout.columns.push_back({3, 3, 1000, false});
    layout.rows.push_back({2, 700, false});
    const SheetGeometry geometry(layout);
    for (int pixel = 0; pixel < 2000; ++pixel) {
        const auto column = geometry.columnAnchorAt(pixel * 0.75);
        const auto row = geometry.rowAnchorAt(pixel * 0.75);
        ASSERT_TRUE(column && row);
        // One anchor unit is at most 1/1024 of a column or 1/256 of a row: well under half a pixel.
        ASSERT_NEAR(geometry.xPointsOf(*column), pixel * 0.75, 0.5 * 0.75) << pixel;
        ASSERT_NEAR(geometry.yPointsOf(*row), pixel * 0.75, 0.5 * 0.75) << pixel;
    }
}
