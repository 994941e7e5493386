// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include "core/chronometer.h"
#include "fakes.h"

namespace chronivel::testing {

// A chronometer on a fake clock that counts microseconds.
class ChronometerTest : public ::testing::Test {
protected:
    void Wait(std::int64_t ms) { platform.Advance(ms); }
    // Lets `ms` pass and lets the display tick that follows run.
    void TickAfter(std::int64_t ms)
    {
        Wait(ms);
        clock.DisplayTick();
    }
    const std::vector<std::string>& Lines() const { return clock.Lines().Lines(); }

    FakeTimerPlatform platform;
    THighResTimer timer{platform};
    FixedLocale locale;
    RecordingObserver windows;
    Chronometer clock{timer, locale, windows};
};

}  // namespace chronivel::testing
