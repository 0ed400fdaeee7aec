#include "support/RecordingSpreadsheet.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"

#include <gtest/gtest.h>

using namespace tavorin;
using tavorin::test::RecordingSpreadsheet;

namespace {

struct Opened {
    std::unique_ptr<SpreadsheetApplication> application;
    std::shared_ptr<SpreadsheetWorkbook> workbook;
};

Opened open(RecordingSpreadsheet& spreadsheet)
{
    Opened opened{spreadsheet.makeApplication(), nullptr};
    auto workbook = opened.application->openWorkbook("/tmp/book.xls");
    EXPECT_TRUE(workbook.ok());
    if (workbook.ok())
        opened.workbook = *workbook;
    return opened;
}

std::shared_ptr<SpreadsheetWorksheet> sheet(SpreadsheetWorkbook& workbook, const std::string& name)
{
    auto found = workbook.worksheet(name);
    EXPECT_TRUE(found.ok()) << name;
    return found.ok() ? *found : nullptr;
}

} // namespace

TEST(RecordingSpreadsheet, RecordsCallsWithArgumentsInOrder)
{
    RecordingSpreadsheet spreadsheet({"Sheet1"});
    auto [application, workbook] = open(spreadsheet);
    ASSERT_TRUE(application->setScreenUpdating(false).ok());
    auto sheet1 = sheet(*workbook, "Sheet1");
    ASSERT_TRUE(sheet1->selectRange({{3, 1}, {10, 1}}).ok());
    ASSERT_TRUE(sheet1->setMergeAreaValue({2, 4}, CellValue{std::string("No.1")}).ok());
    ASSERT_TRUE(sheet1->setMergeAreaValue({2, 5}, CellValue{5.0}).ok());
    ASSERT_TRUE(sheet1->setMergeAreaValue({2, 6}, CellValue{CalendarDateTime{2001, 3, 14, 13, 30, 5}}).ok());
    auto name = sheet1->insertPicture("/p/a.jpg");
    ASSERT_TRUE(name.ok());
    ASSERT_TRUE(sheet1->incrementShapeLeft(*name, -0.005).ok());
    ASSERT_TRUE(workbook->saveAs("/tmp/book.xls").ok());
    ASSERT_TRUE(application->quit().ok());
    const std::vector<std::string> expected{
        "Application.Workbooks.Open(\"/tmp/book.xls\")",
        "Application.ScreenUpdating = False",
        "Workbook.Worksheets(\"Sheet1\")",
        "Sheet(\"Sheet1\").Range(3,1,10,1).Select",
        "Sheet(\"Sheet1\").Cells(2,4).MergeArea.Value = \"No.1\"",
        "Sheet(\"Sheet1\").Cells(2,5).MergeArea.Value = 5",
        "Sheet(\"Sheet1\").Cells(2,6).MergeArea.Value = #2001-03-14 13:30:05#",
        "Sheet(\"Sheet1\").Pictures.Insert(\"/p/a.jpg\")",
        "Sheet(\"Sheet1\").Shapes(\"図 1\").IncrementLeft -0.005",
        "Workbook.SaveAs(\"/tmp/book.xls\")",
        "Application.Quit",
    };
    EXPECT_EQ(spreadsheet.calls(), expected);
    EXPECT_TRUE(spreadsheet.failedCalls().empty());
}

TEST(RecordingSpreadsheet, CopyLandsAfterTheAnchorAndBecomesActive)
{
    RecordingSpreadsheet spreadsheet({"A", "B", "C"});
    auto [application, workbook] = open(spreadsheet);
    auto templateSheet = sheet(*workbook, "A");
    auto anchor = workbook->sheetAt(2);
    ASSERT_TRUE(anchor.ok());
    ASSERT_TRUE(templateSheet->copyAfter(**anchor).ok());
    EXPECT_EQ(spreadsheet.sheetNames(), (std::vector<std::string>{"A", "B", "A (2)", "C"}));
    EXPECT_EQ(spreadsheet.activeSheetName(), "A (2)");
    auto active = workbook->activeSheet();
    ASSERT_TRUE(active.ok());
    ASSERT_TRUE((*active)->setName("Copy(1)").ok());

    auto nextAnchor = workbook->sheetAt(3);
    ASSERT_TRUE(nextAnchor.ok());
    ASSERT_TRUE(templateSheet->copyAfter(**nextAnchor).ok());
    EXPECT_EQ(spreadsheet.sheetNames(), (std::vector<std::string>{"A", "B", "Copy(1)", "A (2)", "C"}));
    EXPECT_EQ(spreadsheet.activeSheetName(), "A (2)");
    EXPECT_EQ(spreadsheet.calls()[3], "Sheet(\"A\").Copy After:=Sheet(\"B\")");
}

TEST(RecordingSpreadsheet, CopyTakesTheTemplatesContentsButNotLaterChanges)
{
    RecordingSpreadsheet spreadsheet({"T"});
    spreadsheet.addMergedArea("T", {{1, 1}, {1, 3}});
    auto [application, workbook] = open(spreadsheet);
    auto templateSheet = sheet(*workbook, "T");
    ASSERT_TRUE(templateSheet->setMergeAreaValue({1, 1}, CellValue{std::string("title")}).ok());
    ASSERT_TRUE(templateSheet->copyAfter(*templateSheet).ok());
    ASSERT_TRUE(templateSheet->setMergeAreaValue({1, 1}, CellValue{std::string("changed")}).ok());
    auto copy = workbook->activeSheet();
    ASSERT_TRUE(copy.ok());
    ASSERT_TRUE((*copy)->setMergeAreaValue({1, 3}, CellValue{std::string("in copy")}).ok());
    EXPECT_EQ(spreadsheet.cellValue("T", {1, 1}), std::optional<CellValue>(std::string("changed")));
    EXPECT_EQ(spreadsheet.cellValue("T (2)", {1, 1}), std::optional<CellValue>(std::string("in copy")));
    EXPECT_EQ(spreadsheet.cellValue("T (2)", {1, 3}), std::nullopt);
}

TEST(RecordingSpreadsheet, RefusedNameKeepsTheOldName)
{
    RecordingSpreadsheet spreadsheet({"Sheet1", "Data"});
    spreadsheet.refuseSheetName("Forbidden");
    auto [application, workbook] = open(spreadsheet);
    auto sheet1 = sheet(*workbook, "Sheet1");
    EXPECT_FALSE(sheet1->setName("Forbidden").ok());
    EXPECT_FALSE(sheet1->setName("DATA").ok());        // in use, whatever the case
    EXPECT_FALSE(sheet1->setName("a/b").ok());         // not a sheet name
    EXPECT_FALSE(sheet1->setName("").ok());
    EXPECT_FALSE(sheet1->setName(std::string(32, 'x')).ok());
    EXPECT_EQ(spreadsheet.sheetNames(), (std::vector<std::string>{"Sheet1", "Data"}));
    EXPECT_EQ(spreadsheet.failedCalls().size(), 5u);
    EXPECT_EQ(spreadsheet.failedCalls()[0], "Sheet(\"Sheet1\").Name = \"Forbidden\"");
    EXPECT_TRUE(sheet1->setName("台帳(1)").ok());
    auto name = sheet1->name();
    ASSERT_TRUE(name.ok());
    EXPECT_EQ(*name, "台帳(1)");
}

TEST(RecordingSpreadsheet, SettingWidthOrHeightKeepsTheAspectRatio)
{
    RecordingSpreadsheet spreadsheet;
    spreadsheet.setNaturalSize("/p/wide.png", 200.0, 100.0);
    auto [application, workbook] = open(spreadsheet);
    auto sheet1 = sheet(*workbook, "Sheet1");
    auto name = sheet1->insertPicture("/p/wide.png");
    ASSERT_TRUE(name.ok());
    ASSERT_TRUE(sheet1->setShapeWidth(*name, 50.0).ok());
    EXPECT_DOUBLE_EQ(*sheet1->shapeHeight(*name), 25.0);
    ASSERT_TRUE(sheet1->setShapeHeight(*name, 60.0).ok());
    EXPECT_DOUBLE_EQ(*sheet1->shapeWidth(*name), 120.0);
    EXPECT_FALSE(sheet1->setShapeWidth(*name, 0.0).ok());
    EXPECT_DOUBLE_EQ(*sheet1->shapeWidth(*name), 120.0);
    EXPECT_DOUBLE_EQ(*sheet1->shapeHeight(*name), 60.0);
}

TEST(RecordingSpreadsheet, PicturesStartAtTheInsertionPointAndMove)
{
    RecordingSpreadsheet spreadsheet;
    spreadsheet.setColumnWidthPoints(50.0);
    spreadsheet.setRowHeightPoints(10.0);
    auto [application, workbook] = open(spreadsheet);
    auto sheet1 = sheet(*workbook, "Sheet1");
    ASSERT_TRUE(sheet1->selectRange({{10, 4}, {3, 2}}).ok()); // corners in any order: B3 is top-left
    auto first = sheet1->insertPicture("/p/a.jpg");
    auto second = sheet1->insertPicture("/p/b.jpg");
    ASSERT_TRUE(first.ok() && second.ok());
    EXPECT_EQ(*first, "図 1");
    EXPECT_EQ(*second, "図 2");
    EXPECT_DOUBLE_EQ(*sheet1->shapeLeft(*first), 50.0);
    EXPECT_DOUBLE_EQ(*sheet1->shapeTop(*first), 20.0);
    ASSERT_TRUE(sheet1->setShapeRotation(*first, -90.0).ok());
    ASSERT_TRUE(sheet1->incrementShapeLeft(*first, 3.5).ok());
    ASSERT_TRUE(sheet1->incrementShapeTop(*first, -1.25).ok());
    const auto shapes = spreadsheet.shapes("Sheet1");
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_DOUBLE_EQ(shapes[0].rotation, 270.0);
    EXPECT_DOUBLE_EQ(shapes[0].left, 53.5);
    EXPECT_DOUBLE_EQ(shapes[0].top, 18.75);
    EXPECT_FALSE(sheet1->shapeWidth("図 9").ok());
}

TEST(RecordingSpreadsheet, RangeGeometryFollowsColumnWidthsAndRowHeights)
{
    RecordingSpreadsheet spreadsheet;
    spreadsheet.setColumnWidthPoints(48.0);
    spreadsheet.setColumnWidthPoints(2, 30.0);
    spreadsheet.setRowHeightPoints(12.75);
    spreadsheet.setRowHeightPoints(4, 30.0);
    auto [application, workbook] = open(spreadsheet);
    auto sheet1 = sheet(*workbook, "Sheet1");
    const CellRange range{{3, 2}, {5, 3}};
    EXPECT_DOUBLE_EQ(*sheet1->rangeLeft(range), 48.0);
    EXPECT_DOUBLE_EQ(*sheet1->rangeTop(range), 25.5);
    EXPECT_DOUBLE_EQ(*sheet1->rangeWidth(range), 78.0);
    EXPECT_DOUBLE_EQ(*sheet1->rangeHeight(range), 55.5);
    EXPECT_DOUBLE_EQ(*sheet1->rangeTop({{65536, 1}, {65536, 1}}), 65535 * 12.75 + 30.0 - 12.75);
    EXPECT_FALSE(sheet1->rangeWidth({{1, 1}, {1, 257}}).ok());
    EXPECT_FALSE(sheet1->rangeHeight({{0, 1}, {3, 1}}).ok());
}

TEST(RecordingSpreadsheet, ColumnWidthReadsAndRestoresInCharacters)
{
    RecordingSpreadsheet spreadsheet;
    auto [application, workbook] = open(spreadsheet);
    auto sheet1 = sheet(*workbook, "Sheet1");
    auto width = sheet1->columnWidth({5, 3});
    ASSERT_TRUE(width.ok());
    EXPECT_DOUBLE_EQ(*width, 8.43);
    ASSERT_TRUE(sheet1->setColumnWidth({1, 3}, 20.0).ok());
    EXPECT_DOUBLE_EQ(*sheet1->columnWidth({9, 3}), 20.0);
    EXPECT_DOUBLE_EQ(*sheet1->rangeWidth({{1, 3}, {1, 3}}), 145 * 0.75); // 20 digits of 7 px + 5
    ASSERT_TRUE(sheet1->setColumnWidth({1, 3}, *width).ok());
    EXPECT_DOUBLE_EQ(spreadsheet.columnWidthCharacters("Sheet1", 3), 8.43);
    EXPECT_DOUBLE_EQ(*sheet1->rangeWidth({{1, 3}, {1, 3}}), 48.0);
}

TEST(RecordingSpreadsheet, MergeAreaValueLandsInTheAreasFirstCell)
{
    RecordingSpreadsheet spreadsheet({"S"});
    spreadsheet.addMergedArea("S", {{12, 7}, {12, 6}});
    auto [application, workbook] = open(spreadsheet);
    auto s = sheet(*workbook, "S");
    ASSERT_TRUE(s->setMergeAreaValue({12, 7}, CellValue{std::string(" a.jpg")}).ok());
    ASSERT_TRUE(s->setMergeAreaNumberFormatLocal({12, 7}, "m/d;@").ok());
    EXPECT_EQ(spreadsheet.cellValue("S", {12, 6}), std::optional<CellValue>(std::string(" a.jpg")));
    EXPECT_EQ(spreadsheet.cellValue("S", {12, 7}), std::nullopt);
    EXPECT_EQ(spreadsheet.numberFormat("S", {12, 7}), std::optional<std::string>("m/d;@"));
    EXPECT_FALSE(s->setMergeAreaValue({-3, 7}, CellValue{1.0}).ok());
}

TEST(RecordingSpreadsheet, ChosenCallsFailAndAreStillRecorded)
{
    RecordingSpreadsheet spreadsheet;
    spreadsheet.failPictureInsert("/p/broken.jpg");
    spreadsheet.failCallsStartingWith("Sheet(\"Sheet1\").Shapes(\"図 1\").Rotation");
    auto [application, workbook] = open(spreadsheet);
    auto sheet1 = sheet(*workbook, "Sheet1");
    EXPECT_FALSE(sheet1->insertPicture("/p/broken.jpg").ok());
    auto name = sheet1->insertPicture("/p/good.jpg");
    ASSERT_TRUE(name.ok());
    EXPECT_EQ(*name, "図 1");
    EXPECT_FALSE(sheet1->setShapeRotation(*name, 90.0).ok());
    EXPECT_DOUBLE_EQ(spreadsheet.shapes("Sheet1")[0].rotation, 0.0);
    EXPECT_EQ(spreadsheet.failedCalls(),
              (std::vector<std::string>{"Sheet(\"Sheet1\").Pictures.Insert(\"/p/broken.jpg\")",
                                        "Sheet(\"Sheet1\").Shapes(\"図 1\").Rotation = 90"}));
}

TEST(RecordingSpreadsheet, FailedOpenMakesEveryLaterCallFail)
{
    RecordingSpreadsheet spreadsheet;
    spreadsheet.failOpen();
    auto application = spreadsheet.makeApplication();
    EXPECT_FALSE(application->openWorkbook("/tmp/x.xls").ok());
    EXPECT_TRUE(application->setDisplayAlerts(false).ok());
    EXPECT_TRUE(application->quit().ok());
    EXPECT_EQ(spreadsheet.displayAlerts(), std::optional<bool>(false));
    EXPECT_TRUE(spreadsheet.quitCalled());
    EXPECT_FALSE(spreadsheet.workbookOpen());
}

TEST(RecordingSpreadsheet, NothingWorksAfterQuit)
{
    RecordingSpreadsheet spreadsheet;
    auto [application, workbook] = open(spreadsheet);
    auto sheet1 = sheet(*workbook, "Sheet1");
    ASSERT_TRUE(application->quit().ok());
    EXPECT_FALSE(workbook->saveAs("/tmp/book.xls").ok());
    EXPECT_FALSE(sheet1->select().ok());
    EXPECT_TRUE(spreadsheet.savedPaths().empty());
    EXPECT_EQ(spreadsheet.failedCalls().size(), 2u);
}
