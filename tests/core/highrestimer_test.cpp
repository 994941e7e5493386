// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/highrestimer.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace chronivel {
namespace {

using testing::FakeTimerPlatform;
using Calls = std::vector<std::string>;

TEST(HighResTimer, StartsOnTheSystemCounterWithoutWaiting)
{
    FakeTimerPlatform platform;
    platform.frequency = 3'579'545;
    THighResTimer timer(platform);
    EXPECT_TRUE(timer.TSC());
    EXPECT_FALSE(timer.UseTSC());
    EXPECT_TRUE(platform.calls.empty()) << "no sleep, no priority change at start-up";
    EXPECT_DOUBLE_EQ(timer.CountSpeed(), 3.579545);
    EXPECT_EQ(timer.ReadCounter(), platform.counter);
    EXPECT_EQ(timer.Resolution(), timer.MinAccuracy());
    EXPECT_EQ(timer.Accuracy(), 0);
    EXPECT_EQ(timer.MinResolution(), 2);
}

TEST(HighResTimer, TimeStampCounterIsCalibratedAgainstTheSystemCounter)
{
    FakeTimerPlatform platform;
    THighResTimer timer(platform);
    timer.SetUseTSC(true);
    EXPECT_TRUE(timer.UseTSC());
    EXPECT_EQ(platform.calls, (Calls{"raise", "sleep 10", "sleep 3000", "restore"}));
    EXPECT_DOUBLE_EQ(timer.CountSpeed(), 2400.0);  // counts per microsecond
    EXPECT_EQ(timer.ReadCounter(), platform.tsc);

    platform.calls.clear();
    timer.SetUseTSC(true);
    EXPECT_TRUE(platform.calls.empty()) << "the same value again recalibrates nothing";

    timer.SetUseTSC(false);
    EXPECT_TRUE(platform.calls.empty()) << "the system counter needs no measurement";
    EXPECT_DOUBLE_EQ(timer.CountSpeed(), 1.0);
    EXPECT_EQ(timer.ReadCounter(), platform.counter);
}

TEST(HighResTimer, WithoutATimeStampCounterStaysOnTheSystemCounter)
{
    struct Case {
        const char* name;
        bool cpuid;
        std::uint32_t maxLeaf;
        std::uint32_t edx;
    };
    for (const Case& c : {Case{"no CPUID", false, 13, 1u << 4}, Case{"highest leaf 0", true, 0, 1u << 4},
                          Case{"no feature bit", true, 13, ~(1u << 4)}}) {
        FakeTimerPlatform platform;
        platform.cpuidUsable = c.cpuid;
        platform.maxLeaf = c.maxLeaf;
        platform.leaf1Edx = c.edx;
        platform.frequency = 3'579'545;
        THighResTimer timer(platform);
        EXPECT_FALSE(timer.TSC()) << c.name;
        timer.SetUseTSC(true);
        EXPECT_FALSE(timer.UseTSC()) << c.name;
        EXPECT_TRUE(platform.calls.empty()) << c.name;
        EXPECT_DOUBLE_EQ(timer.CountSpeed(), 3.579545) << c.name;
    }
}

TEST(CountsToMilliseconds, RoundsToTheMicrosecondThenTruncates)
{
    EXPECT_EQ(CountsToMilliseconds(9'994, 10.0), 0);    // 999.4 µs
    EXPECT_EQ(CountsToMilliseconds(9'996, 10.0), 1);    // 999.6 µs
    EXPECT_EQ(CountsToMilliseconds(15'000'000, 10.0), 1'500);
    EXPECT_EQ(CountsToMilliseconds(1'999'999, 1.0), 1'999);
    EXPECT_EQ(CountsToMilliseconds(-15'000'000, 10.0), -1'500);
    EXPECT_EQ(CountsToMilliseconds(3'579'545, 3.579545), 1'000);
    // Forty days on a nanosecond counter, far beyond 32 bits of milliseconds.
    EXPECT_EQ(CountsToMilliseconds(40LL * 86'400'000'000'000LL, 1000.0), 40LL * 86'400'000);
}

TEST(HighResTimer, SamplerFollowsTheTimersSettings)
{
    FakeTimerPlatform platform;
    THighResTimer timer(platform);
    timer.SetThreadPriority(ThreadPriority::Higher);
    timer.SetEnabled(true);
    ASSERT_TRUE(timer.Enabled());
    ASSERT_EQ(platform.samplers.size(), 1u);
    const auto& sampler = platform.samplers[0];
    EXPECT_EQ(sampler.settings.periodMs, 1);  // Resolution
    EXPECT_EQ(sampler.settings.accuracyMs, 0);
    EXPECT_EQ(sampler.settings.threadClass, ThreadClass::tcNormal);
    EXPECT_EQ(sampler.settings.priority, ThreadPriority::Higher);

    platform.counter = 123'456'789;
    platform.SamplerTick();
    timer.Sampler()->WaitForTick();
    EXPECT_EQ(timer.Sampler()->LastCount(), 123'456'789);

    timer.SetResolution(5);
    timer.SetAccuracy(2);
    timer.SetThreadClass(ThreadClass::tcHigh);
    EXPECT_EQ(sampler.settings.periodMs, 5);
    EXPECT_EQ(sampler.settings.accuracyMs, 2);
    EXPECT_EQ(sampler.settings.threadClass, ThreadClass::tcHigh);
    EXPECT_EQ(sampler.settings.priority, ThreadPriority::Higher);

    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Sampler(), nullptr);
    EXPECT_FALSE(sampler.running);
}

TEST(HighResTimer, RunningSamplerKeepsTheCounterItStartedWith)
{
    FakeTimerPlatform platform;
    THighResTimer timer(platform);
    timer.SetResolution(0);  // would spin; the sampler takes the shortest real period
    timer.SetAccuracy(-3);
    timer.SetEnabled(true);
    EXPECT_EQ(platform.samplers[0].settings.periodMs, 1);
    EXPECT_EQ(platform.samplers[0].settings.accuracyMs, 0);
    timer.SetUseTSC(true);
    EXPECT_FALSE(timer.UseTSC());
    platform.SamplerTick();
    EXPECT_EQ(timer.Sampler()->LastCount(), platform.counter);

    timer.SetEnabled(false);
    timer.SetUseTSC(true);
    ASSERT_TRUE(timer.UseTSC());
    timer.SetEnabled(true);
    platform.SamplerTick();
    EXPECT_EQ(timer.Sampler()->LastCount(), platform.tsc) << "restarted on the time-stamp counter";
}

}  // namespace
}  // namespace chronivel
