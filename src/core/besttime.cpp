// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/besttime.h"

namespace chronivel {

void BestTime::Offer(std::int64_t elapsed, std::string_view shownText, int decimalPlaces)
{
    // A run of no time, or less, comes only from a damaged start: it is no best time.
    if (!visible_ || elapsed <= 0 || elapsed >= value_) return;
    value_ = static_cast<std::int32_t>(elapsed);
    caption_ = StripLeadingZeros(shownText, decimalPlaces);
}

void BestTime::Clear(int decimalPlaces)
{
    value_ = None;
    caption_ = "0," + std::string(static_cast<std::size_t>(decimalPlaces), '0');
}

void BestTime::Rewrite(const TimeFormat& format)
{
    if (value_ == None)
        Clear(format.DecimalPlaces());
    else
        caption_ = StripLeadingZeros(TimeText(value_, format), format.DecimalPlaces());
}

void BestTime::Restore(std::int64_t stored, const TimeFormat& format)
{
    if (stored <= 0 || stored >= None) return;
    value_ = static_cast<std::int32_t>(stored);
    Rewrite(format);
}

}  // namespace chronivel
