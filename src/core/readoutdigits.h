// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/timetext.h"

namespace chronivel {

// What the twelve images of the readout show: the nine digits, numbered 1..9
// from the right (1 = thousandths), and the three separators 10 (":"),
// 11 (".") and 12 (","); and which of them a new time text changes. Only
// changed images are redrawn, so a display tick usually touches one or two.
class ReadoutDigits {
public:
    static constexpr int NothingDrawn = -1;
    static constexpr int Blank = 10;  // a position the text does not fill
    static constexpr int Mark = 11;   // a separator the text has
    static constexpr int DigitImageCount = 9;
    static constexpr int ImageCount = 12;

    // Takes a new time text; returns a mask with bit i set for each image i
    // whose content changed. Images the format does not use (1 and 2 with
    // fewer decimal places) are left alone.
    std::uint32_t Update(std::string_view text, const TimeFormat& format);

    // 0..9 or Blank for a digit image, Mark or Blank for a separator;
    // NothingDrawn before the first Update.
    int Digit(int image) const { return digits_[image]; }

    // What a text gives image 1..12. A text shorter than the format's full
    // width lacks its leading fields: it is aligned to the right, the missing
    // positions are blank, and so is the separator to the right of a missing
    // field, as the text has none there.
    static int DigitAt(std::string_view text, const TimeFormat& format, int image);

private:
    std::array<int, ImageCount + 1> digits_ = [] {
        std::array<int, ImageCount + 1> all{};
        all.fill(NothingDrawn);
        return all;
    }();
};

}  // namespace chronivel
