#include <gtest/gtest.h>

#include <cstdint>

#include "core/inputtime.h"
#include "tests/core/fakes.h"

namespace chronivel::testing {
namespace {

// A counter of 3 counts a microsecond, which the rule must scale by.
constexpr double Speed = 3.0;
constexpr std::int64_t Counter = 9'000'000'000;

TEST(InputEventTime, AStampIsMovedBackByItsAgeOnTheCounter)
{
    // The event clock reads 100,000.500 ms: an event stamped 98,500 ms, in
    // the middle of its millisecond, came 1.5 s before now.
    EXPECT_EQ(CounterAtInputEvent(98'500, 100'000'500, Counter, Speed), Counter - 1'500'000 * 3);
    EXPECT_EQ(CounterAtInputEvent(99'999, 100'000'900, Counter, Speed), Counter - 1'400 * 3);
    // Within the millisecond now: it cannot be later than now.
    EXPECT_EQ(CounterAtInputEvent(100'000, 100'000'200, Counter, Speed), Counter);
    EXPECT_EQ(CounterAtInputEvent(100'000, 100'000'800, Counter, Speed), Counter - 300 * 3);
}

TEST(InputEventTime, StampsInTheFutureOrTooOldAreNotBelieved)
{
    const std::int64_t now = 100'000'000'000;  // 100,000 s in microseconds
    EXPECT_EQ(CounterAtInputEvent(100'000'001, now, Counter, Speed), std::nullopt);
    EXPECT_EQ(CounterAtInputEvent(100'000'000 + 3'600'000, now, Counter, Speed), std::nullopt);
    const std::uint64_t oldest = 100'000'000 - MaxInputEventAgeMs;
    EXPECT_NE(CounterAtInputEvent(oldest, now, Counter, Speed), std::nullopt);
    EXPECT_EQ(CounterAtInputEvent(oldest - 1, now, Counter, Speed), std::nullopt);
    EXPECT_EQ(CounterAtInputEvent(0, now, Counter, Speed), std::nullopt);
    // A clock that reads before its epoch is no clock to go by.
    EXPECT_EQ(CounterAtInputEvent(0, -1, Counter, Speed), std::nullopt);
}

TEST(InputEventTime, StampsOfTheClocksLowest32BitsWrapAround)
{
    // The clock is past 2^33 ms (99 days since boot): stamps carry only the
    // low 32 bits, and one from just before their wrap is still 2 s old.
    const std::int64_t nowMs = (std::int64_t{1} << 33) + 1'000;
    const std::uint64_t stamp = (std::uint64_t{1} << 32) - 1'000;
    EXPECT_EQ(CounterAtInputEvent(stamp, nowMs * 1000 + 500, Counter, Speed), Counter - 2'000'000 * 3);
    // A clock's whole stamp means the same.
    EXPECT_EQ(CounterAtInputEvent(static_cast<std::uint64_t>(nowMs) - 2'000, nowMs * 1000 + 500, Counter, Speed),
              Counter - 2'000'000 * 3);
    // Just after the wrap, a stamp from before it is not in the future.
    EXPECT_EQ(CounterAtInputEvent(stamp, (std::int64_t{1} << 32) * 1000 + 500, Counter, Speed),
              Counter - 1'000'000 * 3);
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
}

}  // namespace
}  // namespace chronivel::testing
