#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/timetext.h"

namespace chronivel {

// What the nine digit images of the readout show, numbered 1..9 from the
// right (1 = thousandths), and which of them a new time text changes. Only
// changed images are redrawn, so a display tick usually touches one or two.
class ReadoutDigits {
public:
    static constexpr int NothingDrawn = -1;
    static constexpr int Blank = 10;  // a position the text does not fill
    static constexpr int ImageCount = 9;

    // Takes the digits of a new time text; returns a mask with bit i set for
    // each image i whose digit changed. Images the format does not use
    // (1 and 2 with fewer decimal places) are left alone.
    std::uint32_t Update(std::string_view text, const TimeFormat& format);

    // 0..9, Blank, or NothingDrawn before the first Update.
    int Digit(int image) const { return digits_[image]; }

    // The digit a text gives image 1..9. A text shorter than the format's full
    // width lacks its leading fields: it is aligned to the right and the
    // missing positions are blank.
    static int DigitAt(std::string_view text, const TimeFormat& format, int image);

private:
    std::array<int, ImageCount + 1> digits_ = [] {
        std::array<int, ImageCount + 1> all{};
        all.fill(NothingDrawn);
        return all;
    }();
};

}  // namespace chronivel
