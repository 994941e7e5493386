// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>

#include "core/inputtime.h"
#include "tests/core/fakes.h"

namespace chronivel::testing {
namespace {

// A counter of 3 counts a microsecond, which the rule must scale by.
constexpr double Speed = 3.0;
constexpr std::int64_t Counter = 9'000'000'000;
constexpr std::int64_t Millisecond = 1'000;  // the step of X11's stamps, in microseconds

InputClockReading At(std::int64_t clockMicroseconds, std::int64_t step = Millisecond)
{
    return {clockMicroseconds, step, Counter, Speed};
}

TEST(InputEventTime, AStampIsMovedBackByItsAgeOnTheCounter)
{
    // The event clock reads 100,000.500 ms: an event stamped 98,500 ms, in
    // the middle of its millisecond, came 1.5 s before now.
    EXPECT_EQ(CounterAtInputEvent(98'500, At(100'000'500)), Counter - 1'500'000 * 3);
    EXPECT_EQ(CounterAtInputEvent(99'999, At(100'000'900)), Counter - 1'400 * 3);
    // Less than a step of the clock ago: it cannot be told from now.
    EXPECT_EQ(CounterAtInputEvent(100'000, At(100'000'200)), Counter);
    EXPECT_EQ(CounterAtInputEvent(99'999, At(100'000'400)), Counter);
}

TEST(InputEventTime, ACoarseClockTellsOnlyAgesOfMoreThanItsStep)
{
    // Windows stamps messages with the system tick: both readings sit on it.
    constexpr std::int64_t tick = 15'625;
    EXPECT_EQ(CounterAtInputEvent(100'000, At(100'015'000, tick)), Counter) << "one tick apart: maybe 1 ms";
    EXPECT_EQ(CounterAtInputEvent(100'000, At(100'031'000, tick)), Counter - 30'500 * 3);
    EXPECT_EQ(CounterAtInputEvent(100'000, At(101'203'000, tick)), Counter - 1'202'500 * 3);
}

TEST(InputEventTime, StampsInTheFutureOrTooOldAreNotBelieved)
{
    const std::int64_t now = 100'000'000'000;  // 100,000 s in microseconds
    EXPECT_EQ(CounterAtInputEvent(100'000'001, At(now)), std::nullopt);
    EXPECT_EQ(CounterAtInputEvent(100'000'000 + 3'600'000, At(now)), std::nullopt);
    const std::uint64_t oldest = 100'000'000 - MaxInputEventAgeMs;
    EXPECT_NE(CounterAtInputEvent(oldest, At(now)), std::nullopt);
    EXPECT_EQ(CounterAtInputEvent(oldest - 1, At(now)), std::nullopt);
    EXPECT_EQ(CounterAtInputEvent(0, At(now)), std::nullopt);
    // A clock that reads before its epoch is no clock to go by.
    EXPECT_EQ(CounterAtInputEvent(0, At(-1)), std::nullopt);
}

TEST(InputEventTime, StampsOfTheClocksLowest32BitsWrapAround)
{
    // The clock is past 2^33 ms (99 days since boot): stamps carry only the
    // low 32 bits, and one from just before their wrap is still 2 s old.
    const std::int64_t nowMs = (std::int64_t{1} << 33) + 1'000;
    const std::uint64_t stamp = (std::uint64_t{1} << 32) - 1'000;
    EXPECT_EQ(CounterAtInputEvent(stamp, At(nowMs * 1000 + 500)), Counter - 2'000'000 * 3);
    // A clock's whole stamp means the same.
    EXPECT_EQ(CounterAtInputEvent(static_cast<std::uint64_t>(nowMs) - 2'000, At(nowMs * 1000 + 500)),
              Counter - 2'000'000 * 3);
    // Just after the wrap, a stamp from before it is not in the future.
    EXPECT_EQ(CounterAtInputEvent(stamp, At((std::int64_t{1} << 32) * 1000 + 500)), Counter - 1'000'000 * 3);
}

TEST(InputEventTime, TimesReadTheEventClockAndTheTimeSourceTogether)
{
    FakeTimerPlatform platform;  // one count a microsecond
    THighResTimer timer(platform);
    FakeInputClock clock;
    clock.now = 7'000'500;
    InputEventTimes times(timer, clock);
    const std::int64_t counter = platform.counter;
    EXPECT_EQ(times.CounterAt(6'250), counter - 750'000);
    EXPECT_EQ(times.CounterAt(7'001), std::nullopt);
    clock.step = 1'000'000;  // a clock of whole seconds tells nothing finer
    EXPECT_EQ(times.CounterAt(6'250), counter);
}

}  // namespace
}  // namespace chronivel::testing
