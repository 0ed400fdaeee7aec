// Values and number formats written through the operations interface, as independent readers
// see them in the saved file.

#include "EngineTestSupport.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/model/CellEditor.h"
#include "platform/xls/model/DateNumberFormats.h"
#include "platform/xls/geometry/MaximumDigitWidth.h"
#include "platform/xls/XlsApplication.h"

using namespace tavorin;
using namespace tavorin::xls;

namespace {

struct OpenSheet {
    XlsApplication application;
    std::shared_ptr<SpreadsheetWorkbook> workbook;
    std::shared_ptr<SpreadsheetWorksheet> sheet;
};

std::unique_ptr<OpenSheet> openSheet(const std::string& fixture, const std::string& sheetName)
{
    auto open = std::make_unique<OpenSheet>();
    auto workbook = open->application.openWorkbook(test::workbookFixture(fixture));
    EXPECT_TRUE(workbook.ok());
    if (!workbook)
        return nullptr;
    open->workbook = *workbook;
    auto sheet = open->workbook->worksheet(sheetName);
    EXPECT_TRUE(sheet.ok());
    if (!sheet)
        return nullptr;
    open->sheet = *sheet;
    EXPECT_TRUE(open->application.setDisplayAlerts(false).ok());
    return open;
}

std::map<QString, QJsonObject> cellsByAddress(const QJsonObject& sheet)
{
    std::map<QString, QJsonObject> cells;
    for (const auto& cell : sheet["cells"].toArray())
        cells[cell.toObject()["cell"].toString()] = cell.toObject();
    return cells;
}

void expectOk(const SpreadsheetStatus& status)
{
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().describe());
}

} // namespace

TEST(CellWriting, NumbersAndTextsIncludingJapanese)
{
    test::TemporaryFolder folder;
    auto open = openSheet("plain.xls", "Sheet1");
    ASSERT_TRUE(open);
    expectOk(open->sheet->setMergeAreaValue({3, 2}, 42.0));
    expectOk(open->sheet->setMergeAreaValue({4, 2}, -0.125));
    expectOk(open->sheet->setMergeAreaValue({5, 2}, std::string("No.1")));
    expectOk(open->sheet->setMergeAreaValue({6, 2}, std::string(" 写真 img01.jpg")));
    expectOk(open->sheet->setMergeAreaValue({7, 200}, std::string("ＭＳ Ｐゴシック")));
    auto saved = folder / "cells.xls";
    expectOk(open->workbook->saveAs(saved));

    auto cells = cellsByAddress(test::poiSheet(test::poiContent(saved), "Sheet1"));
    EXPECT_EQ(cells["B3"]["value"].toDouble(), 42.0);
    EXPECT_EQ(cells["B4"]["value"].toDouble(), -0.125);
    EXPECT_EQ(cells["B5"]["value"].toString(), "No.1");
    EXPECT_EQ(cells["B6"]["value"].toString(), QString::fromUtf8(" 写真 img01.jpg"));
    EXPECT_EQ(cells["GR7"]["value"].toString(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(cells["B5"]["type"].toString(), "text");
    EXPECT_EQ(cells["B3"]["type"].toString(), "number");
}

// ledger.xls merges A1:F1 and G2:H2: a value addressed to C1 lands in A1, one for H2 in G2.
TEST(CellWriting, ValueGoesToTheMergedAreasFirstCell)
{
    test::TemporaryFolder folder;
    auto open = openSheet("ledger.xls", "Sheet1");
    ASSERT_TRUE(open);
    expectOk(open->sheet->setMergeAreaValue({1, 3}, std::string("title")));
    expectOk(open->sheet->setMergeAreaValue({2, 8}, 7.0));
    auto saved = folder / "merged.xls";
    expectOk(open->workbook->saveAs(saved));
    auto report = test::poiContent(saved);
    auto sheet = test::poiSheet(report, "Sheet1");
    auto cells = cellsByAddress(sheet);
    EXPECT_EQ(cells["A1"]["value"].toString(), "title");
    EXPECT_EQ(cells.count("C1"), 0u);
    EXPECT_EQ(cells["G2"]["value"].toDouble(), 7.0);
    EXPECT_FALSE(cells.count("H2") && cells["H2"]["type"].toString() != "blank");
    EXPECT_EQ(sheet["merged"], test::poiSheet(test::poiContent(test::workbookFixture("ledger.xls")), "Sheet1")["merged"]);
}

TEST(CellWriting, CellsOutsideTheSheetFail)
{
    auto open = openSheet("plain.xls", "Sheet1");
    ASSERT_TRUE(open);
    EXPECT_FALSE(open->sheet->setMergeAreaValue({65537, 1}, 1.0).ok());
    EXPECT_FALSE(open->sheet->setMergeAreaValue({1, 257}, 1.0).ok());
    EXPECT_FALSE(open->sheet->setMergeAreaValue({0, 1}, 1.0).ok());
    EXPECT_FALSE(open->sheet->setMergeAreaNumberFormatLocal({-3, 1}, "m/d;@").ok());
    EXPECT_FALSE(open->sheet->columnWidth({1, 300}).ok());
}

// The eight date caption formats, each applied to 14 March 2001 13:30 as the caption step does
// it (width read, date written, format set, width restored): LibreOffice shows each as the
// sample the option panel offers, POI finds the format strings exactly, and the column keeps
// the template's width.
TEST(CellWriting, EightDateFormatsShowTheirSamples)
{
    test::TemporaryFolder folder;
    auto open = openSheet("jp_ledger.xls", "台帳");
    ASSERT_TRUE(open);
    const char* samples[] = {"2001年3月14日", "2001/3/14", "2001/3/14 1:30 PM", "2001/3/14 13:30",
                             "平成13年3月14日", "H13.3.14", "3月14日", "3/14"};
    for (int f = 0; f < 8; ++f) {
        CellAddress cell{2 + f, 2};
        auto width = open->sheet->columnWidth(cell);
        ASSERT_TRUE(width.ok());
        expectOk(open->sheet->setMergeAreaValue(cell, CalendarDateTime{2001, 3, 14, 13, 30, 0, 0}));
        expectOk(open->sheet->setMergeAreaNumberFormatLocal(cell, std::string(*dateCaptionFormat(f))));
        expectOk(open->sheet->setColumnWidth(cell, *width));
    }
    auto saved = folder / "dates.xls";
    expectOk(open->workbook->saveAs(saved));

    auto shown = test::libreOfficeShownCells(saved, QString::fromUtf8("台帳"));
    for (int f = 0; f < 8; ++f)
        EXPECT_EQ(shown[QString("B%1").arg(2 + f)], QString::fromUtf8(samples[f])) << "format " << f;

    auto original = test::poiSheet(test::poiContent(test::workbookFixture("jp_ledger.xls")), QString::fromUtf8("台帳"));
    auto report = test::poiContent(saved);
    auto sheet = test::poiSheet(report, QString::fromUtf8("台帳"));
    auto cells = cellsByAddress(sheet);
    for (int f = 0; f < 8; ++f) {
        auto cell = cells[QString("B%1").arg(2 + f)];
        EXPECT_EQ(cell["format"].toString(), QString::fromUtf8(dateCaptionFormat(f)->data()));
        EXPECT_DOUBLE_EQ(cell["value"].toDouble(), 36964.5625); // 2001-03-14 13:30 in the 1900 system
    }
    // Column B in pixels, from the records POI reads, by Excel's rule for COLINFO widths.
    auto font = report["normalFont"].toObject();
    int mdw = maximumDigitWidth(font["name"].toString().toStdString(), font["heightTwips"].toInt()).pixels;
    auto pixelsOfColumnB = [&](const QJsonObject& s) {
        for (const auto& c : s["columns"].toArray()) {
            auto span = c.toObject();
            if (span["first"].toInt() <= 1 && 1 <= span["last"].toInt()) {
                double w = span["coldx"].toInt() / 256.0;
                return static_cast<int>(((256 * w + static_cast<int>(128 / mdw)) / 256) * mdw);
            }
        }
        return -1; // default width
    };
    EXPECT_EQ(pixelsOfColumnB(sheet), pixelsOfColumnB(original));
}

// Formatting the same kind of cell twice adds one number format and one cell format only.
TEST(CellWriting, EqualFormatsAreShared)
{
    auto document = test::openDocument(test::workbookFixture("plain.xls"));
    ASSERT_TRUE(document);
    auto& model = document->model();
    auto formats = model.formats.size();
    auto xfs = model.cellFormats.size();
    CellEditor cells(model, *model.sheets[0]);
    for (std::uint32_t row = 0; row < 20; ++row)
        ASSERT_TRUE(cells.setNumberFormat(row, 3, u"yyyy/m/d;@").ok());
    EXPECT_EQ(model.formats.size(), formats + 1);
    EXPECT_EQ(model.cellFormats.size(), xfs + 1);
    EXPECT_GE(model.formats.back().index, 164);
}
