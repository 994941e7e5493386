// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/timetext.h"

#include <gtest/gtest.h>

namespace chronivel {
namespace {

TimeFormat FormatNumber(int number, int digitCount = 9)
{
    TimeFormat format;
    format.SelectFormat(number);
    format.SetDigitCount(digitCount);
    return format;
}

TEST(TimeText, WritesEachFormatAtFullWidth)
{
    EXPECT_EQ(TimeText(0, FormatNumber(0)), "00:00.00,000");
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(0)), "01:02.03,456");
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(1)), "003723,456");
    EXPECT_EQ(TimeText(3'723'450, FormatNumber(2)), "01:02.03,45");
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(3)), "003723,46");
    EXPECT_EQ(TimeText(3'723'400, FormatNumber(4)), "01:02.03,4");
    EXPECT_EQ(TimeText(3'723'400, FormatNumber(5)), "003723,4");
}

TEST(TimeText, RoundsHalfUpToTheLastShownDigitAndCarries)
{
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(2)), "01:02.03,46");
    EXPECT_EQ(TimeText(3'723'454, FormatNumber(2)), "01:02.03,45");
    EXPECT_EQ(TimeText(59'960, FormatNumber(4)), "00:01.00,0");
    EXPECT_EQ(TimeText(3'599'950, FormatNumber(4)), "01:00.00,0");
    EXPECT_EQ(TimeText(999'999'995, FormatNumber(3)), "000000,00");  // carries past the six seconds digits
}

TEST(TimeText, WrapsInsteadOfOutgrowingItsDigits)
{
    EXPECT_EQ(TimeText(360'000'000, FormatNumber(0)), "00:00.00,000");  // 100 hours
    EXPECT_EQ(TimeText(1'000'000'000 + 1'234, FormatNumber(1)), "000001,234");
}

TEST(TimeText, ShowsRunsLongerThanTwentyFiveDays)
{
    // 2^31 ms and beyond once came out negative and garbled.
    const std::int64_t thirtyDays = 30LL * 24 * 3'600'000 + 61'001;
    EXPECT_EQ(TimeText(thirtyDays, FormatNumber(0)), "20:01.01,001");
    EXPECT_EQ(TimeText(2'147'483'648, FormatNumber(0)), "96:31.23,648");
    EXPECT_EQ(TimeText(5'000'000'000LL, FormatNumber(1)), "000000,000");
}

TEST(TimeText, NeverWritesANegativeTime)
{
    EXPECT_EQ(TimeText(-1, FormatNumber(0)), "00:00.00,000");
    EXPECT_EQ(TimeText(-3'723'456, FormatNumber(3)), "000000,00");
}

TEST(TimeText, FewerDigitPositionsDropTheLeadingFields)
{
    EXPECT_EQ(TimeText(63'000, FormatNumber(0, 7)), "01.03,000");
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(0, 6)), "2.03,456");
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(0, 5)), "03,456");
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(0, 4)), "3,456");
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(0, 0)), "3,456");
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(0, 100)), "01:02.03,456");
    EXPECT_EQ(TimeText(3'723'456, FormatNumber(1, 0)), "003723,456");  // the seconds formats keep six digits
}

TEST(TimeFormat, ChoosesDecimalPlacesWithTheFormatAndRejectsUnknownFormats)
{
    for (int number = 0; number < 6; ++number)
        EXPECT_EQ(FormatNumber(number).DecimalPlaces(), 3 - number / 2) << number;
    for (int damaged : {-1, TimeFormat::FormatCount, 99}) {
        const TimeFormat format = FormatNumber(damaged);
        EXPECT_EQ(format.Format(), 0) << damaged;
        EXPECT_EQ(format.DecimalPlaces(), 3) << damaged;
        EXPECT_EQ(TimeText(1'234, format), "00:00.01,234");
    }
}

TEST(StripLeadingZeros, KeepsTheLastSecondsDigitAndTheFraction)
{
    EXPECT_EQ(StripLeadingZeros("00:00.05,120", 3), "5,120");
    EXPECT_EQ(StripLeadingZeros("00:01.05,120", 3), "1.05,120");
    EXPECT_EQ(StripLeadingZeros("00:00.00,000", 3), "0,000");
    EXPECT_EQ(StripLeadingZeros("000012,34", 2), "12,34");
    EXPECT_EQ(StripLeadingZeros("000000,45", 2), "0,45");
    EXPECT_EQ(StripLeadingZeros("12:00.00,0", 1), "12:00.00,0");
    EXPECT_EQ(StripLeadingZeros("00:00.00,5", 1), "0,5");
}

TEST(StripLeadingZeros, StartsAfterTheEqualsSignOfALine)
{
    EXPECT_EQ(StripLeadingZeros("LAP 1 = 00:00.05,120", 3), "LAP 1 = 5,120");
    EXPECT_EQ(StripLeadingZeros("X=", 3), "X=");  // the sign at the very end
    EXPECT_EQ(StripLeadingZeros("", 3), "");
}

TEST(DisplayValue, CutsToTheShownResolution)
{
    EXPECT_EQ(DisplayValue(12'345, 3), 12'345);
    EXPECT_EQ(DisplayValue(12'345, 2), 12'340);
    EXPECT_EQ(DisplayValue(12'399, 1), 12'300);
    EXPECT_EQ(DisplayValue(5'000'000'099LL, 1), 5'000'000'000LL);
}

}  // namespace
}  // namespace chronivel
