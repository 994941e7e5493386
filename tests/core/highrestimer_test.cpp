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

// Makes every wait return, so the sampling thread can end even when a check fails.
struct OpenOnExit {
    FakeTimerPlatform& platform;
    ~OpenOnExit() { platform.Open(); }
};

TEST(HighResTimer, SamplingThreadReadsTheCounterEachPeriod)
{
    FakeTimerPlatform platform;
    THighResTimer timer(platform);
    timer.SetThreadPriority(ThreadPriority::Higher);
    timer.SetEnabled(true);
    OpenOnExit open{platform};
    ASSERT_TRUE(timer.Enabled());

    platform.AwaitTimers(1);
    EXPECT_EQ(platform.TimersStarted()[0], std::make_pair(1, 0));  // Resolution, Accuracy
    platform.counter = 123'456'789;
    platform.Tick();
    timer.Thread()->WaitForTick();
    EXPECT_EQ(timer.Thread()->LastCount(), 123'456'789);

    timer.SetResolution(5);
    timer.SetThreadClass(ThreadClass::tcHigh);
    platform.Tick();
    platform.AwaitTimers(2);
    EXPECT_EQ(platform.TimersStarted()[1], std::make_pair(5, 0));
    const auto priorities = platform.PrioritiesApplied();
    ASSERT_EQ(priorities.size(), 2u);
    EXPECT_EQ(priorities[0], std::make_pair(ThreadClass::tcNormal, ThreadPriority::Higher));
    EXPECT_EQ(priorities[1], std::make_pair(ThreadClass::tcHigh, ThreadPriority::Higher));

    platform.Open();  // the thread looks for the stop request between waits
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Thread(), nullptr);
}

TEST(HighResTimer, RunningSamplerKeepsTheCounterItStartedWith)
{
    FakeTimerPlatform platform;
    THighResTimer timer(platform);
    timer.SetResolution(0);  // would spin; the thread takes the shortest real period
    timer.SetEnabled(true);
    OpenOnExit open{platform};
    timer.SetUseTSC(true);
    EXPECT_FALSE(timer.UseTSC());
    platform.AwaitTimers(1);
    EXPECT_EQ(platform.TimersStarted()[0].first, 1);
}

}  // namespace
}  // namespace chronivel
