#include "run/RotationMark.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

TEST(RotationMark, StepsThroughTheFourMarks)
{
    EXPECT_EQ(nextRotationMark(QStringLiteral("○")), QStringLiteral("→"));
    EXPECT_EQ(nextRotationMark(QStringLiteral("→")), QStringLiteral("↓"));
    EXPECT_EQ(nextRotationMark(QStringLiteral("↓")), QStringLiteral("←"));
    EXPECT_EQ(nextRotationMark(QStringLiteral("←")), QStringLiteral("○"));
}

TEST(RotationMark, LeavesAnyOtherTextAsItIs)
{
    EXPECT_EQ(nextRotationMark(QString()), QString());
    EXPECT_EQ(nextRotationMark(QStringLiteral("o")), QStringLiteral("o"));
    EXPECT_EQ(nextRotationMark(QStringLiteral("○ ")), QStringLiteral("○ "));
}

TEST(RotationMark, StandsForAClockwiseTurn)
{
    EXPECT_EQ(rotationDegrees(QStringLiteral("○")), 0);
    EXPECT_EQ(rotationDegrees(QStringLiteral("→")), 90);
    EXPECT_EQ(rotationDegrees(QStringLiteral("↓")), 180);
    EXPECT_EQ(rotationDegrees(QStringLiteral("←")), 270);
    EXPECT_FALSE(rotationDegrees(QStringLiteral("x")).has_value());
}

TEST(RotationMark, CommandLineDegreesGiveTheMarks)
{
    EXPECT_EQ(rotationMarkFor(90), QStringLiteral("→"));
    EXPECT_EQ(rotationMarkFor(180), QStringLiteral("↓"));
    EXPECT_EQ(rotationMarkFor(270), QStringLiteral("←"));
    EXPECT_EQ(rotationMarkFor(0), QStringLiteral("○"));
    EXPECT_EQ(rotationMarkFor(45), QStringLiteral("○")) << "an unknown turn leaves the picture upright";
}

} // namespace
} // namespace tavorin
