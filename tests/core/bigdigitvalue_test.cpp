// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/bigdigitvalue.h"

#include <gtest/gtest.h>

#include "tests/core/shownformat.h"

namespace chronivel {
namespace {

// The dim flags of Digit1..Digit5, the hour mark and the minute mark, as a
// string: "D" dim, "b" bright.
std::string Dim(std::int64_t value, int format)
{
    const BigDimming d = DimmingFor(value, testing::FormatOf(format));
    std::string s;
    for (const bool dim : d.digit) s += dim ? 'D' : 'b';
    s += ' ';
    s += d.labelHour ? 'D' : 'b';
    s += d.labelMin ? 'D' : 'b';
    return s;
}

TEST(BigDimming, DigitsLightFromTheRightAsTheTimeGrows)
{
    EXPECT_EQ(Dim(0, 0), "DDDDD DD");
    EXPECT_EQ(Dim(9'999, 0), "DDDDD DD");
    EXPECT_EQ(Dim(10'000, 0), "DDDDb DD");
    EXPECT_EQ(Dim(59'999, 0), "DDDDb DD");
    EXPECT_EQ(Dim(60'000, 0), "DDDbb Db") << "a minute lights the minutes and their mark";
    EXPECT_EQ(Dim(599'999, 0), "DDDbb Db");
    EXPECT_EQ(Dim(600'000, 0), "DDbbb Db");
    EXPECT_EQ(Dim(3'599'999, 0), "DDbbb Db");
    EXPECT_EQ(Dim(3'600'000, 0), "Dbbbb bb") << "an hour lights the hours and their mark";
    EXPECT_EQ(Dim(35'999'999, 0), "Dbbbb bb");
    EXPECT_EQ(Dim(36'000'000, 0), "bbbbb bb");
    EXPECT_EQ(Dim(36'000'000, 4), "bbbbb bb");
}

TEST(BigDimming, SecondsFormatsCountInHundreds)
{
    EXPECT_EQ(Dim(99'999, 1), "DDDDb DD");
    EXPECT_EQ(Dim(100'000, 1), "DDDbb Db");
    EXPECT_EQ(Dim(999'999, 1), "DDDbb Db");
    EXPECT_EQ(Dim(1'000'000, 1), "DDbbb Db");
    EXPECT_EQ(Dim(9'999'999, 3), "DDbbb Db");
    EXPECT_EQ(Dim(10'000'000, 3), "Dbbbb bb");
    EXPECT_EQ(Dim(99'999'999, 5), "Dbbbb bb");
    EXPECT_EQ(Dim(100'000'000, 5), "bbbbb bb");
}

TEST(BigDimming, ANegativeTimeIsAllLeadingZeros)
{
    EXPECT_EQ(Dim(-1, 0), "DDDDD DD");
    EXPECT_EQ(Dim(-7'200'000, 0), "DDDDD DD");
}

ReadoutDigits Shown(std::int64_t value, const TimeFormat& format)
{
    ReadoutDigits digits;
    digits.Update(TimeText(value, format), format);
    return digits;
}

std::string Row(const BigRowValue& row)
{
    std::string s;
    for (const auto& d : row.digits) s += !d ? '-' : *d == ReadoutDigits::Blank ? '_' : static_cast<char>('0' + *d);
    return s;
}

TEST(BigRowValue, CopiesWhatTheReadoutShowsPositionByPosition)
{
    const TimeFormat format = testing::FormatOf(0);
    EXPECT_EQ(Row(BigRowFor(3'723'456, Shown(3'723'456, format), format, false)), "010203456");
    EXPECT_EQ(Row(BigRowFor(3'723'456, Shown(3'723'456, testing::FormatOf(1)), testing::FormatOf(1), false)), "003723456");
    // The readout is the truth, even where it lags behind the value.
    EXPECT_EQ(Row(BigRowFor(5'000, Shown(4'000, format), format, false)), "000004000");
}

TEST(BigRowValue, PositionsTheFormatDoesNotUseStayAsTheyAre)
{
    const TimeFormat format = testing::FormatOf(4);
    EXPECT_EQ(Row(BigRowFor(61'200, Shown(61'200, format), format, false)), "0001012--");
}

TEST(BigRowValue, ABlankPositionOfTheReadoutIsABlankDigit)
{
    const TimeFormat format = testing::FormatOf(0);
    ReadoutDigits shown;
    shown.Update("1.05,120", format);  // a text without its leading fields
    EXPECT_EQ(Row(BigRowFor(65'120, shown, format, false)), "___105120");
    EXPECT_EQ(Row(BigRowFor(0, ReadoutDigits{}, format, false)), "_________") << "nothing drawn yet";
}

TEST(BigRowValue, TheLapRowShowsZerosForNoughtWhateverTheReadoutShows)
{
    const TimeFormat format = testing::FormatOf(0);
    const ReadoutDigits running = Shown(3'723'456, format);
    const BigRowValue lap = BigRowFor(0, running, format, true);
    EXPECT_EQ(Row(lap), "000000000");
    EXPECT_EQ(lap.dimming, DimmingFor(0, format));
    EXPECT_EQ(Row(BigRowFor(0, running, testing::FormatOf(2), true)), "00000000-");
    EXPECT_EQ(Row(BigRowFor(0, running, format, false)), "010203456") << "the time row copies the readout";
    EXPECT_EQ(Row(BigRowFor(1, running, format, true)), "010203456");
}

}  // namespace
}  // namespace chronivel
