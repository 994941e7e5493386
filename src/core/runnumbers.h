// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace chronivel {

// Runs are numbered from 1 each day, in their START lines
// ("START 3 = 14:05:09 = Mo. 07.12.26"); the settings keep how many of the
// day's runs there were. Where the settings lost that count, the START lines
// tell it, so that a number is never given twice in a day.

// The highest number a day's run can have: the settings' count stays within it.
inline constexpr std::int32_t kMostRunsADay = 999'999;

// The number of the START line in `line` when its run began on `shortDate`
// (in the line's own encoding); nothing for another line, another day or a
// number above kMostRunsADay. Text before "START" on the line is passed
// over, as a run appended to a file without a last line end once left it.
std::optional<std::int32_t> RunNumberOn(std::string_view line, std::string_view shortDate);

// What the end of a protocol file says of the runs of one day.
struct DayRuns {
    std::int32_t highest = 0;    // the highest number of a run of the day; 0 for none
    bool otherDaySeen = false;  // a run of another day is there: the day's runs come after it
};

// From `fileBytes`, the protocol's last bytes (Windows-1252, perhaps from
// within a line), the runs of `shortDate` (UTF-8, as the locale writes it).
DayRuns RunsOn(std::string_view fileBytes, std::string_view shortDate);

}  // namespace chronivel
