// The fixed item lists of the option choosers.
#include "run/OptionLists.h"

#include <gtest/gtest.h>

#include <set>

using namespace tavorin;

TEST(ColumnNames, RunFromAToIvInWorksheetOrder)
{
    const QStringList names = columnNames();
    ASSERT_EQ(names.size(), 256);
    EXPECT_EQ(names[0], "A");
    EXPECT_EQ(names[25], "Z");
    EXPECT_EQ(names[26], "AA");
    EXPECT_EQ(names[51], "AZ");
    EXPECT_EQ(names[52], "BA");
    EXPECT_EQ(names[233], "HZ");
    EXPECT_EQ(names[234], "IA");
    EXPECT_EQ(names[255], "IV");
    // Each name is the bijective base-26 spelling of its column number.
    for (int column = 1; column <= 256; ++column) {
        QString expected;
        for (int n = column; n > 0; n = (n - 1) / 26)
            expected.prepend(QChar(u'A' + (n - 1) % 26));
        EXPECT_EQ(names[column - 1], expected) << column;
    }
}

TEST(ColumnNames, LongFormPutsFourBlanksBeforeOneLetterAndTwoBeforeTwo)
{
    const QStringList names = longFormColumnNames();
    ASSERT_EQ(names.size(), 256);
    EXPECT_EQ(names[0], "    A");
    EXPECT_EQ(names[25], "    Z");
    EXPECT_EQ(names[26], "  AA");
    EXPECT_EQ(names[255], "  IV");
}

TEST(ColumnNames, ShortFormPutsTwoBlanksBeforeOneLetterAndNoneBeforeTwo)
{
    const QStringList names = shortFormColumnNames();
    ASSERT_EQ(names.size(), 256);
    EXPECT_EQ(names[0], "  A");
    EXPECT_EQ(names[25], "  Z");
    EXPECT_EQ(names[26], "AA");
    EXPECT_EQ(names[255], "IV");
}

TEST(ColumnNames, AreAllDifferent)
{
    const QStringList names = columnNames();
    EXPECT_EQ(std::set<QString>(names.begin(), names.end()).size(), 256u);
}

TEST(NumberLists, RowChoosersHoldOneTo300)
{
    const QStringList items = rowNumberItems();
    ASSERT_EQ(items.size(), 300);
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(items[i].toInt(), i + 1);
    EXPECT_EQ(items[0], "1");
    EXPECT_EQ(items[299], "300");
}

TEST(NumberLists, SpacingChoosersHoldZeroTo300WithoutPadding)
{
    const QStringList items = spacingItems();
    ASSERT_EQ(items.size(), 301);
    EXPECT_EQ(items[0], "0");
    EXPECT_EQ(items[7], "7");
    EXPECT_EQ(items[10], "10");
    EXPECT_EQ(items[300], "300");
}

TEST(NumberLists, PicturesPerSheetStartsWithAllThenOneTo300)
{
    const QStringList items = picturesPerSheetItems();
    ASSERT_EQ(items.size(), 301);
    EXPECT_EQ(items[0], "ALL");
    EXPECT_EQ(items[1], "1");
    EXPECT_EQ(items[300], "300");
}

TEST(DateFormats, EightSamplesOf14March2001)
{
    const QStringList samples = dateFormatSamples();
    ASSERT_EQ(samples.size(), 8);
    EXPECT_EQ(samples[0], QStringLiteral("2001年3月14日"));
    EXPECT_EQ(samples[2], QStringLiteral("2001/3/14 1:30 PM"));
    EXPECT_EQ(samples[4], QStringLiteral("平成13年3月14日"));
    EXPECT_EQ(samples[7], QStringLiteral("3/14"));
}
