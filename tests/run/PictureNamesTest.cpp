#include "run/PictureNames.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

TEST(PictureExtension, AcceptsEveryEndingOfTheTable)
{
    for (const char* name : {"a.emf", "a.wmf",  "a.jpg", "a.jpeg", "a.jfif", "a.jpe",  "a.png", "a.bmp",
                             "a.dib", "a.rle",  "a.bmz", "a.gif",  "a.gfa",  "a.emz",  "a.wmz", "a.pcz",
                             "a.tif", "a.tiff", "a.cgm", "a.eps",  "a.pct",  "a.pict", "a.wpg"})
        EXPECT_TRUE(hasPictureExtension(QStringLiteral("/photos/") + QString::fromLatin1(name))) << name;
}

TEST(PictureExtension, IgnoresTheCaseOfTheEnding)
{
    EXPECT_TRUE(hasPictureExtension(QStringLiteral("/p/IMG_0001.JPG")));
    EXPECT_TRUE(hasPictureExtension(QStringLiteral("/p/scan.Jpg")));
    EXPECT_TRUE(hasPictureExtension(QStringLiteral("/p/scan.TIFF")));
}

TEST(PictureExtension, LooksOnlyAtTheLastFourCharacters)
{
    // The four-letter entries carry no dot, so a name merely ending in them counts.
    EXPECT_TRUE(hasPictureExtension(QStringLiteral("/p/photojpeg")));
    EXPECT_TRUE(hasPictureExtension(QStringLiteral("/p/snapshot_pict")));
    EXPECT_FALSE(hasPictureExtension(QStringLiteral("/p/photojpg")));
    EXPECT_FALSE(hasPictureExtension(QStringLiteral("/p/a.jpg.txt")));
    EXPECT_FALSE(hasPictureExtension(QStringLiteral("/p/a.webp")));
    EXPECT_FALSE(hasPictureExtension(QStringLiteral("/p/a.xls")));
}

TEST(PictureExtension, RefusesFoldersWithoutAPictureEnding)
{
    EXPECT_FALSE(hasPictureExtension(QStringLiteral("/home/me/Pictures")));
    EXPECT_TRUE(hasPictureExtension(QStringLiteral("/home/me/holiday.gif")));
}

TEST(PictureExtension, ShortPathsAreNoPictures)
{
    EXPECT_FALSE(hasPictureExtension(QString()));
    EXPECT_FALSE(hasPictureExtension(QStringLiteral("jpg")));
    EXPECT_TRUE(hasPictureExtension(QStringLiteral(".jpg")));
}

TEST(DisplayName, IsOneBlankAndTheFileName)
{
    EXPECT_EQ(displayNameOf(QStringLiteral("/home/me/img01.jpg")), QStringLiteral(" img01.jpg"));
    EXPECT_EQ(displayNameOf(QStringLiteral("/a/b/c/name with spaces.jpeg")),
              QStringLiteral(" name with spaces.jpeg"));
}

TEST(DisplayName, KeepsBlanksThatTheFileNameHasItself)
{
    EXPECT_EQ(displayNameOf(QStringLiteral("/p/  two.png")), QStringLiteral("   two.png"));
}

TEST(DisplayName, UsesTheWholePathWhenItHasNoSeparator)
{
    EXPECT_EQ(displayNameOf(QStringLiteral("loose.png")), QStringLiteral(" loose.png"));
}

TEST(NameKey, CutsAThreeLetterExtensionWithItsDot)
{
    EXPECT_EQ(nameKey(QStringLiteral(" img01.jpg")), QStringLiteral("img01"));
    EXPECT_EQ(nameKey(QStringLiteral(" img01.png")), QStringLiteral("img01"));
}

TEST(NameKey, KeepsTheDotOfAFourLetterExtension)
{
    EXPECT_EQ(nameKey(QStringLiteral(" img01.jpeg")), QStringLiteral("img01."));
}

TEST(NameKey, RemovesEveryLeadingBlankButNoOtherSpace)
{
    EXPECT_EQ(nameKey(QStringLiteral("    a.jpg")), QStringLiteral("a"));
    // A tab or an ideographic space is not a blank here.
    EXPECT_EQ(nameKey(QStringLiteral(" \ta.jpg")), QStringLiteral("\ta"));
    EXPECT_EQ(nameKey(QStringLiteral(" \u3000a.jpg")), QStringLiteral("\u3000a"));
    EXPECT_EQ(nameKey(QStringLiteral(" a b.jpg")), QStringLiteral("a b"));
}

TEST(NameKey, IsEmptyForTextsOfFourCharactersOrLess)
{
    EXPECT_EQ(nameKey(QStringLiteral(" jpeg")), QString());
    EXPECT_EQ(nameKey(QStringLiteral(".jpg")), QString());
    EXPECT_EQ(nameKey(QStringLiteral("ab")), QString());
}

TEST(SortKey, LowerCasesTheWholeText)
{
    EXPECT_EQ(sortKey(QStringLiteral(" IMG_01.JPG")), QStringLiteral(" img_01.jpg"));
    EXPECT_EQ(sortKey(QStringLiteral(" ÄBC.png")), QStringLiteral(" äbc.png"));
}

} // namespace
} // namespace tavorin
