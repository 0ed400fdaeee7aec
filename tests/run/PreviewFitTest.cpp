#include "run/PreviewFit.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

TEST(PreviewFit, AWidePictureFillsTheWidthAndIsCentredVertically)
{
    const auto fit = fitPreview(2450.0f, 1000.0f);
    ASSERT_TRUE(fit.has_value());
    EXPECT_FLOAT_EQ(fit->width, 2450.0f);
    EXPECT_FLOAT_EQ(fit->height, 1000.0f);
    EXPECT_FLOAT_EQ(fit->left, 1365.0f);
    EXPECT_FLOAT_EQ(fit->top, 1140.0f + 420.0f);
}

TEST(PreviewFit, ATallPictureFillsTheHeightAndIsCentredHorizontally)
{
    const auto fit = fitPreview(1000.0f, 1840.0f);
    ASSERT_TRUE(fit.has_value());
    EXPECT_FLOAT_EQ(fit->height, 1840.0f);
    EXPECT_FLOAT_EQ(fit->width, 1000.0f);
    EXPECT_FLOAT_EQ(fit->top, 1140.0f);
    EXPECT_FLOAT_EQ(fit->left, 1365.0f + 725.0f);
}

TEST(PreviewFit, APictureInTheBoxRatioFillsTheBox)
{
    const auto fit = fitPreview(4900.0f, 3680.0f);
    ASSERT_TRUE(fit.has_value());
    EXPECT_FLOAT_EQ(fit->left, 1365.0f);
    EXPECT_FLOAT_EQ(fit->top, 1140.0f);
    EXPECT_FLOAT_EQ(fit->width, 2450.0f);
    EXPECT_FLOAT_EQ(fit->height, 1840.0f);
}

TEST(PreviewFit, EnlargesSmallPicturesAndReducesLargeOnes)
{
    const auto small = fitPreview(245.0f, 100.0f);     // ten times smaller than 2450 x 1000
    const auto large = fitPreview(90000.0f, 60000.0f); // 6000 x 4000 pixels
    ASSERT_TRUE(small && large);
    EXPECT_FLOAT_EQ(small->width, 2450.0f);
    EXPECT_FLOAT_EQ(small->height, 1000.0f);
    EXPECT_FLOAT_EQ(large->width, 2450.0f);
    EXPECT_NEAR(large->height, 2450.0f * 2.0f / 3.0f, 0.01f);
}

TEST(PreviewFit, OneSideAlwaysTouchesTheBox)
{
    for (float width : {1.0f, 15.0f, 333.0f, 2450.0f, 7777.0f}) {
        for (float height : {1.0f, 15.0f, 1840.0f, 4321.0f}) {
            const auto fit = fitPreview(width, height);
            ASSERT_TRUE(fit.has_value());
            const bool touchesSides = std::abs(fit->width - 2450.0f) < 0.01f;
            const bool touchesTopAndBottom = std::abs(fit->height - 1840.0f) < 0.01f;
            EXPECT_TRUE(touchesSides || touchesTopAndBottom) << width << " x " << height;
            EXPECT_LE(fit->width, 2450.0f + 0.01f);
            EXPECT_LE(fit->height, 1840.0f + 0.01f);
        }
    }
}

TEST(PreviewFit, APictureWithoutAreaHasNoPlace)
{
    EXPECT_FALSE(fitPreview(0.0f, 100.0f).has_value());
    EXPECT_FALSE(fitPreview(100.0f, 0.0f).has_value());
    EXPECT_FALSE(fitPreview(-5.0f, 100.0f).has_value());
}

} // namespace
} // namespace tavorin
