// Range.Left/Top/Width/Height against Excel's pixel rules (support/ExcelGrid) on the records POI reads:
// COLINFO, STANDARDWIDTH and DEFCOLWIDTH widths, hidden rows and columns, rows of no whole number of
// pixels (Excel rounds 15 twips a pixel to the nearest). Column widths set, and read and set back.

#include "EngineTestSupport.h"

#include "platform/xls/records/RecordWriter.h"

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

struct GeometryCase {
    const char* name;
    const char* fixture;
    const char* sheet;
    CellRange range;
    std::vector<std::pair<int, int>> rowTwips = {}; // 0-based rows whose ROW record says this height
    int hiddenRow = -1, hiddenColumn = -1;          // 0-based; the ROW or COLINFO record made to hide it
};
void PrintTo(const GeometryCase& c, std::ostream* out)
{
    *out << c.name;
}

std::uint16_t u16(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// The fixture with its sheets' ROW and COLINFO records changed in place, as a workbook of that
// Workbook stream alone.
std::filesystem::path withLayout(const TemporaryFolder& folder, const GeometryCase& c)
{
    Bytes stream = workbookStreamOf(workbookFixture(c.fixture));
    int depth = 0, substream = -1;
    for (std::size_t at = 0; at + 4 <= stream.size(); at += 4 + u16(stream, at + 2)) {
        const std::uint16_t type = u16(stream, at);
        const std::size_t data = at + 4;
        substream += type == 0x0809 && depth++ == 0;
        depth -= type == 0x000A;
        if (substream < 1 || depth != 1)
            continue;
        if (type ==
            0x0208) { // ROW: rw, colMic, colMac, miyRw (15 bits), 4 reserved bytes, flags (fDyZero 0x20)
            for (const auto& [row, twips] : c.rowTwips)
                if (u16(stream, data) == row)
                    setU16(stream, data + 6, (u16(stream, data + 6) & 0x8000) | twips);
            if (u16(stream, data) == c.hiddenRow)
                stream[data + 12] |= 0x20;
        } else if (type == 0x007D && u16(stream, data) <= c.hiddenColumn &&
                   c.hiddenColumn <= u16(stream, data + 2)) {
            stream[data + 8] |= 0x01; // COLINFO: first, last, coldx, ixfe, options (fHidden)
        }
    }
    writeFile(folder / "layout.xls", workbookFileWith(stream));
    return folder / "layout.xls";
}

const GeometryCase geometryCases[] = {
    // ledger.xls: one COLINFO per column A-L, then one for M on; 60 ROW records of 283 twips
    {"RowsOf250And263And292Twips", "ledger.xls", "Sheet1", {{2, 2}, {14, 7}}, {{1, 250}, {2, 263}, {3, 292}}},
    {"HiddenRowAndColumn", "ledger.xls", "Sheet1", {{3, 2}, {14, 7}}, {}, 5, 3},
    {"CornersInAnyOrderPastTheRowRecords", "ledger.xls", "Sheet1", {{70, 14}, {55, 10}}},
    {"FarDownTheSheet", "ledger.xls", "Sheet1", {{60000, 1}, {60010, 3}}, {{0, 263}, {59, 250}}},
    // ＭＳ Ｐゴシック 11: 8-pixel digits; DEFCOLWIDTH only, or one COLINFO for every column
    {"DefaultColumnsOfJapaneseDesktop", "27364.xls", "Sheet1", {{1, 1}, {20, 6}}},
    {"JapaneseLedger", "jp_ledger.xls", "台帳", {{2, 2}, {12, 9}}, {{0, 263}}},
    {"StandardWidth", "50298.xls", "Digest", {{3, 1}, {9, 4}}},
};

class RangeGeometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(RangeGeometry, IsWhereExcelsRulesPutTheCellsPoiReads)
{
    const GeometryCase& c = GetParam();
    TemporaryFolder folder;
    const auto path = withLayout(folder, c);
    auto report = poiReport(path);
    ASSERT_TRUE(report);
    auto grid = ExcelGrid::fromPoi(*report, sheetNamed(*report, QString::fromUtf8(c.sheet), "POI"));
    ASSERT_TRUE(grid) << "a Normal font of unknown digit width";
    const auto [first, last] = c.range;
    const PointRect expected =
        grid->block(std::min(first.row, last.row), std::min(first.column, last.column),
                    std::max(first.row, last.row), std::max(first.column, last.column));

    xls::XlsApplication application;
    auto workbook = application.openWorkbook(path);
    ASSERT_TRUE(workbook.ok()) << workbook.error().describe();
    auto sheet = (*workbook)->worksheet(c.sheet);
    ASSERT_TRUE(sheet.ok());
    EXPECT_TRUE((*sheet)->selectRange(c.range).ok());
    EXPECT_DOUBLE_EQ(*(*sheet)->rangeLeft(c.range), expected.left);
    EXPECT_DOUBLE_EQ(*(*sheet)->rangeTop(c.range), expected.top);
    EXPECT_DOUBLE_EQ(*(*sheet)->rangeWidth(c.range), expected.width);
    EXPECT_DOUBLE_EQ(*(*sheet)->rangeHeight(c.range), expected.height);
}

std::string geometryName(const testing::TestParamInfo<GeometryCase>& c)
{
    return c.param.name;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RangeGeometry, testing::ValuesIn(geometryCases), geometryName);

// On ledger.xls (Arial 10) column N set to 20 characters is 145 pixels and splits the COLINFO run of M
// on; B, set to the width it shows, keeps its record. Pictures placed before and after column A is widened
// both lie at column C's new left: anchors follow cells.
TEST(ColumnWidth, SetWidthsAreExcelsAndPicturesFollowThem)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "ledger.xls");
    ASSERT_TRUE(opened.first);
    auto& sheet = *opened.first;
    const std::string before = insertAt(sheet, 2, 3, pictureFixture("land.jpg"));
    for (int column : {1, 2, 200}) {
        auto width = sheet.columnWidth({1, column});
        ASSERT_TRUE(width.ok());
        ASSERT_TRUE(sheet.setColumnWidth({1, column}, *width).ok());
    }
    ASSERT_TRUE(sheet.setColumnWidth({1, 14}, 20.0).ok());
    EXPECT_NEAR(*sheet.columnWidth({1, 14}), 20.0, 0.01);
    ASSERT_TRUE(sheet.setColumnWidth({1, 1}, 30.0).ok());
    const std::string after = insertAt(sheet, 20, 3, pictureFixture("land.jpg"));
    opened.save();

    auto report = poiReport(opened.path);
    ASSERT_TRUE(report);
    const QJsonObject poiSheet = sheetNamed(*report, "Sheet1", "POI");
    auto grid = ExcelGrid::fromPoi(*report, poiSheet);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->columnPixels(0), 30 * 7 + 5);
    EXPECT_EQ(grid->columnPixels(13), 20 * 7 + 5);
    EXPECT_EQ(grid->columnPixels(12), grid->columnPixels(14));
    const QJsonArray columns = poiSheet["columns"].toArray();
    ASSERT_GE(columns.size(), 13);
    EXPECT_EQ(columns[1].toObject()["coldx"].toInt(), 1177);
    EXPECT_NEAR(grid->anchorRect(poiPicture(poiSheet, before)["anchor"].toArray()).left,
                grid->block(2, 3, 2, 3).left, 0.5);
    EXPECT_NEAR(grid->anchorRect(poiPicture(poiSheet, after)["anchor"].toArray()).left,
                grid->block(20, 3, 20, 3).left, 0.5);
    EXPECT_EQ(layoutProblemsOf(opened.path), "");
}

} // namespace
