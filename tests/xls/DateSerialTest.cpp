#include "platform/xls/model/DateNumberFormats.h"
#include "platform/xls/model/DateSerial.h"

#include <gtest/gtest.h>

using namespace tavorin::xls;

namespace {
double serial(int y, int m, int d, int h = 0, int min = 0, int s = 0, DateSystem system = DateSystem::Date1900)
{
    auto result = dateSerial(y, m, d, h, min, s, 0, system);
    EXPECT_TRUE(result.ok()) << y << "-" << m << "-" << d;
    return result.ok() ? *result : -1.0;
}
} // namespace

// Serial numbers as Excel shows them for a date typed into a General cell.
TEST(DateSerial, Dates1900SystemMatchExcel)
{
    EXPECT_DOUBLE_EQ(serial(2001, 3, 14), 36964.0);
    EXPECT_DOUBLE_EQ(serial(2001, 3, 14, 13, 30), 36964.5625);
    EXPECT_DOUBLE_EQ(serial(1900, 3, 1), 61.0);
    EXPECT_DOUBLE_EQ(serial(2026, 12, 7), 46363.0);
    EXPECT_DOUBLE_EQ(serial(9999, 12, 31), 2958465.0);
}

TEST(DateSerial, EarlyDates1900CountExcelsFictitiousLeapDay)
{
    EXPECT_DOUBLE_EQ(serial(1900, 1, 1), 1.0);
    EXPECT_DOUBLE_EQ(serial(1900, 2, 28), 59.0);
    EXPECT_DOUBLE_EQ(serial(1900, 2, 29), 60.0);
}

TEST(DateSerial, Dates1904SystemStartAtZero)
{
    EXPECT_DOUBLE_EQ(serial(1904, 1, 1, 0, 0, 0, DateSystem::Date1904), 0.0);
    EXPECT_DOUBLE_EQ(serial(2001, 3, 14, 0, 0, 0, DateSystem::Date1904), 36964.0 - 1462.0);
}

TEST(DateSerial, TimeOfDayIsTheFraction)
{
    EXPECT_DOUBLE_EQ(serial(2001, 3, 14, 12, 0, 0) - 36964.0, 0.5);
    EXPECT_NEAR(serial(2001, 3, 14, 23, 59, 59) - 36964.0, 86399.0 / 86400.0, 1e-9);
}

TEST(DateSerial, ImpossibleOrOutOfRangeDatesFail)
{
    EXPECT_FALSE(dateSerial(2001, 2, 29, 0, 0, 0, 0, DateSystem::Date1900).ok());
    EXPECT_FALSE(dateSerial(1899, 12, 31, 0, 0, 0, 0, DateSystem::Date1900).ok());
    EXPECT_FALSE(dateSerial(1903, 12, 31, 0, 0, 0, 0, DateSystem::Date1904).ok());
    EXPECT_FALSE(dateSerial(1900, 2, 29, 0, 0, 0, 0, DateSystem::Date1904).ok());
    EXPECT_FALSE(dateSerial(10000, 1, 1, 0, 0, 0, 0, DateSystem::Date1900).ok());
    EXPECT_FALSE(dateSerial(2001, 13, 1, 0, 0, 0, 0, DateSystem::Date1900).ok());
    EXPECT_FALSE(dateSerial(2001, 1, 1, 24, 0, 0, 0, DateSystem::Date1900).ok());
    EXPECT_FALSE(dateSerial(2001, 1, 1, 0, 60, 0, 0, DateSystem::Date1900).ok());
    auto failed = dateSerial(2001, 2, 30, 0, 0, 0, 0, DateSystem::Date1900);
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().message.find("2001-2-30"), std::string::npos);
}

TEST(DateNumberFormats, EightCaptionFormatsByPosition)
{
    EXPECT_EQ(dateCaptionFormat(0), std::optional<std::string_view>("yyyy\"年\"m\"月\"d\"日\";@"));
    EXPECT_EQ(dateCaptionFormat(2), std::optional<std::string_view>("[$-409]yyyy/m/d h:mm AM/PM;@"));
    EXPECT_EQ(dateCaptionFormat(4), std::optional<std::string_view>("[$-411]ggge\"年\"m\"月\"d\"日\";@"));
    EXPECT_EQ(dateCaptionFormat(5), std::optional<std::string_view>("[$-411]ge.m.d;@"));
    EXPECT_EQ(dateCaptionFormat(7), std::optional<std::string_view>("m/d;@"));
    EXPECT_EQ(dateCaptionFormat(8), std::nullopt);
    EXPECT_EQ(dateCaptionFormat(-1), std::nullopt);
}
