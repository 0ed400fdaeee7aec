// Reading numbers out of the texts of the option fields.
#include "run/NumericText.h"

#include <gtest/gtest.h>

using namespace tavorin;

TEST(LeadingNumericValue, ReadsTheLeadingNumber)
{
    EXPECT_EQ(leadingNumericValue("100"), 100.0);
    EXPECT_EQ(leadingNumericValue("50 "), 50.0);
    EXPECT_EQ(leadingNumericValue("  12abc"), 12.0);
    EXPECT_EQ(leadingNumericValue("007"), 7.0);
    EXPECT_EQ(leadingNumericValue("2.5x"), 2.5);
    EXPECT_EQ(leadingNumericValue("-3"), -3.0);
    EXPECT_EQ(leadingNumericValue("+4"), 4.0);
    EXPECT_EQ(leadingNumericValue("1.2.3"), 1.2);
}

TEST(LeadingNumericValue, IsZeroWithoutANumber)
{
    EXPECT_EQ(leadingNumericValue(""), 0.0);
    EXPECT_EQ(leadingNumericValue("   "), 0.0);
    EXPECT_EQ(leadingNumericValue("abc"), 0.0);
    EXPECT_EQ(leadingNumericValue("-"), 0.0);
    EXPECT_EQ(leadingNumericValue("ALL"), 0.0);
    EXPECT_EQ(leadingNumericValue("x12"), 0.0);
}

TEST(LeadingNumericValue, IgnoresBlanksInsideTheNumber)
{
    EXPECT_EQ(leadingNumericValue("1 2"), 12.0);
    EXPECT_EQ(leadingNumericValue(" 3 0 1"), 301.0);
}

TEST(LeadingNumericValue, TakesAnExponentOnlyWithDigits)
{
    EXPECT_EQ(leadingNumericValue("1e3"), 1000.0);
    EXPECT_EQ(leadingNumericValue("-3.5e1x"), -35.0);
    EXPECT_EQ(leadingNumericValue("2e"), 2.0);
    EXPECT_EQ(leadingNumericValue("2ex"), 2.0);
}

TEST(LeadingNumericValue, ComparesLargeRowTextsAsNumbers)
{
    EXPECT_GT(leadingNumericValue("301"), 300.0);
    EXPECT_LT(leadingNumericValue("9"), leadingNumericValue("100"));
}

TEST(WholeNumber16, AcceptsWholeNumbersInRange)
{
    EXPECT_EQ(wholeNumber16("0"), std::int16_t{0});
    EXPECT_EQ(wholeNumber16("1234"), std::int16_t{1234});
    EXPECT_EQ(wholeNumber16("-5"), std::int16_t{-5});
    EXPECT_EQ(wholeNumber16(" 7 "), std::int16_t{7});
    EXPECT_EQ(wholeNumber16("32767"), std::int16_t{32767});
    EXPECT_EQ(wholeNumber16("-32768"), std::int16_t{-32768});
}

TEST(WholeNumber16, RefusesEverythingElse)
{
    EXPECT_FALSE(wholeNumber16(""));
    EXPECT_FALSE(wholeNumber16("  "));
    EXPECT_FALSE(wholeNumber16("1.5"));
    EXPECT_FALSE(wholeNumber16("7a"));
    EXPECT_FALSE(wholeNumber16("-"));
    EXPECT_FALSE(wholeNumber16("32768"));
    EXPECT_FALSE(wholeNumber16("-32769"));
    EXPECT_FALSE(wholeNumber16("99999999999"));
    EXPECT_FALSE(wholeNumber16("1 2"));
}
