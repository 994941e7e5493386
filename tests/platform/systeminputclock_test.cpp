// SPDX-License-Identifier: GPL-3.0-or-later
// The clock the window system stamps input with, against the time source's
// counter on the real clocks. Only the readings around a stamp bound where it
// maps to: the machines that run the tests are shared, and anything may be late.
#include "platform/systeminputclock.h"

#include <gtest/gtest.h>

#include "platform/systemtimerplatform.h"

namespace chronivel {
namespace {

TEST(SystemInputClock, ItsStampsMapOntoTheCounterWhereTheyWereTaken)
{
    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    const auto clock = MakeSystemInputEventClock();
    InputEventTimes times(timer, *clock);
    const std::int64_t step = clock->StepMicroseconds();
    ASSERT_GT(step, 0);
    const auto counts = [&timer](std::int64_t microseconds) {
        return static_cast<std::int64_t>(static_cast<double>(microseconds) * timer.CountSpeed());
    };

    const std::int64_t before = timer.ReadCounter();
    const auto stampMs = static_cast<std::uint64_t>(clock->NowMicroseconds() / 1000);
    const std::int64_t after = timer.ReadCounter();
    platform->SleepMilliseconds(100);  // a key that waited for a busy window

    const std::optional<std::int64_t> at = times.CounterAt(stampMs);
    ASSERT_TRUE(at.has_value());
    // The stamp and the clock's reading now are each cut to a step of the
    // clock (Windows, and Wine, move it on at every tick).
    EXPECT_GE(*at, before - counts(2 * step));
    EXPECT_LE(*at, after + counts(2 * step));
    EXPECT_LT(*at, timer.ReadCounter() - counts(100'000 - 3 * step)) << "it counts from the stamp, not now";
}

}  // namespace
}  // namespace chronivel
