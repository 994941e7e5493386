// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/bigdigitvalue.h"

namespace chronivel {

BigDimming DimmingFor(std::int64_t value, const TimeFormat& format)
{
    const std::int64_t t = format.ShowsHours() ? 60 : 100;
    // How many of Digit5, Digit4, Digit3, Digit2, Digit1 (in that order) are lit.
    const std::int64_t thresholds[] = {10'000, t * 1000, t * 10'000, t * t * 1000, t * t * 10'000};
    int lit = 0;
    while (lit < 5 && value >= thresholds[lit]) ++lit;
    BigDimming dimming;
    for (int k = 0; k < 5; ++k) dimming.digit[4 - k] = lit <= k;
    dimming.labelMin = lit <= 1;
    dimming.labelHour = lit <= 3;
    return dimming;
}

BigRowValue BigRowFor(std::int64_t value, const ReadoutDigits& shown, const TimeFormat& format, bool zeroAtNought)
{
    BigRowValue row;
    for (int position = 4 - format.DecimalPlaces(); position <= BigDigitCount; ++position) {
        const int digit = zeroAtNought && value == 0 ? 0 : shown.Digit(position);
        row.digits[BigDigitCount - position] = digit >= 0 && digit <= 9 ? digit : ReadoutDigits::Blank;
    }
    row.dimming = DimmingFor(value, format);
    return row;
}

}  // namespace chronivel
