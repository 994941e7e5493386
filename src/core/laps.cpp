// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/laps.h"

namespace chronivel {

namespace {

// Pads a field on the left to a minimum width, so the columns of
// consecutive lines stay aligned as long as their seconds have one digit.
std::string PadLeft(std::string text, std::size_t width)
{
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

}  // namespace

std::string LapHead(int lapCount)
{
    const std::string n = std::to_string(lapCount);
    return (n.size() == 1 ? "LAP " : "LAP") + n + " = ";
}

std::string Laps::Take(std::int64_t elapsed, std::string_view shownText, bool closing, const TimeFormat& format)
{
    ++lapCount_;
    const int d = format.DecimalPlaces();
    const auto stripped = [d, &format](std::int64_t ms) { return StripLeadingZeros(TimeText(ms, format), d); };

    std::string line = closing ? "STOP: = " : LapHead(lapCount_);
    line += PadLeft(StripLeadingZeros(shownText, d), d + 3);
    if (lapCount_ == 1) {
        firstLapElapsed_ = elapsed;
    } else {
        std::string sinceFirst(1, '+');  // not "+" + ...: GCC 12 warns falsely (-Wrestrict) on that
        sinceFirst += stripped(elapsed - firstLapElapsed_);
        line += " (" + PadLeft(std::move(sinceFirst), d + 4) + ") ";
        line += PadLeft(stripped(elapsed - prevLapElapsed_), d + 3);
        if (closing) line += " \u00D8 " + stripped(elapsed / lapCount_);
    }
    prevLapElapsed_ = elapsed;
    return line;
}

}  // namespace chronivel
