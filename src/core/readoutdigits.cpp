// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/readoutdigits.h"

namespace chronivel {

namespace {

// The digit image on the left of separator image 10, 11 and 12.
constexpr int DigitLeftOfMark[3] = {8, 6, 4};

}  // namespace

int ReadoutDigits::DigitAt(std::string_view text, const TimeFormat& format, int image)
{
    const int length = static_cast<int>(text.size());
    const int missing = format.FullWidth() - length;
    if (image > DigitImageCount) {
        // The character after that digit: 1-based position of the digit = 0-based index of the next one.
        const int index = format.Row().chars[DigitLeftOfMark[image - DigitImageCount - 1] - 1] - missing;
        const bool mark = index >= 0 && index < length && (text[index] < '0' || text[index] > '9');
        return mark ? Mark : Blank;
    }
    const int index = format.Row().chars[image - 1] - 1 - missing;
    if (index < 0 || index >= length) return Blank;
    const char c = text[index];
    return (c >= '0' && c <= '9') ? c - '0' : Blank;
}

std::uint32_t ReadoutDigits::Update(std::string_view text, const TimeFormat& format)
{
    std::uint32_t changed = 0;
    for (int image = 4 - format.DecimalPlaces(); image <= ImageCount; ++image) {
        const int digit = DigitAt(text, format, image);
        if (digit != digits_[image]) {
            digits_[image] = digit;
            changed |= 1u << image;
        }
    }
    return changed;
}

}  // namespace chronivel
