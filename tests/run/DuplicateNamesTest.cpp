#include "run/DuplicateNames.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

TEST(DuplicateNames, ThreeLetterExtensionsOfOneNameCollide)
{
    DuplicateNames names({QStringLiteral(" a.jpg")});
    EXPECT_TRUE(names.collides(QStringLiteral(" a.gif")));
    EXPECT_TRUE(names.collides(QStringLiteral(" a.png")));
}

TEST(DuplicateNames, AFourLetterExtensionDoesNotCollideWithAThreeLetterOne)
{
    DuplicateNames names({QStringLiteral(" a.jpg")});
    EXPECT_FALSE(names.collides(QStringLiteral(" a.jpeg")));
}

TEST(DuplicateNames, ComparesWithRegardToCase)
{
    DuplicateNames names({QStringLiteral(" A.jpg")});
    EXPECT_FALSE(names.collides(QStringLiteral(" a.png")));
}

TEST(DuplicateNames, NamesDifferingOnlyInLeadingBlanksCollide)
{
    DuplicateNames names({QStringLiteral(" photo.jpg")});
    EXPECT_TRUE(names.collides(QStringLiteral("   photo.jpg")));
}

TEST(DuplicateNames, NamesAddedLaterTakePart)
{
    DuplicateNames names({});
    EXPECT_FALSE(names.collides(QStringLiteral(" b.bmp")));
    names.add(QStringLiteral(" b.bmp"));
    EXPECT_TRUE(names.collides(QStringLiteral(" b.tif")));
    EXPECT_FALSE(names.collides(QStringLiteral(" c.tif")));
}

} // namespace
} // namespace tavorin
