// Shapes a template already held, addressed by name: their frame is read from the anchor the template's
// program wrote; size, place and rotation set here go into their own records, where POI reads them
// (judged with Excel's grid rules), and every other shape stays where it was.

#include "EngineTestSupport.h"

using namespace tavorin;
using namespace tavorin::test;

namespace {

QJsonArray picturesOf(const std::optional<QJsonObject>& report)
{
    return report ? sheetNamed(*report, "Sheet1", "POI")["pictures"].toArray() : QJsonArray{};
}

// SheetWithDrawing.xls holds an unnamed PNG (576 x 432 pixels) that Excel placed at A1 at 432 x 324
// points; its OBJ id is 2, so Excel calls it "Picture 2" ("図 2" in Japanese). Made half as wide, moved
// and turned a quarter, its anchor holds the frame turned about its centre; reopened, it is as set.
TEST(TemplateShapes, AnUnnamedPictureIsFoundByExcelsNameAndPlacedWhereSet)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "SheetWithDrawing.xls");
    ASSERT_TRUE(opened.first);
    auto& sheet = *opened.first;
    for (const char* name : {"Picture 2", "図 2"}) {
        auto width = sheet.shapeWidth(name);
        ASSERT_TRUE(width.ok()) << name << ": " << width.error().describe();
        EXPECT_NEAR(*width, 432, 0.5);
        EXPECT_NEAR(*sheet.shapeHeight(name), 324, 0.5);
        EXPECT_NEAR(*sheet.shapeLeft(name), 0, 1e-9);
        EXPECT_NEAR(*sheet.shapeTop(name), 0, 1e-9);
    }
    for (const char* name : {"Picture 1", "図 3", "Picture", ""}) {
        EXPECT_FALSE(sheet.shapeWidth(name).ok()) << name;
        EXPECT_FALSE(sheet.setShapeRotation(name, 90).ok()) << name;
    }
    const std::string name = "図 2";
    ASSERT_TRUE(sheet.setShapeWidth(name, 216).ok());
    EXPECT_NEAR(*sheet.shapeHeight(name), 162, 0.5) << "4:3 kept";
    ASSERT_TRUE(sheet.setShapeLeft(name, 100).ok());
    ASSERT_TRUE(sheet.setShapeTop(name, 50).ok());
    ASSERT_TRUE(sheet.setShapeRotation(name, 90).ok());
    ASSERT_TRUE(sheet.incrementShapeLeft(name, 10.5).ok());
    ASSERT_TRUE(sheet.incrementShapeTop(name, -4).ok());
    opened.save();
    EXPECT_EQ(layoutProblemsOf(opened.path), "");

    const QJsonObject before = picturesOf(poiReport(workbookFixture("SheetWithDrawing.xls")))[0].toObject();
    auto report = poiReport(opened.path);
    ASSERT_TRUE(report);
    const QJsonObject picture = picturesOf(report)[0].toObject();
    EXPECT_EQ(picture["rotation"].toInt(), 90);
    EXPECT_EQ(picture["md5"], before["md5"]);
    EXPECT_EQ(picture["anchorType"], before["anchorType"]) << "move but don't size stays";
    auto grid = ExcelGrid::fromPoi(*report, sheetNamed(*report, "Sheet1", "POI"));
    ASSERT_TRUE(grid);
    const PointRect anchored = grid->anchorRect(picture["anchor"].toArray());
    EXPECT_NEAR(anchored.width, 162, 0.5);
    EXPECT_NEAR(anchored.height, 216, 0.5);
    EXPECT_NEAR(anchored.centreX(), 110.5 + 108, 0.5);
    EXPECT_NEAR(anchored.centreY(), 46 + 81, 0.5);

    OpenedWorkbook again = openWorkbook(opened.path);
    ASSERT_TRUE(again.first);
    EXPECT_NEAR(*again.first->shapeLeft(name), 110.5, 0.5);
    EXPECT_NEAR(*again.first->shapeTop(name), 46, 0.5);
    EXPECT_NEAR(*again.first->shapeWidth(name), 216, 0.5);
    EXPECT_NEAR(*again.first->shapeHeight(name), 162, 0.5);
}

// picture_in_cell.xls (saved by LibreOffice) holds "Graphics 1", sized with its cells and with no
// rotation property: turning it adds one and everything else of the shape stays.
TEST(TemplateShapes, ANamedPictureWithoutRotationGetsOneAndKeepsTheRest)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "picture_in_cell.xls");
    ASSERT_TRUE(opened.first);
    const double width = *opened.first->shapeWidth("Graphics 1"),
                 height = *opened.first->shapeHeight("Graphics 1");
    ASSERT_TRUE(opened.first->setShapeRotation("Graphics 1", 180).ok());
    EXPECT_DOUBLE_EQ(*opened.first->shapeWidth("Graphics 1"), width);
    EXPECT_DOUBLE_EQ(*opened.first->shapeHeight("Graphics 1"), height);
    opened.save();

    QJsonObject before = picturesOf(poiReport(workbookFixture("picture_in_cell.xls")))[0].toObject();
    const QJsonObject after = picturesOf(poiReport(opened.path))[0].toObject();
    EXPECT_EQ(after["rotation"].toInt(), 180);
    before["rotation"] = 180;
    EXPECT_EQ(after, before) << "name, bytes, anchor (180° turns nothing sideways) and anchoring stay";
}

// SimpleWithImages.xls holds four unnamed pictures with OBJ ids 1, 2, 5 and 6. New pictures take
// names none of them answers to; turning and moving one of them leaves the others where they were.
TEST(TemplateShapes, NewNamesAvoidTheTemplatesAndOnlyThePlacedShapeMoves)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "SimpleWithImages.xls");
    ASSERT_TRUE(opened.first);
    auto& sheet = *opened.first;
    std::set<std::string> names{"図 1", "図 2", "図 5", "図 6"};
    for (const auto& name : names)
        EXPECT_TRUE(sheet.shapeWidth(name).ok()) << name;
    for (int i = 0; i < 6; ++i) {
        const std::string added = insertAt(sheet, 40 + 20 * i, 2, pictureFixture("land.jpg"));
        EXPECT_TRUE(names.insert(added).second) << added << " is taken";
    }
    ASSERT_TRUE(sheet.setShapeRotation("図 5", 30).ok());
    ASSERT_TRUE(sheet.incrementShapeTop("図 5", 40).ok());
    opened.save();

    const QJsonArray before = picturesOf(poiReport(workbookFixture("SimpleWithImages.xls")));
    const QJsonArray after = picturesOf(poiReport(opened.path));
    ASSERT_EQ(after.size(), before.size() + 6);
    for (qsizetype i : {0, 1, 3})
        EXPECT_EQ(after[i], before[i]) << "picture " << i;
    EXPECT_EQ(after[2].toObject()["rotation"].toInt(), 30);
    EXPECT_EQ(after[2].toObject()["md5"], before[2].toObject()["md5"]);
    EXPECT_NE(after[2].toObject()["anchor"], before[2].toObject()["anchor"]);
    EXPECT_EQ(DrawingCensus::of(opened.path).idProblems(), "");
}

} // namespace
