// The run's rules worked out by hand: the numbers read out of the option panel's text fields, where the
// layout options put each picture; which files are pictures, the names the picture list shows and the
// keys of its duplicate test and sort, the rotation marks. (The option lists, the duplicate test, the
// sort and the preview's fit are judged in the window, through real drops: MainWindow_test and
// PictureList_test.)
#include "run/BlockCursor.h"
#include "run/NumericText.h"
#include "run/PictureNames.h"
#include "run/RotationMark.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <optional>

namespace tavorin {
namespace {

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

using WholeCase = std::pair<const char*, std::optional<std::int16_t>>;
class WholeNumber16 : public ::testing::TestWithParam<WholeCase> {};
// A whole number from -32768 to 32767 with blanks around it, and nothing else.
TEST_P(WholeNumber16, AcceptsOnlyAWholeSixteenBitNumber)
{
    EXPECT_EQ(wholeNumber16(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(, WholeNumber16, ::testing::ValuesIn(std::vector<WholeCase>{
    {"0", 0}, {"1234", 1234}, {"-5", -5}, {" 7 ", 7}, {"32767", 32767}, {"-32768", -32768}, {"", {}}, {"  ", {}},
    {"1.5", {}}, {"7a", {}}, {"-", {}}, {"32768", {}}, {"-32769", {}}, {"99999999999", {}}, {"1 2", {}}}));

// Where each picture of a run goes, worked out by hand from the layout rules: rows advance by the
// block's height plus the spacing plus one, pairs fill left then right (the right block shifted by the
// block's width plus the gap), and every N pictures a copy starts again at the selected rows. Blocks span
// columns B to E.
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
    BlockCursor cursor({.startColumn = 2, .endColumn = 5, .startRow = c.startRow, .endRow = c.endRow,
                        .startRowIndex = c.startRowIndex, .endRowIndex = int(c.endRow) - 1, .rowSpacing = c.spacing,
                        .picturesPerSheet = c.perSheet, .singleColumnForm = c.pairGap < 0,
                        .twoColumnForm = c.pairGap >= 0, .pairGap = std::max(c.pairGap, 0)});
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

// The 26 endings, each compared with the last four characters of the path, in any case.
TEST(PictureExtension, IsOneOfTheTableInTheLastFourCharacters)
{
    for (const char* ending : {".emf", ".wmf", ".jpg", "jpeg", "jfif", ".jpe", ".png", ".bmp", ".dib", ".rle", ".bmz",
                               ".gif", ".gfa", ".emz", ".wmz", ".pcz", ".tif", "tiff", ".cgm", ".eps", ".pct", "pict",
                               ".wpg", "heic", "heif", "webp"}) {
        EXPECT_TRUE(hasPictureExtension(QStringLiteral("/photos/a") + ending)) << ending;
        EXPECT_TRUE(hasPictureExtension(QStringLiteral("/photos/a") + QString(ending).toUpper())) << ending;
    }
    for (const char* path : {"/p/photojpeg", "/p/snapshot_pict", ".jpg"})
        EXPECT_TRUE(hasPictureExtension(path)) << path;
    for (const char* path : {"/p/photojpg", "/p/a.jpg.txt", "/p/a.heics", "/p/a.xls", "/home/me/Pictures", "", "jpg"})
        EXPECT_FALSE(hasPictureExtension(path)) << path;
}

struct TextCase {
    QString (*rule)(const QString&);
    const char *text, *result;
};
class NameText : public ::testing::TestWithParam<TextCase> {};
// displayNameOf: a blank and the file name. nameKey: the name without its last four characters and
// its leading U+0020 blanks. sortKey: the name lower-cased.
TEST_P(NameText, FollowsItsRule)
{
    EXPECT_EQ(GetParam().rule(GetParam().text), QString::fromUtf8(GetParam().result)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(, NameText, ::testing::Values(
    TextCase{displayNameOf, "/home/me/img01.jpg", " img01.jpg"}, TextCase{displayNameOf, "/p/  two.png", "   two.png"},
    TextCase{displayNameOf, "/a/b/name with spaces.jpeg", " name with spaces.jpeg"},
    TextCase{displayNameOf, "loose.png", " loose.png"}, TextCase{nameKey, " img01.jpg", "img01"},
    TextCase{nameKey, " img01.jpeg", "img01."}, TextCase{nameKey, "    a.jpg", "a"},
    TextCase{nameKey, " \ta.jpg", "\ta"}, TextCase{nameKey, " \u3000a.jpg", "\u3000a"},
    TextCase{nameKey, " a b.jpg", "a b"},
    TextCase{nameKey, " jpeg", ""}, TextCase{nameKey, "ab", ""}, TextCase{sortKey, " IMG_01.JPG", " img_01.jpg"},
    TextCase{sortKey, " ÄBC.png", " äbc.png"}));

// A double-click steps ○ → ↓ ← and back; each mark stands for a clockwise turn; other texts stay.
TEST(RotationMark, StepsOnAndStandsForItsTurn)
{
    const char* marks[] = {"○", "→", "↓", "←"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(nextRotationMark(marks[i]), marks[(i + 1) % 4]);
        EXPECT_EQ(rotationDegrees(marks[i]), 90 * i);
        EXPECT_EQ(rotationMarkFor(90 * i), marks[i]);
    }
    for (const char* other : {"", "o", "○ "}) {
        EXPECT_EQ(nextRotationMark(other), other);
        EXPECT_FALSE(rotationDegrees(other));
    }
    EXPECT_EQ(rotationMarkFor(45), "○") << "an unknown turn leaves the picture upright";
}

} // namespace
} // namespace tavorin
