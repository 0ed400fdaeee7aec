// Sheet copies as the run makes them (Copy After an anchor, then a new name), read by POI: order,
// names, the sheet's own Print_Area and Print_Titles, cells. (Comments, shapes and charts on copies:
// RealWorldTemplatesTest.)

#include "EngineTestSupport.h"

using namespace tavorin;
using namespace tavorin::test;

namespace {

void expectOk(const SpreadsheetStatus& status)
{
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().describe());
}

QJsonObject withoutName(QJsonObject sheet)
{
    sheet.remove("name");
    return sheet;
}

// Defined names of that name, by the sheet they belong to.
std::map<int, QString> namesBySheet(const QJsonObject& report, const QString& name)
{
    std::map<int, QString> found;
    for (const auto& value : report["names"].toArray())
        if (value.toObject()["name"].toString() == name)
            found[value.toObject()["sheetIndex"].toInt()] = value.toObject()["formula"].toString();
    return found;
}

// The current copy of the workbook's active sheet, renamed.
void renameActive(OpenedWorkbook& opened, const std::string& name)
{
    auto active = opened.workbook->activeSheet();
    ASSERT_TRUE(active.ok());
    expectOk((*active)->setName(name));
}

// ledger.xls: Sheet1 (Print_Area A1:H60, the workbook's name "Data" on B2:C4), My Sheet. A copy
// after Sheet1 moves My Sheet on; two more after the last sheet follow in order.
TEST(SheetCopy, CopiesFollowInOrderWithTheirOwnPrintAreas)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "ledger.xls");
    ASSERT_TRUE(opened.first);
    auto& sheet1 = *opened.first;
    expectOk(sheet1.copyAfter(sheet1));
    EXPECT_EQ(*(*opened.workbook->activeSheet())->name(), "Sheet1 (2)")
        << "the copy is active, named as Excel names it";
    for (int copy = 1; copy <= 2; ++copy) {
        expectOk(sheet1.copyAfter(**opened.workbook->sheetAt(2 + copy)));
        renameActive(opened, "Base(" + std::to_string(copy) + ")");
    }
    opened.save();

    auto original = poiReport(workbookFixture("ledger.xls")), report = poiReport(opened.path);
    ASSERT_TRUE(original && report);
    EXPECT_EQ(sheetNames(*report), (QStringList{"Sheet1", "Sheet1 (2)", "My Sheet", "Base(1)", "Base(2)"}));
    const QJsonObject templateSheet = withoutName(sheetNamed(*original, "Sheet1", "POI"));
    for (const char* name : {"Sheet1", "Sheet1 (2)", "Base(1)", "Base(2)"})
        EXPECT_EQ(withoutName(sheetNamed(*report, name, "POI")), templateSheet) << name;
    EXPECT_EQ(sheetNamed(*report, "My Sheet", "POI"), sheetNamed(*original, "My Sheet", "POI"));
    EXPECT_EQ(namesBySheet(*report, "Print_Area"), (std::map<int, QString>{{0, "Sheet1!$A$1:$H$60"},
                                                                           {1, "'Sheet1 (2)'!$A$1:$H$60"},
                                                                           {3, "'Base(1)'!$A$1:$H$60"},
                                                                           {4, "'Base(2)'!$A$1:$H$60"}}));
    EXPECT_EQ(namesBySheet(*report, "Data"), (std::map<int, QString>{{-1, "Sheet1!$B$2:$C$4"}}));
    EXPECT_EQ(layoutProblemsOf(opened.path), "");
}

// namesdemo.xls gives Sheet3 a Print_Area and Print_Titles: the copy has both, on itself.
TEST(SheetCopy, PrintTitlesGoWithTheCopy)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "namesdemo.xls");
    ASSERT_TRUE(opened.workbook);
    auto sheet3 = opened.workbook->worksheet("Sheet3");
    ASSERT_TRUE(sheet3.ok());
    expectOk((*sheet3)->copyAfter(**opened.workbook->sheetAt(4)));
    renameActive(opened, "写真(1)");
    opened.save();

    auto original = poiReport(workbookFixture("namesdemo.xls")), report = poiReport(opened.path);
    ASSERT_TRUE(original && report);
    for (const char* name : {"Print_Area", "Print_Titles"}) {
        auto before = namesBySheet(*original, name), after = namesBySheet(*report, name);
        ASSERT_EQ(before.count(2), 1u) << name;
        EXPECT_EQ(after[2], before[2]) << name;
        EXPECT_EQ(after[4], QString(before[2]).replace("Sheet3!", "'写真(1)'!")) << name;
    }
    EXPECT_EQ(withoutName(sheetNamed(*report, "写真(1)", "POI")),
              withoutName(sheetNamed(*original, "Sheet3", "POI")));
    EXPECT_EQ(layoutProblemsOf(opened.path), "");
}

} // namespace
