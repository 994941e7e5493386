#include "core/readoutdigits.h"

namespace chronivel {

int ReadoutDigits::DigitAt(std::string_view text, const TimeFormat& format, int image)
{
    const int length = static_cast<int>(text.size());
    const int missing = format.FullWidth() - length;
    const int index = FormatChars[format.Format()][image - 1] - 1 - missing;
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
