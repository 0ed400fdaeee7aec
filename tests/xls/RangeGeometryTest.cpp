// Range.Width/Height/Top/Left of the engine against the sizes Apache POI reads from the same
// file, turned into points by Excel's rules: columns from COLINFO (1/256 of the maximum digit
// width, padding included), STANDARDWIDTH or DEFCOLWIDTH (characters, rounded up to 8 pixels);
// rows from ROW or DEFAULTROWHEIGHT in twips, 15 twips a pixel; hidden ones take no room;
// points = pixels * 3/4.

#include "EngineTestSupport.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/geometry/MaximumDigitWidth.h"
#include "platform/xls/XlsApplication.h"

#include <cmath>
#include <ostream>

using namespace tavorin;
using namespace tavorin::xls;

namespace {

class ExcelRules {
public:
    ExcelRules(const QJsonObject& report, const QJsonObject& sheet)
    {
        auto font = report["normalFont"].toObject();
        mdw_ = maximumDigitWidth(font["name"].toString().toStdString(), font["heightTwips"].toInt()).pixels;
        int padding = 2 * std::max(2, (mdw_ + 3) / 4) + 1;
        if (sheet["standardWidth"].isDouble())
            defaultColumn_ = fromColdx(sheet["standardWidth"].toInt());
        else {
            int characters = sheet["defColWidth"].isDouble() ? sheet["defColWidth"].toInt() : 8;
            defaultColumn_ = (characters * mdw_ + padding + 7) / 8 * 8;
        }
        columns_.assign(256, defaultColumn_);
        for (const auto& value : sheet["columns"].toArray()) {
            auto span = value.toObject();
            for (int c = span["first"].toInt(); c <= std::min(255, span["last"].toInt()); ++c)
                columns_[static_cast<std::size_t>(c)] = span["hidden"].toBool() ? 0 : fromColdx(span["coldx"].toInt());
        }
        bool defaultHidden = (sheet["defaultRowHeightFlags"].toInt() & 0x2) != 0;
        int defaultTwips = sheet["defaultRowHeightTwips"].isDouble() ? sheet["defaultRowHeightTwips"].toInt() : 255;
        defaultRow_ = defaultHidden ? 0 : fromTwips(defaultTwips);
        for (const auto& value : sheet["rows"].toArray()) {
            auto row = value.toObject();
            rows_[row["row"].toInt()] = row["hidden"].toBool() ? 0 : fromTwips(row["heightTwips"].toInt());
        }
    }

    // Left, top, width, height in points of the cells between two 1-based corners.
    std::array<double, 4> box(int row1, int column1, int row2, int column2) const
    {
        int top = std::min(row1, row2) - 1, bottom = std::max(row1, row2) - 1;
        int left = std::min(column1, column2) - 1, right = std::max(column1, column2) - 1;
        int x = 0, y = 0, width = 0, height = 0;
        for (int c = 0; c < left; ++c)
            x += columns_[static_cast<std::size_t>(c)];
        for (int c = left; c <= right; ++c)
            width += columns_[static_cast<std::size_t>(c)];
        for (int r = 0; r < top; ++r)
            y += rowPixels(r);
        for (int r = top; r <= bottom; ++r)
            height += rowPixels(r);
        return {x * 0.75, y * 0.75, width * 0.75, height * 0.75};
    }

private:
    int fromColdx(int coldx) const
    {
        double w = coldx / 256.0;
        return static_cast<int>(std::trunc(((256 * w + std::trunc(128.0 / mdw_)) / 256) * mdw_));
    }
    static int fromTwips(int twips) { return static_cast<int>(std::floor(twips / 15.0 + 0.5)); }
    int rowPixels(int row) const
    {
        auto found = rows_.find(row);
        return found != rows_.end() ? found->second : defaultRow_;
    }

    int mdw_ = 7;
    int defaultColumn_ = 64;
    int defaultRow_ = 17;
    std::vector<int> columns_;
    std::map<int, int> rows_;
};

struct Case {
    const char* fixture;
    const char* sheet;
    CellRange range;
};

// Shown in the test's name: the fixture, the sheet and the range (1-based), not the raw bytes.
void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.fixture << ' ' << c.sheet << " R" << c.range.first.row << 'C' << c.range.first.column << ":R"
         << c.range.last.row << 'C' << c.range.last.column;
}

const Case cases[] = {
    // custom (B, E), hidden (C, F) columns; custom (2, 7) and hidden (4, 8) rows
    {"hidden_layout.xls", "Layout", {{2, 2}, {8, 6}}},
    {"hidden_layout.xls", "Layout", {{10, 8}, {1, 1}}},
    {"hidden_layout.xls", "Layout", {{4, 3}, {4, 3}}},   // a hidden cell: no width, no height
    {"hidden_layout.xls", "Layout", {{9, 7}, {12, 9}}},
    // uneven COLINFO widths, 0.5 cm rows, then default rows below them
    {"ledger.xls", "Sheet1", {{3, 2}, {14, 7}}},
    {"ledger.xls", "Sheet1", {{55, 10}, {70, 14}}},
    // default columns (DEFCOLWIDTH only), ＭＳ Ｐゴシック 11
    {"27364.xls", "Sheet1", {{1, 1}, {20, 6}}},
    {"jp_ledger.xls", "台帳", {{2, 2}, {12, 9}}},
    // STANDARDWIDTH
    {"50298.xls", "Digest", {{3, 1}, {9, 4}}},
};

} // namespace

class RangeGeometry : public ::testing::TestWithParam<Case> {};

TEST_P(RangeGeometry, MatchesExcelsRulesOnWhatPoiReads)
{
    const Case& c = GetParam();
    auto path = test::workbookFixture(c.fixture);
    auto report = test::poiContent(path);
    ExcelRules rules(report, test::poiSheet(report, QString::fromUtf8(c.sheet)));
    auto expected = rules.box(c.range.first.row, c.range.first.column, c.range.last.row, c.range.last.column);

    XlsApplication application;
    auto workbook = application.openWorkbook(path);
    ASSERT_TRUE(workbook.ok());
    auto sheet = (*workbook)->worksheet(c.sheet);
    ASSERT_TRUE(sheet.ok());
    EXPECT_TRUE((*sheet)->selectRange(c.range).ok());
    EXPECT_DOUBLE_EQ(*(*sheet)->rangeLeft(c.range), expected[0]);
    EXPECT_DOUBLE_EQ(*(*sheet)->rangeTop(c.range), expected[1]);
    EXPECT_DOUBLE_EQ(*(*sheet)->rangeWidth(c.range), expected[2]);
    EXPECT_DOUBLE_EQ(*(*sheet)->rangeHeight(c.range), expected[3]);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RangeGeometry, ::testing::ValuesIn(cases));

// A width set through ColumnWidth reads back as Excel rounds it, only that column changes, and
// POI finds the COLINFO run split around it.
TEST(ColumnWidth, SettingOneColumnSplitsItsRun)
{
    test::TemporaryFolder folder;
    XlsApplication application;
    auto workbook = application.openWorkbook(test::workbookFixture("hidden_layout.xls"));
    ASSERT_TRUE(workbook.ok());
    auto sheet = (*workbook)->worksheet("Layout");
    ASSERT_TRUE(sheet.ok());
    auto before = *(*sheet)->rangeWidth({{1, 7}, {1, 12}});
    ASSERT_TRUE((*sheet)->setColumnWidth({1, 10}, 20.0).ok());
    EXPECT_NEAR(*(*sheet)->columnWidth({1, 10}), 20.0, 0.01);
    ASSERT_TRUE(application.setDisplayAlerts(false).ok());
    ASSERT_TRUE((*workbook)->saveAs(folder / "width.xls").ok());

    auto report = test::poiContent(folder / "width.xls");
    auto poiSheet = test::poiSheet(report, "Layout");
    ExcelRules rules(report, poiSheet);
    auto column = [&](int c) { return rules.box(1, c, 1, c)[2]; };
    auto original = test::poiContent(test::workbookFixture("hidden_layout.xls"));
    ExcelRules originalRules(original, test::poiSheet(original, "Layout"));
    for (int c : {7, 8, 9, 11, 12})
        EXPECT_DOUBLE_EQ(column(c), originalRules.box(1, c, 1, c)[2]) << "column " << c;
    EXPECT_GT(column(10), originalRules.box(1, 10, 1, 10)[2]);
    EXPECT_DOUBLE_EQ(before - originalRules.box(1, 10, 1, 10)[2] + column(10), *(*sheet)->rangeWidth({{1, 7}, {1, 12}}));
    EXPECT_FALSE((*sheet)->setColumnWidth({1, 10}, 256).ok());
    EXPECT_FALSE((*sheet)->setColumnWidth({1, 10}, -1).ok());
}

// Pictures are placed on the sheet as it is at the time: a column made wider in between moves
// the cells to its right, and the next picture with them.
TEST(ColumnWidth, PicturesPlacedAfterAWidthChangeFollowIt)
{
    XlsApplication application;
    auto workbook = application.openWorkbook(test::workbookFixture("plain.xls"));
    ASSERT_TRUE(workbook.ok());
    auto sheet = *(*workbook)->sheetAt(1);
    CellRange cell{{2, 3}, {2, 3}};
    ASSERT_TRUE(sheet->selectRange(cell).ok());
    auto first = sheet->insertPicture(test::pictureFixture("land.jpg"));
    ASSERT_TRUE(first.ok());
    double leftBefore = *sheet->rangeLeft(cell);
    EXPECT_NEAR(*sheet->shapeLeft(*first), leftBefore, 0.01);

    ASSERT_TRUE(sheet->setColumnWidth({1, 1}, 30.0).ok());
    double leftAfter = *sheet->rangeLeft(cell);
    EXPECT_GT(leftAfter, leftBefore + 100);
    ASSERT_TRUE(sheet->selectRange(cell).ok());
    auto second = sheet->insertPicture(test::pictureFixture("land.jpg"));
    ASSERT_TRUE(second.ok());
    EXPECT_NEAR(*sheet->shapeLeft(*second), leftAfter, 0.01);
    // Resizing measures against the new columns too: the frame keeps its place.
    ASSERT_TRUE(sheet->setShapeHeight(*second, 40.0).ok());
    EXPECT_NEAR(*sheet->shapeLeft(*second), leftAfter, 0.01);
}

// Putting back the width a column was read with leaves its record as the template wrote it:
// POI finds the same COLINFO records, with the template's own (unrounded) widths.
TEST(ColumnWidth, SettingTheWidthAColumnShowsLeavesItsRecordAlone)
{
    test::TemporaryFolder folder;
    XlsApplication application;
    auto workbook = application.openWorkbook(test::workbookFixture("jp_ledger.xls"));
    ASSERT_TRUE(workbook.ok());
    auto sheet = (*workbook)->worksheet("台帳");
    ASSERT_TRUE(sheet.ok());
    for (int column : {2, 4, 200}) {
        auto width = (*sheet)->columnWidth({1, column});
        ASSERT_TRUE(width.ok());
        ASSERT_TRUE((*sheet)->setColumnWidth({1, column}, *width).ok());
        EXPECT_DOUBLE_EQ(*(*sheet)->columnWidth({1, column}), *width);
    }
    ASSERT_TRUE(application.setDisplayAlerts(false).ok());
    ASSERT_TRUE((*workbook)->saveAs(folder / "same.xls").ok());

    auto columnsOf = [](const QJsonObject& report) {
        return test::poiSheet(report, "台帳")["columns"].toArray();
    };
    const QJsonArray before = columnsOf(test::poiContent(test::workbookFixture("jp_ledger.xls")));
    const QJsonArray after = columnsOf(test::poiContent(folder / "same.xls"));
    EXPECT_EQ(after, before);
    ASSERT_EQ(before.size(), 1);
    EXPECT_EQ(before[0].toObject()["coldx"].toInt(), 2341); // 73 pixels; a rewrite would store 2336
}
