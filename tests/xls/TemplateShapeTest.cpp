// Shapes that the workbook already held, addressed by name through the worksheet operations:
// their frame is read from the anchor Excel wrote, and size, place and rotation set here are
// written back into their own records, where Apache POI reads them.

#include "EngineTestSupport.h"
#include "OpenedWorkbook.h"
#include "PoiGeometry.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/XlsApplication.h"

#include <gtest/gtest.h>

#include <set>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

using Opened = OpenedWorkbook;

void save(Opened& opened, const std::filesystem::path& path)
{
    auto saved = opened.workbook->saveAs(path);
    ASSERT_TRUE(saved.ok()) << saved.error().describe();
}

// xlrd and Gnumeric open the edited workbook too, Gnumeric without a warning.
void expectOtherReadersOpen(const std::filesystem::path& path, int pictures)
{
    auto xlrd = runOracle("xlrd_sheets.py", {QString::fromStdString(path.string())});
    EXPECT_TRUE(xlrd.finished && xlrd.exitCode == 0) << xlrd.standardError.toStdString();
    auto gnumeric = runOracle("gnumeric_dump.py", {QString::fromStdString(path.string())});
    ASSERT_TRUE(gnumeric.finished && gnumeric.exitCode == 0) << gnumeric.standardError.toStdString();
    auto report = QJsonDocument::fromJson(gnumeric.standardOutput.toUtf8()).object();
    EXPECT_TRUE(report["warnings"].toArray().isEmpty()) << gnumeric.standardOutput.left(400).toStdString();
    EXPECT_EQ(report["sheets"].toArray()[0].toObject()["pictures"].toArray().size(), pictures);
}

QJsonObject onlyPicture(const QJsonObject& report)
{
    auto pictures = report["sheets"].toArray()[0].toObject()["pictures"].toArray();
    EXPECT_EQ(pictures.size(), 1);
    return pictures.isEmpty() ? QJsonObject{} : pictures[0].toObject();
}

// ----------------------------------------------------------------------------------------------

// SheetWithDrawing.xls holds one PNG of 576 x 432 pixels that Excel placed at its natural size
// (432 x 324 points at 96 dpi) at A1, with no name of its own; its OBJ id is 2, so Excel shows it
// as "Picture 2" ("図 2" on a Japanese desktop).
TEST(TemplateShapes, AnUnnamedPictureIsFoundByExcelsNameAndMeasuredFromItsAnchor)
{
    TemporaryFolder folder;
    Opened opened = openCopy("SheetWithDrawing.xls", folder / "book.xls");
    auto& sheet = *opened.first;
    for (const char* name : {"Picture 2", "図 2"}) {
        auto width = sheet.shapeWidth(name);
        ASSERT_TRUE(width.ok()) << name << ": " << width.error().describe();
        EXPECT_NEAR(*width, 432, 0.5) << name;
        EXPECT_NEAR(*sheet.shapeHeight(name), 324, 0.5) << name;
        EXPECT_NEAR(*sheet.shapeLeft(name), 0, 1e-9) << name;
        EXPECT_NEAR(*sheet.shapeTop(name), 0, 1e-9) << name;
    }
    for (const char* name : {"Picture 1", "図 3", "Picture", ""}) {
        EXPECT_FALSE(sheet.shapeWidth(name).ok()) << name;
        EXPECT_FALSE(sheet.setShapeRotation(name, 90).ok()) << name;
    }
}

TEST(TemplateShapes, SizePlaceAndRotationAreWrittenIntoTheShapeAndReadBackByPoi)
{
    TemporaryFolder folder;
    Opened opened = openCopy("SheetWithDrawing.xls", folder / "book.xls");
    const QJsonObject before = onlyPicture(*poiReport(folder / "book.xls"));
    auto& sheet = *opened.first;
    const std::string name = "図 2";
    ASSERT_TRUE(sheet.setShapeWidth(name, 216).ok());
    EXPECT_NEAR(*sheet.shapeHeight(name), 162, 0.5); // 4:3 kept
    ASSERT_TRUE(sheet.setShapeLeft(name, 100).ok());
    ASSERT_TRUE(sheet.setShapeTop(name, 50).ok());
    ASSERT_TRUE(sheet.setShapeRotation(name, 90).ok());
    ASSERT_TRUE(sheet.incrementShapeLeft(name, 10.5).ok());
    ASSERT_TRUE(sheet.incrementShapeTop(name, -4).ok());
    const double width = *sheet.shapeWidth(name), height = *sheet.shapeHeight(name);
    EXPECT_DOUBLE_EQ(*sheet.shapeLeft(name), 110.5);
    EXPECT_DOUBLE_EQ(*sheet.shapeTop(name), 46);
    save(opened, folder / "book.xls");

    auto report = poiReport(folder / "book.xls");
    ASSERT_TRUE(report.has_value());
    const QJsonObject sheetJson = report->value("sheets").toArray()[0].toObject();
    const QJsonObject picture = onlyPicture(*report);
    EXPECT_EQ(picture["rotation"].toInt(), 90);
    EXPECT_EQ(picture["md5"], before["md5"]);
    EXPECT_EQ(picture["anchorType"], before["anchorType"]); // "move but don't size" stays
    // Turned by 90°: the anchor holds the frame turned about its centre.
    PointRectangle box = anchorRectangle(geometryFromPoi(*report, sheetJson), picture);
    EXPECT_NEAR(box.width, height, 0.5);
    EXPECT_NEAR(box.height, width, 0.5);
    EXPECT_NEAR(box.left + box.width / 2, 110.5 + width / 2, 0.5);
    EXPECT_NEAR(box.top + box.height / 2, 46 + height / 2, 0.5);

    expectOtherReadersOpen(folder / "book.xls", 1);

    // Opened again, the frame comes back from the anchor as it was set.
    Opened again = openWorkbook(folder / "book.xls");
    EXPECT_NEAR(*again.first->shapeLeft(name), 110.5, 0.5);
    EXPECT_NEAR(*again.first->shapeTop(name), 46, 0.5);
    EXPECT_NEAR(*again.first->shapeWidth(name), 216, 0.5);
    EXPECT_NEAR(*again.first->shapeHeight(name), 162, 0.5);
}

// picture_in_cell.xls (saved by LibreOffice) holds "Graphics 1", sized with its cells and without
// a rotation property: turning it adds one, and everything else of the shape stays.
TEST(TemplateShapes, ANamedPictureWithoutRotationGetsOneAndKeepsItsNameAndAnchoring)
{
    TemporaryFolder folder;
    Opened opened = openCopy("picture_in_cell.xls", folder / "book.xls");
    const QJsonObject before = onlyPicture(*poiReport(folder / "book.xls"));
    auto& sheet = *opened.first;
    const double left = *sheet.shapeLeft("Graphics 1"), top = *sheet.shapeTop("Graphics 1");
    const double width = *sheet.shapeWidth("Graphics 1"), height = *sheet.shapeHeight("Graphics 1");
    ASSERT_TRUE(sheet.setShapeRotation("Graphics 1", 180).ok());
    EXPECT_DOUBLE_EQ(*sheet.shapeWidth("Graphics 1"), width);
    EXPECT_DOUBLE_EQ(*sheet.shapeHeight("Graphics 1"), height);
    std::string added = [&] {
        EXPECT_TRUE(sheet.selectRange({{5, 2}, {9, 4}}).ok());
        return *sheet.insertPicture(pictureFixture("wide.gif"));
    }();
    save(opened, folder / "book.xls");

    auto report = poiReport(folder / "book.xls");
    ASSERT_TRUE(report.has_value());
    auto pictures = report->value("sheets").toArray()[0].toObject()["pictures"].toArray();
    ASSERT_EQ(pictures.size(), 2);
    const QJsonObject picture = pictures[0].toObject();
    EXPECT_EQ(picture["name"], before["name"]);
    EXPECT_EQ(picture["md5"], before["md5"]);
    EXPECT_EQ(picture["anchorType"], before["anchorType"]);
    EXPECT_EQ(picture["anchor"], before["anchor"]); // 180° turns nothing sideways
    EXPECT_EQ(picture["rotation"].toInt(), 180);
    EXPECT_EQ(pictures[1].toObject()["name"].toString().remove(QChar(0)).toStdString(), added);

    expectOtherReadersOpen(folder / "book.xls", 2);

    Opened again = openWorkbook(folder / "book.xls");
    EXPECT_NEAR(*again.first->shapeLeft("Graphics 1"), left, 1e-9);
    EXPECT_NEAR(*again.first->shapeTop("Graphics 1"), top, 1e-9);
}

// SimpleWithImages.xls holds four unnamed pictures with OBJ ids 1, 2, 5 and 6.
TEST(TemplateShapes, NewPicturesTakeNamesNoShapeOfTheSheetAnswersTo)
{
    TemporaryFolder folder;
    Opened opened = openCopy("SimpleWithImages.xls", folder / "book.xls");
    auto& sheet = *opened.first;
    std::set<std::string> existing;
    for (int id : {1, 2, 5, 6})
        existing.insert("図 " + std::to_string(id));
    std::map<std::string, double> widthBefore;
    for (const auto& name : existing) {
        auto width = sheet.shapeWidth(name);
        ASSERT_TRUE(width.ok()) << name;
        widthBefore[name] = *width;
    }
    std::set<std::string> added;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(sheet.selectRange({{40 + 20 * i, 2}, {45 + 20 * i, 4}}).ok());
        auto name = sheet.insertPicture(pictureFixture("land.jpg"));
        ASSERT_TRUE(name.ok());
        EXPECT_FALSE(existing.contains(*name)) << *name;
        EXPECT_TRUE(added.insert(*name).second) << *name;
        EXPECT_NEAR(*sheet.shapeWidth(*name), 240, 1e-9) << *name;
    }
    for (const auto& [name, width] : widthBefore)
        EXPECT_DOUBLE_EQ(*sheet.shapeWidth(name), width) << name;
}

} // namespace
