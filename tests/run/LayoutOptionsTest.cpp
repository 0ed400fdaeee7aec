// The option panel's fixed item lists, the numbers read out of its text fields, and where the layout
// options put each picture.
#include "run/BlockCursor.h"
#include "run/NumericText.h"
#include "run/OptionLists.h"

#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <optional>

using namespace tavorin;

namespace {

struct ListCase {
    const char* name;
    QStringList (*items)();
    qsizetype size;
    std::map<int, const char*> samples; // position: item
};

class OptionList : public ::testing::TestWithParam<ListCase> {};

TEST_P(OptionList, HoldsItsItemsInOrder)
{
    const QStringList items = GetParam().items();
    ASSERT_EQ(items.size(), GetParam().size);
    EXPECT_EQ(QSet<QString>(items.begin(), items.end()).size(), items.size()) << "every item is different";
    for (const auto& [position, item] : GetParam().samples)
        EXPECT_EQ(items[position], QString::fromUtf8(item)) << "position " << position;
}

std::string listName(const ::testing::TestParamInfo<ListCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    , OptionList,
    ::testing::Values(
        ListCase{"Columns", columnNames, 256,
                 {{0, "A"}, {25, "Z"}, {26, "AA"}, {51, "AZ"}, {52, "BA"}, {233, "HZ"}, {234, "IA"}, {255, "IV"}}},
        ListCase{"LongFormColumns", longFormColumnNames, 256, {{0, "    A"}, {25, "    Z"}, {26, "  AA"}, {255, "  IV"}}},
        ListCase{"ShortFormColumns", shortFormColumnNames, 256, {{0, "  A"}, {25, "  Z"}, {26, "AA"}, {255, "IV"}}},
        ListCase{"Rows", rowNumberItems, 300, {{0, "1"}, {8, "9"}, {99, "100"}, {299, "300"}}},
        ListCase{"Spacings", spacingItems, 301, {{0, "0"}, {7, "7"}, {10, "10"}, {300, "300"}}},
        ListCase{"PicturesPerSheet", picturesPerSheetItems, 301, {{0, "ALL"}, {1, "1"}, {300, "300"}}},
        ListCase{"DateFormats", dateFormatSamples, 8,
                 {{0, "2001年3月14日"}, {1, "2001/3/14"}, {2, "2001/3/14 1:30 PM"}, {3, "2001/3/14 13:30"},
                  {4, "平成13年3月14日"}, {5, "H13.3.14"}, {6, "3月14日"}, {7, "3/14"}}}),
    listName);

class LeadingNumericValue : public ::testing::TestWithParam<std::pair<const char*, double>> {};

// Blanks are skipped (inside the number too), then a sign, digits with one decimal point and an
// exponent that has digits; whatever follows is ignored; no number at all reads as 0.
TEST_P(LeadingNumericValue, IsTheNumberAtTheStartOfTheText)
{
    EXPECT_EQ(leadingNumericValue(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(, LeadingNumericValue, ::testing::ValuesIn(std::vector<std::pair<const char*, double>>{
    {"100", 100}, {"50 ", 50}, {"  12abc", 12}, {"007", 7}, {"2.5x", 2.5}, {"-3", -3}, {"+4", 4}, {"1.2.3", 1.2},
    {"301", 301}, {"1 2", 12}, {" 3 0 1", 301}, {"1e3", 1000}, {"-3.5e1x", -35}, {"2e", 2}, {"2ex", 2}, {"", 0},
    {"   ", 0}, {"abc", 0}, {"-", 0}, {"ALL", 0}, {"x12", 0}}));

class WholeNumber16 : public ::testing::TestWithParam<std::pair<const char*, std::optional<std::int16_t>>> {};

// A whole number from -32768 to 32767 with blanks around it, and nothing else.
TEST_P(WholeNumber16, AcceptsOnlyAWholeSixteenBitNumber)
{
    EXPECT_EQ(wholeNumber16(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(, WholeNumber16, ::testing::ValuesIn(std::vector<std::pair<const char*, std::optional<std::int16_t>>>{
    {"0", 0}, {"1234", 1234}, {"-5", -5}, {" 7 ", 7}, {"32767", 32767}, {"-32768", -32768}, {"", {}}, {"  ", {}},
    {"1.5", {}}, {"7a", {}}, {"-", {}}, {"32768", {}}, {"-32769", {}}, {"99999999999", {}}, {"1 2", {}}}));

// Where each picture of a run goes, worked out by hand from the layout rules: rows advance by the
// block's height plus the spacing plus one, pairs fill left then right (the right block shifted by the
// block's width plus the gap), and every N pictures a copy starts again at the selected rows.
struct CursorCase {
    const char* name;
    double startRow, endRow;                       // the numbers the choosers show
    int startRowIndex, spacing, perSheet, pairGap; // a gap below 0: the single-column form
    const char* places; // rows "top-bottom" per picture, "+shift" when shifted, "*" first on a new copy
};

class BlockCursorPlaces : public ::testing::TestWithParam<CursorCase> {};

TEST_P(BlockCursorPlaces, FollowTheLayoutRules)
{
    const CursorCase& c = GetParam();
    BlockLayout layout;
    layout.startColumn = 2; // B to E: four columns
    layout.endColumn = 5;
    layout.startRow = c.startRow;
    layout.endRow = c.endRow;
    layout.startRowIndex = c.startRowIndex;
    layout.endRowIndex = static_cast<int>(c.endRow) - 1;
    layout.rowSpacing = c.spacing;
    layout.picturesPerSheet = c.perSheet;
    layout.singleColumnForm = c.pairGap < 0;
    layout.twoColumnForm = c.pairGap >= 0;
    layout.pairGap = std::max(c.pairGap, 0);
    BlockCursor cursor(layout);
    QStringList places;
    for (qsizetype k = QString(c.places).split(' ').size(); k > 0; --k) {
        const BlockPlace p = cursor.next();
        places << QString(p.startsNewSheet ? "*" : "") + QString::number(p.top) + "-" + QString::number(p.bottom) +
                      (p.columnShift ? "+" + QString::number(p.columnShift) : "");
    }
    EXPECT_EQ(places.join(' '), c.places);
}

std::string cursorName(const ::testing::TestParamInfo<CursorCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    , BlockCursorPlaces,
    ::testing::Values(CursorCase{"OneEmptyRowBetweenBlocks", 3, 10, 2, 1, 0, -1, "3-10 12-19 21-28"},
                      CursorCase{"NoEmptyRow", 3, 10, 2, 0, 0, -1, "3-10 11-18"},
                      CursorCase{"OneRowBlocks", 5, 5, 4, 0, 0, -1, "5-5 6-6 7-7"},
                      CursorCase{"OneRowBlocksTwoApart", 5, 5, 4, 2, 0, -1, "5-5 8-8"},
                      CursorCase{"PairsWithOneEmptyColumn", 3, 10, 2, 1, 0, 1, "3-10 3-10+5 12-19 12-19+5 21-28"},
                      CursorCase{"PairsSideBySide", 3, 10, 2, 0, 0, 0, "3-10 3-10+4 11-18"},
                      CursorCase{"ThreePerCopy", 3, 10, 2, 1, 3, -1, "*3-10 12-19 21-28 *3-10 12-19 21-28 *3-10"},
                      // The first copy: 0 and 1 side by side, 2 on the left below; the next starts on its left.
                      CursorCase{"PairsThreePerCopy", 3, 10, 2, 1, 3, 1, "*3-10 3-10+5 12-19 *3-10 3-10+5 12-19 *3-10"},
                      // A pasted 4 shown while the selected item is "3": the first copy starts at the number
                      // shown (block height 6), the next one at the selected item.
                      CursorCase{"PastedStartRow", 4, 10, 2, 0, 2, -1, "*4-10 11-17 *3-10 10-16"}),
    cursorName);

} // namespace
