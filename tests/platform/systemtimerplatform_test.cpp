// SPDX-License-Identifier: GPL-3.0-or-later
// The real clocks of this machine. Only lower bounds on time: the machines
// that run the tests are shared, and anything may be late.
#include "platform/systemtimerplatform.h"

#include <gtest/gtest.h>

#include "core/highrestimer.h"

namespace chronivel {
namespace {

std::int64_t MillisecondsBetween(std::int64_t from, std::int64_t to, const THighResTimer& timer)
{
    return CountsToMilliseconds(to - from, timer.CountSpeed());
}

TEST(SystemTimerPlatform, SystemCounterIsMonotonicAndMeasuresSleeps)
{
    const auto platform = MakeSystemTimerPlatform();
    EXPECT_GT(platform->PerformanceFrequency(), 0);
    std::int64_t previous = platform->PerformanceCounter();
    EXPECT_GT(previous, 0) << "a counter reading of 0 would mean 'no run'";
    for (int i = 0; i < 100'000; ++i) {
        const std::int64_t now = platform->PerformanceCounter();
        ASSERT_GE(now, previous);
        previous = now;
    }

    THighResTimer timer(*platform);
    const std::int64_t before = timer.ReadCounter();
    platform->SleepMilliseconds(30);
    EXPECT_GE(MillisecondsBetween(before, timer.ReadCounter(), timer), 30);
}

TEST(SystemTimerPlatform, SamplingThreadKeepsItsPeriodOnTheRealTimer)
{
    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    timer.SetThreadPriority(ThreadPriority::Lower);
    timer.SetResolution(5);
    timer.SetEnabled(true);
    timer.Sampler()->WaitForTick();
    const std::int64_t first = timer.Sampler()->LastCount();
    for (int i = 0; i < 7; ++i) timer.Sampler()->WaitForTick();
    // Each wait needs a sample newer than the last; the one read first may already
    // be the next, so seven waits span at least five boundaries of a 5 ms timer,
    // however late each wake-up.
    EXPECT_GE(MillisecondsBetween(first, timer.Sampler()->LastCount(), timer), 25);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
}

TEST(SystemTimerPlatform, TimeStampCounterIsCalibratedWhereThereIsOne)
{
    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    if (!timer.TSC()) GTEST_SKIP() << "this processor reports no time-stamp counter";
    timer.SetUseTSC(true);  // three seconds of measuring
    ASSERT_TRUE(timer.UseTSC());
    EXPECT_GT(timer.CountSpeed(), 1.0);
    const std::int64_t before = timer.ReadCounter();
    platform->SleepMilliseconds(50);
    // Calibration error is well below 1 %, so 50 ms slept read as at least 49.
    EXPECT_GE(MillisecondsBetween(before, timer.ReadCounter(), timer), 49);
}

}  // namespace
}  // namespace chronivel
