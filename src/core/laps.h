// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/timetext.h"

namespace chronivel {

// The laps of one run and the text of their lines in the lap list:
//
//   LAP 1 = 12,345
//   LAP 2 = 25,000 (+12,655) 12,655           time, distance to lap 1, lap time
//   STOP: = 30,500 (+18,155)  5,500 Ø 10,166  ... and the average of all laps
//
// The run's closing line counts as a lap. Times are display values, so the
// differences are whole units of what the readout shows.
class Laps {
public:
    int LapCount() const { return lapCount_; }
    std::int64_t FirstLapElapsed() const { return firstLapElapsed_; }
    std::int64_t PrevLapElapsed() const { return prevLapElapsed_; }

    // Takes a lap at `elapsed`, whose readout text is `shownText` (in countdown
    // mode that is the time left, while differences use the elapsed time), and
    // returns its line. A closing lap gives the run's STOP line.
    std::string Take(std::int64_t elapsed, std::string_view shownText, bool closing, const TimeFormat& format);

    void Reset() { lapCount_ = 0; }
    // The laps of a run kept while the program was closed.
    void Restore(int lapCount, std::int64_t firstLapElapsed, std::int64_t prevLapElapsed)
    {
        lapCount_ = lapCount < 0 ? 0 : lapCount;
        firstLapElapsed_ = firstLapElapsed;
        prevLapElapsed_ = prevLapElapsed;
    }

private:
    int lapCount_ = 0;
    std::int64_t firstLapElapsed_ = 0;
    std::int64_t prevLapElapsed_ = 0;
};

// "LAP 1 = " up to lap 9, then "LAP10 = ": the number takes the space's place.
std::string LapHead(int lapCount);

}  // namespace chronivel
