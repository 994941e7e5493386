// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace chronivel {

// The current date and time as the user's locale writes them.
struct DateTimeTexts {
    std::string longTime;      // "14:05:09"
    std::string dayName;       // abbreviated: "Mon"
    std::string shortDate;     // "07.12.26"
    std::int64_t epochMs = 0;  // the same moment on the wall clock: ms since 1970
};

class LocaleTexts {
public:
    virtual ~LocaleTexts() = default;
    virtual DateTimeTexts Now() const = 0;
    // The moment, ms since 1970, at which the local clock shows `secondOfDay`
    // on the day `days` after the local day of `epochMs`, with that day's own
    // offset from UTC. A time the clock skips (in the hour it springs
    // forward) comes as far past the jump as it lies into the skipped hour;
    // a time it shows twice comes the first time.
    virtual std::int64_t LocalMoment(std::int64_t epochMs, int days, int secondOfDay) const = 0;
};

}  // namespace chronivel
