#include "platform/xls/geometry/ColumnWidthUnits.h"
#include "platform/xls/geometry/MaximumDigitWidth.h"

#include <gtest/gtest.h>

using namespace tavorin::xls;

// Figures Excel shows in its column width dialog and default sheets.
TEST(ColumnWidthUnits, DefaultColumnOfArialAndCalibriIs64PixelsShownAs8_43)
{
    EXPECT_EQ(column_width::pixelsFromDefaultCharacters(8, 7), 64);
    EXPECT_DOUBLE_EQ(column_width::charactersFromPixels(64, 7), 8.43);
}

TEST(ColumnWidthUnits, DefaultColumnOfJapaneseDesktopIs72PixelsShownAs8_38)
{
    EXPECT_EQ(column_width::pixelsFromDefaultCharacters(8, 8), 72);
    EXPECT_DOUBLE_EQ(column_width::charactersFromPixels(72, 8), 8.38);
}

TEST(ColumnWidthUnits, ColinfoWidthsSavedByJapaneseDesktopAreWholePixelsAtMdw8)
{
    EXPECT_EQ(column_width::pixelsFromColdx(2304, 8), 72);
    EXPECT_EQ(column_width::pixelsFromColdx(1888, 8), 59);
    EXPECT_EQ(column_width::coldxFromPixels(72, 8), 2304);
    EXPECT_EQ(column_width::coldxFromPixels(59, 8), 1888);
}

TEST(ColumnWidthUnits, ExcelStores8_43CharactersOfArialAs2340)
{
    EXPECT_EQ(column_width::pixelsFromColdx(2340, 7), 64);
    EXPECT_EQ(column_width::coldxFromPixels(64, 7), 2340);
}

TEST(ColumnWidthUnits, PaddingGrowsForWideDigits)
{
    EXPECT_EQ(column_width::paddingPixels(7), 5);
    EXPECT_EQ(column_width::paddingPixels(8), 5);
    EXPECT_EQ(column_width::paddingPixels(9), 7);
    EXPECT_EQ(column_width::paddingPixels(13), 9);
}

TEST(ColumnWidthUnits, CharacterWidthsTakeWholePixelsPlusPadding)
{
    EXPECT_EQ(column_width::pixelsFromCharacters(10.0, 7), 75);   // "10.00 (75 pixels)"
    EXPECT_EQ(column_width::pixelsFromCharacters(8.43, 7), 64);
    EXPECT_EQ(column_width::pixelsFromCharacters(1.0, 7), 12);
    EXPECT_EQ(column_width::pixelsFromCharacters(0.5, 7), 6);    // below one digit: scaled to 12 px
    EXPECT_EQ(column_width::pixelsFromCharacters(0.0, 7), 0);
    EXPECT_EQ(column_width::pixelsFromCharacters(-3.0, 7), 0);
    EXPECT_DOUBLE_EQ(column_width::charactersFromPixels(1, 7), 0.08); // "0.08 (1 pixels)"
    EXPECT_DOUBLE_EQ(column_width::charactersFromPixels(0, 7), 0.0);
}

// What the run relies on: reading a column width and setting it back leaves the column as it was.
TEST(ColumnWidthUnits, ReadingAndSettingColumnWidthBackKeepsThePixels)
{
    for (int mdw = 5; mdw <= 20; ++mdw)
        // up to Excel's widest column, 255 characters
        for (int pixels = 0; pixels <= 255 * mdw + column_width::paddingPixels(mdw); ++pixels) {
            const double characters = column_width::charactersFromPixels(pixels, mdw);
            ASSERT_EQ(column_width::pixelsFromCharacters(characters, mdw), pixels) << "mdw " << mdw << " px " << pixels;
            ASSERT_EQ(column_width::pixelsFromColdx(column_width::coldxFromPixels(pixels, mdw), mdw), pixels);
        }
}

TEST(ColumnWidthUnits, NonsenseRecordValuesStayBounded)
{
    EXPECT_EQ(column_width::pixelsFromColdx(-5, 7), 0);
    EXPECT_GT(column_width::pixelsFromColdx(0xFFFF, 7), 0);
    EXPECT_EQ(column_width::pixelsFromColdx(100, 0), column_width::pixelsFromColdx(100, 1));
    EXPECT_EQ(column_width::pixelsFromDefaultCharacters(-1, 7), 8);
}

TEST(MaximumDigitWidth, TemplateFontsGiveExcelsDigitWidths)
{
    EXPECT_EQ(maximumDigitWidth("Arial", 200).pixels, 7);
    EXPECT_EQ(maximumDigitWidth("Calibri", 220).pixels, 7);
    EXPECT_EQ(maximumDigitWidth("ＭＳ Ｐゴシック", 220).pixels, 8);
    EXPECT_EQ(maximumDigitWidth("MS PGothic", 220).pixels, 8);
    EXPECT_EQ(maximumDigitWidth("ms pgothic", 220).pixels, 8);
    EXPECT_TRUE(maximumDigitWidth("Arial", 200).measured);
    EXPECT_TRUE(maximumDigitWidth("ＭＳ Ｐゴシック", 220).measured);
}

TEST(MaximumDigitWidth, OtherSizesScaleWithThePointSize)
{
    const int small = maximumDigitWidth("Arial", 160).pixels;
    const int large = maximumDigitWidth("Arial", 400).pixels;
    EXPECT_LT(small, 7);
    EXPECT_GE(large, 14);
    EXPECT_LE(large, 15);
    EXPECT_FALSE(maximumDigitWidth("Arial", 400).measured);
    EXPECT_EQ(maximumDigitWidth("ＭＳ ゴシック", 220).pixels, 8);
    EXPECT_EQ(maximumDigitWidth("ＭＳ Ｐゴシック", 280).pixels, 10); // 14 pt: 19 px em, half cell 10
}

TEST(MaximumDigitWidth, UnknownFacesAndBadSizesAreEstimatedFromTheSize)
{
    const MaximumDigitWidth sans = maximumDigitWidth("Sans", 200);
    EXPECT_EQ(sans.pixels, 7);
    EXPECT_FALSE(sans.measured);
    EXPECT_EQ(maximumDigitWidth("", 0).pixels, 7);       // 0 twips read as 10 pt
    EXPECT_GE(maximumDigitWidth("Nonexistent", 20).pixels, 1);
}
