// Sheet copies as the insertion run makes them: Copy After an anchor, then a new name.

#include "EngineTestSupport.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/XlsApplication.h"

using namespace tavorin;
using namespace tavorin::xls;

namespace {

void expectOk(const SpreadsheetStatus& status)
{
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().describe());
}

QStringList sheetNames(const QJsonObject& report)
{
    QStringList names;
    for (const auto& sheet : report["sheets"].toArray())
        names << sheet.toObject()["name"].toString();
    return names;
}

// A sheet's content as POI reads it, without its name.
QJsonObject content(QJsonObject sheet)
{
    sheet.remove("name");
    return sheet;
}

std::vector<QJsonObject> namesOf(const QJsonObject& report, const QString& name)
{
    std::vector<QJsonObject> found;
    for (const auto& value : report["names"].toArray())
        if (value.toObject()["name"].toString() == name)
            found.push_back(value.toObject());
    return found;
}

struct Open {
    XlsApplication application;
    std::shared_ptr<SpreadsheetWorkbook> workbook;
};

std::unique_ptr<Open> openFixture(const std::string& name)
{
    auto open = std::make_unique<Open>();
    auto workbook = open->application.openWorkbook(test::workbookFixture(name));
    EXPECT_TRUE(workbook.ok());
    if (!workbook)
        return nullptr;
    open->workbook = *workbook;
    EXPECT_TRUE(open->application.setDisplayAlerts(false).ok());
    return open;
}

} // namespace

// Three copies of Sheet1 of ledger.xls, each after the last sheet as the run places them:
// they follow in order with their names, each has its own Print_Area on itself, the copies
// have the template's cells, merged areas, widths and heights, and the template is unchanged.
TEST(SheetCopy, ThreeCopiesAfterTheLastSheet)
{
    test::TemporaryFolder folder;
    auto open = openFixture("ledger.xls");
    ASSERT_TRUE(open);
    auto templateSheet = open->workbook->worksheet("Sheet1");
    ASSERT_TRUE(templateSheet.ok());
    int sheetCount = 2;
    for (int copy = 1; copy <= 3; ++copy) {
        auto anchor = open->workbook->sheetAt(sheetCount);
        ASSERT_TRUE(anchor.ok());
        expectOk((*templateSheet)->copyAfter(**anchor));
        auto active = open->workbook->activeSheet();
        ASSERT_TRUE(active.ok());
        EXPECT_EQ(*(*active)->name(), "Sheet1 (2)") << "the copy is active and named as Excel names it";
        expectOk((*active)->setName("Base(" + std::to_string(copy) + ")"));
        ++sheetCount;
    }
    auto saved = folder / "copies.xls";
    expectOk(open->workbook->saveAs(saved));

    auto original = test::poiContent(test::workbookFixture("ledger.xls"));
    auto report = test::poiContent(saved);
    EXPECT_EQ(sheetNames(report), (QStringList{"Sheet1", "My Sheet", "Base(1)", "Base(2)", "Base(3)"}));
    auto templateBefore = content(test::poiSheet(original, "Sheet1"));
    EXPECT_EQ(content(test::poiSheet(report, "Sheet1")), templateBefore);
    EXPECT_EQ(content(test::poiSheet(report, "My Sheet")), content(test::poiSheet(original, "My Sheet")));
    for (const char* copy : {"Base(1)", "Base(2)", "Base(3)"})
        EXPECT_EQ(content(test::poiSheet(report, copy)), templateBefore) << copy;

    auto printAreas = namesOf(report, "Print_Area");
    ASSERT_EQ(printAreas.size(), 4u);
    std::map<int, QString> bySheet;
    for (const auto& name : printAreas)
        bySheet[name["sheetIndex"].toInt()] = name["formula"].toString();
    EXPECT_EQ(bySheet[0], "Sheet1!$A$1:$H$60");
    EXPECT_EQ(bySheet[2], "'Base(1)'!$A$1:$H$60");
    EXPECT_EQ(bySheet[3], "'Base(2)'!$A$1:$H$60");
    EXPECT_EQ(bySheet[4], "'Base(3)'!$A$1:$H$60");
    auto data = namesOf(report, "Data");
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0]["formula"].toString(), "Sheet1!$B$2:$C$4");
}

// A copy between two sheets moves the later ones: sheet-level names and references follow
// their sheets, the copy gets Excel's name for it.
TEST(SheetCopy, CopyInTheMiddleRenumbersTheSheetsBehind)
{
    test::TemporaryFolder folder;
    auto open = openFixture("ledger.xls");
    ASSERT_TRUE(open);
    auto first = open->workbook->sheetAt(1);
    ASSERT_TRUE(first.ok());
    expectOk((*first)->copyAfter(**first));
    auto saved = folder / "middle.xls";
    expectOk(open->workbook->saveAs(saved));
    auto report = test::poiContent(saved);
    EXPECT_EQ(sheetNames(report), (QStringList{"Sheet1", "Sheet1 (2)", "My Sheet"}));
    std::map<int, QString> printAreas;
    for (const auto& name : namesOf(report, "Print_Area"))
        printAreas[name["sheetIndex"].toInt()] = name["formula"].toString();
    EXPECT_EQ(printAreas[0], "Sheet1!$A$1:$H$60");
    EXPECT_EQ(printAreas[1], "'Sheet1 (2)'!$A$1:$H$60");
    EXPECT_EQ(namesOf(report, "Data").at(0)["formula"].toString(), "Sheet1!$B$2:$C$4");
}

// Names that Excel refuses leave the copy with the name it got when copied.
TEST(SheetCopy, RefusedNameKeepsTheCopysName)
{
    auto open = openFixture("ledger.xls");
    ASSERT_TRUE(open);
    auto first = open->workbook->sheetAt(1);
    ASSERT_TRUE(first.ok());
    expectOk((*first)->copyAfter(**first));
    auto copy = open->workbook->activeSheet();
    ASSERT_TRUE(copy.ok());
    for (const char* refused : {"sheet1", "MY SHEET", "", "a:b", "a/b", "a\\b", "a?b", "a*b", "[x]", "'quoted",
                                "quoted'", "0123456789012345678901234567890123"}) {
        EXPECT_FALSE((*copy)->setName(refused).ok()) << refused;
        EXPECT_EQ(*(*copy)->name(), "Sheet1 (2)");
    }
    EXPECT_TRUE((*copy)->setName("2026年12月7日(1)").ok());
    EXPECT_EQ(*(*copy)->name(), "2026年12月7日(1)");
    // A second copy of the template takes the next free Excel name.
    expectOk((*first)->copyAfter(**first));
    EXPECT_EQ(*(*open->workbook->activeSheet())->name(), "Sheet1 (2)");
    expectOk((*first)->copyAfter(**first));
    EXPECT_EQ(*(*open->workbook->activeSheet())->name(), "Sheet1 (3)");
}

// The template's pictures stay on the template and the copy shows the same pictures in the
// same places (its drawing has ids of its own); POI reads the result.
TEST(SheetCopy, TemplateWithPicturesKeepsThemAndTheCopyShowsThemToo)
{
    test::TemporaryFolder folder;
    auto open = openFixture("SimpleWithImages.xls");
    ASSERT_TRUE(open);
    auto first = open->workbook->sheetAt(1);
    ASSERT_TRUE(first.ok());
    auto firstName = (*first)->name();
    ASSERT_TRUE(firstName.ok());
    expectOk((*first)->copyAfter(**first));
    auto saved = folder / "pictures.xls";
    expectOk(open->workbook->saveAs(saved));
    auto original = test::poiContent(test::workbookFixture("SimpleWithImages.xls"));
    auto report = test::poiContent(saved);
    auto name = QString::fromStdString(*firstName);
    EXPECT_EQ(test::poiSheet(report, name)["pictures"], test::poiSheet(original, name)["pictures"]);
    EXPECT_FALSE(test::poiSheet(original, name)["pictures"].toArray().isEmpty());
    EXPECT_EQ(test::poiSheet(report, name + " (2)")["pictures"], test::poiSheet(original, name)["pictures"]);
}
