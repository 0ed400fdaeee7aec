// Values and number formats written through the operations interface, as POI reads them in the
// saved file; date serial numbers as Excel counts them. (How LibreOffice shows each date format:
// InsertionRunTest, through the run.)

#include "EngineTestSupport.h"

#include "platform/xls/model/DateNumberFormats.h"
#include "platform/xls/model/DateSerial.h"

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

void expectOk(const SpreadsheetStatus& status)
{
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().describe());
}

// jp_ledger.xls (ＭＳ Ｐゴシック 11) merges F:G of rows 2 to 52. The eight date formats go to B2:B9 on
// 14 March 2001 13:30 as the caption step writes them (width read, date and format set, width restored):
// each holds the date's serial number, column B keeps 2341/256 characters (73 pixels).
TEST(CellWriting, ValuesTextsAndTheEightDateFormatsReadBackAsWritten)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "jp_ledger.xls");
    ASSERT_TRUE(opened.first);
    auto& sheet = *opened.first;
    expectOk(sheet.setMergeAreaValue({3, 4}, 42.0));
    expectOk(sheet.setMergeAreaValue({4, 4}, -0.125));
    expectOk(sheet.setMergeAreaValue({5, 4}, std::string("No.1")));
    expectOk(sheet.setMergeAreaValue({6, 4}, std::string(" 写真 img01.jpg")));
    expectOk(sheet.setMergeAreaValue({7, 200}, std::string("ＭＳ Ｐゴシック")));
    expectOk(sheet.setMergeAreaValue({12, 7}, std::string("title"))); // G12 lies in F12:G12
    for (int f = 0; f < 8; ++f) {
        const CellAddress cell{2 + f, 2};
        auto width = sheet.columnWidth(cell);
        ASSERT_TRUE(width.ok());
        expectOk(sheet.setMergeAreaValue(cell, CalendarDateTime{2001, 3, 14, 13, 30, 0, 0}));
        expectOk(sheet.setMergeAreaNumberFormatLocal(cell, std::string(*dateCaptionFormat(f))));
        expectOk(sheet.setColumnWidth(cell, *width));
    }
    opened.save();
    EXPECT_EQ(layoutProblemsOf(opened.path), "");

    auto poi = poiReport(opened.path);
    ASSERT_TRUE(poi);
    const QJsonObject cells = sheetNamed(*poi, "台帳", "POI");
    EXPECT_EQ(cellOf(cells, "D3")["value"].toDouble(), 42.0);
    EXPECT_EQ(cellOf(cells, "D3")["type"].toString(), "number");
    EXPECT_EQ(cellOf(cells, "D4")["value"].toDouble(), -0.125);
    EXPECT_EQ(cellOf(cells, "D5")["value"].toString(), "No.1");
    EXPECT_EQ(cellOf(cells, "D5")["type"].toString(), "text");
    EXPECT_EQ(cellOf(cells, "D6")["value"].toString(), QStringLiteral(" 写真 img01.jpg"));
    EXPECT_EQ(cellOf(cells, "GR7")["value"].toString(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(cellOf(cells, "F12")["value"].toString(), "title");
    EXPECT_TRUE(cellOf(cells, "G12").isEmpty());
    EXPECT_EQ(cells["merged"].toArray().size(), 6) << "F2:G2 to F52:G52, as they were";
    for (int f = 0; f < 8; ++f)
        EXPECT_DOUBLE_EQ(cellOf(cells, QStringLiteral("B%1").arg(2 + f))["value"].toDouble(), 36964.5625);
    auto grid = ExcelGrid::fromPoi(*poi, cells);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->columnPixels(1), 73);
}

struct DateCase {
    int year, month, day, hour, minute, second;
    DateSystem system;
    double serial; // as Excel shows the date typed into a General cell; below 0: refused
};

void PrintTo(const DateCase& c, std::ostream* out)
{
    *out << c.year << '-' << c.month << '-' << c.day << ' ' << c.hour << ':' << c.minute;
}

constexpr auto d1900 = DateSystem::Date1900, d1904 = DateSystem::Date1904;

const DateCase dates[] = {
    {2001, 3, 14, 13, 30, 0, d1900, 36964.5625},
    {2001, 3, 14, 23, 59, 59, d1900, 36964 + 86399.0 / 86400},
    {1900, 1, 1, 0, 0, 0, d1900, 1},
    {1900, 2, 28, 0, 0, 0, d1900, 59},
    {1900, 2, 29, 0, 0, 0, d1900, 60},
    {1900, 3, 1, 0, 0, 0, d1900, 61},
    {9999, 12, 31, 0, 0, 0, d1900, 2958465},
    {1904, 1, 1, 0, 0, 0, d1904, 0},
    {2001, 3, 14, 0, 0, 0, d1904, 36964 - 1462},
    {2001, 2, 29, 0, 0, 0, d1900, -1},
    {1899, 12, 31, 0, 0, 0, d1900, -1},
    {1903, 12, 31, 0, 0, 0, d1904, -1},
    {1900, 2, 29, 0, 0, 0, d1904, -1},
    {10000, 1, 1, 0, 0, 0, d1900, -1},
    {2001, 13, 1, 0, 0, 0, d1900, -1},
    {2001, 1, 1, 24, 0, 0, d1900, -1},
    {2001, 1, 1, 0, 60, 0, d1900, -1},
};

class DateSerialOf : public testing::TestWithParam<DateCase> {};

TEST_P(DateSerialOf, IsWhatExcelShows)
{
    const DateCase& c = GetParam();
    auto serial = dateSerial(c.year, c.month, c.day, c.hour, c.minute, c.second, 0, c.system);
    ASSERT_EQ(serial.ok(), c.serial >= 0) << (serial.ok() ? "" : serial.error().describe());
    if (serial.ok()) {
        EXPECT_NEAR(*serial, c.serial, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Dates, DateSerialOf, testing::ValuesIn(dates));

} // namespace
