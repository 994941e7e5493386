// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace chronivel {

// What a run in progress holds beside its start count: enough to carry it
// whole across an exit, a crash or a reboot.
struct RunDetails {
    std::vector<std::string> lines;  // the lap list, from its START line on
    int selected = -1;               // the line the closed drop-down shows
    int lapCount = 0;
    std::int64_t firstLapElapsed = 0;  // display values, ms
    std::int64_t prevLapElapsed = 0;
    bool paused = false;
    std::int64_t pausedAtUs = 0;  // the run's time at the pause; the counter may start again before it goes on
    // When the pause began on the wall clock (ms since 1970), so that it goes
    // on while the program is closed; 0 = unknown. The chronometer has no
    // wall clock: its keeper fills this in.
    std::int64_t pauseBeganMs = 0;

    friend bool operator==(const RunDetails&, const RunDetails&) = default;
};

}  // namespace chronivel
