// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/readoutdigits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace chronivel {
namespace {

constexpr std::uint32_t Images(int from, int to)
{
    std::uint32_t mask = 0;
    for (int i = from; i <= to; ++i) mask |= 1u << i;
    return mask;
}

TEST(ReadoutDigits, FirstDrawingPaintsEveryUsedImageThenOnlyChanges)
{
    TimeFormat format;
    ReadoutDigits digits;
    EXPECT_EQ(digits.Update("01:02.03,456", format), Images(1, 12));
    EXPECT_EQ(digits.Update("01:02.03,456", format), 0u);
    EXPECT_EQ(digits.Update("01:02.03,457", format), Images(1, 1));
    EXPECT_EQ(digits.Update("01:02.04,000", format), Images(1, 4));
}

TEST(ReadoutDigits, ReadsTheDigitEachImageShows)
{
    TimeFormat format;
    ReadoutDigits digits;
    digits.Update("12:34.56,789", format);
    const int expected[] = {9, 8, 7, 6, 5, 4, 3, 2, 1};  // images 1..9, from the right
    for (int image = 1; image <= 9; ++image) EXPECT_EQ(digits.Digit(image), expected[image - 1]) << image;

    format.SelectFormat(1);
    digits.Update("123456,789", format);
    for (int image = 1; image <= 9; ++image) EXPECT_EQ(digits.Digit(image), expected[image - 1]) << image;
}

TEST(ReadoutDigits, FormatsWithFewerDecimalsLeaveTheirUnusedImagesAlone)
{
    TimeFormat format;
    format.SelectFormat(4);
    ReadoutDigits digits;
    EXPECT_EQ(digits.Update("01:02.03,4", format), Images(3, 12));
    EXPECT_EQ(digits.Digit(1), ReadoutDigits::NothingDrawn);
    EXPECT_EQ(digits.Digit(2), ReadoutDigits::NothingDrawn);
    EXPECT_EQ(digits.Digit(3), 4);
    EXPECT_EQ(digits.Digit(4), 3);
}

TEST(ReadoutDigits, ShortTextsLeaveTheMissingFieldsBlank)
{
    TimeFormat format;
    format.SetDigitCount(7);
    const std::string text = TimeText(63'000, format);  // "01.03,000": no hours
    ReadoutDigits digits;
    digits.Update(text, format);
    EXPECT_EQ(digits.Digit(9), ReadoutDigits::Blank);
    EXPECT_EQ(digits.Digit(8), ReadoutDigits::Blank);
    EXPECT_EQ(digits.Digit(7), 0);
    EXPECT_EQ(digits.Digit(6), 1);
    EXPECT_EQ(digits.Digit(4), 3);
    EXPECT_EQ(digits.Digit(1), 0);

    format.SetDigitCount(0);
    digits.Update(TimeText(3'723'456, format), format);  // "3,456"
    EXPECT_EQ(digits.Digit(5), ReadoutDigits::Blank);
    EXPECT_EQ(digits.Digit(4), 3);
    EXPECT_EQ(digits.Digit(1), 6);
}

// What a user of /D expects: "01.03,000" with nothing before the minutes, not
// ":01.03,000"; and no ":" or "." floating between blank positions.
TEST(ReadoutDigits, NoSeparatorStandsBesideABlankField)
{
    ReadoutDigits digits;
    TimeFormat format;
    format.SetDigitCount(7);
    digits.Update(TimeText(63'000, format), format);  // "01.03,000"
    EXPECT_EQ(digits.Digit(10), ReadoutDigits::Blank) << "no hours, no colon";
    EXPECT_EQ(digits.Digit(11), ReadoutDigits::Mark);
    EXPECT_EQ(digits.Digit(12), ReadoutDigits::Mark);

    for (int count : {0, 1, -3}) {
        format.SetDigitCount(count);
        digits.Update(TimeText(3'723'456, format), format);  // "3,456"
        EXPECT_EQ(digits.Digit(10), ReadoutDigits::Blank) << "/D" << count;
        EXPECT_EQ(digits.Digit(11), ReadoutDigits::Blank) << "/D" << count;
        EXPECT_EQ(digits.Digit(12), ReadoutDigits::Mark) << "/D" << count;
    }

    // Every format, every digit count, times with and without leading zeros.
    for (int f = 0; f < TimeFormat::FormatCount; ++f) {
        format.SelectFormat(f);
        for (int count = -3; count <= 12; ++count) {
            format.SetDigitCount(count);
            for (const std::int64_t ms : {std::int64_t{0}, std::int64_t{63'000}, std::int64_t{3'723'456}, std::int64_t{359'999'999}}) {
                const std::string text = TimeText(ms, format);
                ReadoutDigits fresh;
                fresh.Update(text, format);
                const auto shown = [&](int image) { return fresh.Digit(image) != ReadoutDigits::Blank; };
                // The separators and the digit on the left of each.
                constexpr std::pair<int, int> marks[] = {{10, 8}, {11, 6}, {12, 4}};
                for (const auto& [mark, left] : marks) {
                    if (format.ShowsHours() || mark == 12)
                        EXPECT_EQ(shown(mark), shown(left)) << "format " << f << " /D" << count << " " << text
                                                            << ": separator " << mark;
                    else
                        EXPECT_FALSE(shown(mark)) << "format " << f << " has no separator " << mark;
                }
            }
        }
    }
}

TEST(ReadoutDigits, ASeparatorIsRedrawnWhenTheTextLeavesItOut)
{
    TimeFormat format;
    ReadoutDigits digits;
    digits.Update(TimeText(63'000, format), format);  // "00:01.03,000"
    format.SetDigitCount(7);
    EXPECT_EQ(digits.Update(TimeText(63'000, format), format), Images(8, 10));  // "01.03,000"
    format.SetDigitCount(0);
    EXPECT_EQ(digits.Update(TimeText(3'000, format), format), Images(5, 7) | Images(11, 11));  // "3,000"
}

}  // namespace
}  // namespace chronivel
