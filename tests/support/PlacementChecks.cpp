#include "support/PlacementChecks.h"

#include "support/ExcelGrid.h"
#include "support/FittedFrame.h"


#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tavorin::test {
namespace {

std::string describe(const PointRect& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " + std::to_string(r.width) + " x " +
           std::to_string(r.height);
}

} // namespace

PointRect libreOfficeBlock(const QJsonObject& sheet, const ExpectedPicture& picture)
{
    auto sum = [](const QJsonArray& items, const char* size, int from, int to) {
        double total = 0;
        for (int i = from; i < to && i < items.size(); ++i)
            if (items[i].toObject()["visible"].toBool())
                total += items[i].toObject()[size].toDouble();
        return total;
    };
    const QJsonArray columns = sheet["columns"].toArray(), rows = sheet["rows"].toArray();
    EXPECT_GE(columns.size(), picture.lastColumn);
    EXPECT_GE(rows.size(), picture.lastRow);
    return {sum(columns, "width", 0, picture.firstColumn - 1), sum(rows, "height", 0, picture.firstRow - 1),
            sum(columns, "width", picture.firstColumn - 1, picture.lastColumn),
            sum(rows, "height", picture.firstRow - 1, picture.lastRow)};
}

void expectAnchoredInBlock(const QJsonObject& poiReport, const QJsonObject& poiSheet, const QJsonObject& picture,
                           const ExpectedPicture& expected, double magnification)
{
    auto grid = ExcelGrid::fromPoi(poiReport, poiSheet);
    ASSERT_TRUE(grid.has_value()) << "Normal font of unknown digit width";
    const PointRect block = grid->block(expected.firstRow, expected.firstColumn, expected.lastRow, expected.lastColumn);
    const PointRect frame = fittedFrame(block, expected.naturalWidth, expected.naturalHeight, expected.degrees, magnification);
    const PointRect anchored = grid->anchorRect(picture["anchor"].toArray());
    SCOPED_TRACE("block " + describe(block) + ", expected " + describe(frame) + ", anchored " + describe(anchored));
    EXPECT_NEAR(anchored.left, frame.left, 0.5);
    EXPECT_NEAR(anchored.top, frame.top, 0.5);
    EXPECT_NEAR(anchored.width, frame.width, 0.5);
    EXPECT_NEAR(anchored.height, frame.height, 0.5);
    EXPECT_EQ(picture["rotation"].toInt(), expected.degrees);
}

void expectShownInBlock(const QJsonObject& libreOfficeSheet, const QJsonObject& graphic, const ExpectedPicture& expected,
                        double magnification)
{
    EXPECT_EQ(graphic["rotation"].toInt(), ((360 - expected.degrees) % 360) * 100);
    const QJsonObject bounds = graphic["bounds"].toObject();
    ASSERT_FALSE(bounds.isEmpty()) << "LibreOffice gave no bounding rectangle";
    const PointRect block = libreOfficeBlock(libreOfficeSheet, expected);
    const PointRect shown{bounds["x"].toDouble(), bounds["y"].toDouble(), bounds["width"].toDouble(),
                          bounds["height"].toDouble()};
    // One part in a hundred of the block, and the rounding of LibreOffice's own rectangles.
    const double slackX = block.width / 100 + 5, slackY = block.height / 100 + 5;
    SCOPED_TRACE("block " + describe(block) + "; picture " + describe(shown) + " (1/100 mm)");
    EXPECT_GE(shown.left, block.left - slackX);
    EXPECT_GE(shown.top, block.top - slackY);
    EXPECT_LE(shown.left + shown.width, block.left + block.width + slackX);
    EXPECT_LE(shown.top + shown.height, block.top + block.height + slackY);
    EXPECT_NEAR(shown.centreX(), block.centreX(), slackX);
    EXPECT_NEAR(shown.centreY(), block.centreY(), slackY);
    const bool fillsWidth = std::abs(shown.width - magnification * block.width) <= slackX;
    const bool fillsHeight = std::abs(shown.height - magnification * block.height) <= slackY;
    EXPECT_TRUE(fillsWidth || fillsHeight) << "the picture touches neither side of its block";
}

} // namespace tavorin::test
