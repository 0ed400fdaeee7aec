#include "run/PictureCount.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

TEST(PictureCount, ShowsABlankAndThreeDigits)
{
    EXPECT_EQ(countDisplayText(0), QStringLiteral(" 000"));
    EXPECT_EQ(countDisplayText(7), QStringLiteral(" 007"));
    EXPECT_EQ(countDisplayText(42), QStringLiteral(" 042"));
    EXPECT_EQ(countDisplayText(100), QStringLiteral(" 100"));
    EXPECT_EQ(countDisplayText(999), QStringLiteral(" 999"));
}

TEST(PictureCount, HasNoCaptionFromAThousandOn)
{
    EXPECT_FALSE(countDisplayText(1000).has_value());
    EXPECT_FALSE(countDisplayText(12345).has_value());
}

} // namespace
} // namespace tavorin
