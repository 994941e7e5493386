// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/readoutdigits.h"
#include "core/timetext.h"

namespace chronivel::testing {

// Format `number` (0..5), with or without the hours.
inline TimeFormat FormatOf(int number, bool hoursOn = true)
{
    TimeFormat format;
    format.SelectFormat(number);
    format.SetHoursOn(hoursOn);
    return format;
}

// What the main readout shows after drawing `value`.
inline ReadoutDigits Shown(std::int64_t value, const TimeFormat& format)
{
    ReadoutDigits digits;
    digits.Update(TimeText(value, format), format);
    return digits;
}

}  // namespace chronivel::testing
