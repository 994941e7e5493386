// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/timetext.h"

namespace chronivel {

class ProtocolLog;

// The settings the configuration dialog edits, as its fields show them.
struct Configuration {
    bool transparent = true;  // the main window turns translucent in the background
    std::string protocolPath;
    std::int32_t color = 0;  // the face's colour, 0x00BBGGRR; 0 = none: the picture, else the built-in face
    std::string picture;     // the face's picture when there is no colour; empty = the built-in face
    std::int32_t laps = 0;   // light-barrier laps a run takes; 0 = unlimited
    std::int32_t minLapMs = 0;     // light-barrier laps sooner than this after the last are ignored; 0 = off
    std::int32_t lockSeconds = 0;  // STOP waits this long after a start; 0 = at once
    std::string countDown;         // the countdown preset as TimeEntryText writes it

    static constexpr std::int32_t MaxLaps = 999'999;
    static constexpr std::int32_t MaxMinLapMs = 99'999;
    static constexpr std::int32_t MaxLockSeconds = 3'600;

    friend bool operator==(const Configuration&, const Configuration&) = default;
};

// A configuration checked: the countdown preset it gives, or what is wrong,
// naming the field: "Timer: the minutes must be 0 to 59, not 75."
struct CheckedConfiguration {
    std::string problem;
    // Nullopt when the preset's text is the one `shown` had: the preset stays
    // as it is, to the millisecond, whatever the format shows of it.
    std::optional<std::int32_t> countDownMs;
};

// Checks `wanted` against the limits, the format's time entry and the
// protocol file: an empty path, or one where a run could not be appended,
// is refused now rather than found out at the end of the next run.
CheckedConfiguration CheckConfiguration(const Configuration& wanted, const Configuration& shown,
                                        const TimeFormat& format, const ProtocolLog& protocol);

}  // namespace chronivel
