// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/bigdigitlayout.h"
#include "core/readoutdigits.h"
#include "core/timetext.h"

namespace chronivel {

// What a row of big digits shows for a value: the digits the main readout has
// just drawn, copied position by position, with the leading zeros dim.

// The upper digits Digit1..Digit5 and the hour and minute marks light from
// the right as the value grows: the seconds tens at 10 s, then, with T = 60
// in the formats with hours and 100 in the seconds formats, at T s, 10·T s,
// T² s and 10·T² s. Digit6..Digit9 and the decimal comma are always bright.
struct BigDimming {
    std::array<bool, 5> digit{};  // Digit1..Digit5
    bool labelHour = false;
    bool labelMin = false;
    friend bool operator==(const BigDimming&, const BigDimming&) = default;
};
BigDimming DimmingFor(std::int64_t value, const TimeFormat& format);

struct BigRowValue {
    // Digit1..Digit9: a digit 0..9, ReadoutDigits::Blank for no segment at
    // all, or nothing for a digit the format does not use (left as it is).
    std::array<std::optional<int>, BigDigitCount> digits{};
    BigDimming dimming;
};

// The row for `value` as the readout shows it in `shown`. Position i of the
// readout (1 = thousandths .. 9 = hours tens) is the row's Digit(10 − i). A
// lap row (`zeroAtNought`) shows all zeros for 0 whatever the readout shows,
// as a reset or a countdown switched off clears it.
BigRowValue BigRowFor(std::int64_t value, const ReadoutDigits& shown, const TimeFormat& format, bool zeroAtNought);

}  // namespace chronivel
