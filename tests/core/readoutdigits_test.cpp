#include "core/readoutdigits.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(digits.Update("01:02.03,456", format), Images(1, 9));
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
    EXPECT_EQ(digits.Update("01:02.03,4", format), Images(3, 9));
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

}  // namespace
}  // namespace chronivel
