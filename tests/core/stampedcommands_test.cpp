// SPDX-License-Identifier: GPL-3.0-or-later
#include "chronometer_fixture.h"

namespace chronivel::testing {
namespace {

// Counter readings are microseconds on the fake clock.
std::int64_t Micro(std::int64_t ms) { return ms * 1'000; }

TEST_F(ChronometerTest, StampedCommandsCountFromTheirOwnMoment)
{
    const std::int64_t t0 = platform.counter;
    clock.StartStopReset(t0);
    Wait(5'000);
    clock.TakeLap(t0 + Micro(1'234));  // the edge came 1,234 s in; the window saw it later
    Wait(1'000);
    clock.StartStopReset(t0 + Micro(3'000));
    EXPECT_EQ(Lines()[1], "LAP 1 =  1,234");
    EXPECT_EQ(Lines()[2], "STOP: =  3,000 ( +1,766)  1,766 \u00D8 1,500");
    EXPECT_EQ(clock.Elapsed(), 3'000);
}

TEST_F(ChronometerTest, StampedPauseLeavesOutTheTimeBetweenItsEdges)
{
    const std::int64_t t0 = platform.counter;
    clock.StartStopReset();
    Wait(10'000);
    clock.TogglePause(t0 + Micro(2'000));
    clock.TogglePause(t0 + Micro(6'500));
    EXPECT_EQ(Lines().back(), "PAUSE = 4,500");
    clock.StartStopReset(t0 + Micro(8'000));
    EXPECT_EQ(clock.Elapsed(), 3'500);
}

TEST_F(ChronometerTest, AStampBeforeTheLastCommandCountsAsThatCommand)
{
    const std::int64_t t0 = platform.counter;
    clock.StartStopReset();  // from the keyboard, at t0
    Wait(700);
    // An edge stamped before the start was seen after it: it cannot have come first.
    clock.TakeLap(t0 - Micro(50));
    EXPECT_EQ(Lines().back(), "LAP 1 =  0,000");
    EXPECT_EQ(clock.SinceLastLapMs(platform.counter), 700);
}

TEST_F(ChronometerTest, DisplayTicksDoNotHoldBackALaterStampedEdge)
{
    const std::int64_t t0 = platform.counter;
    clock.StartStopReset(t0);
    Wait(2'000);
    clock.DisplayTick();  // the display ran past the edge before its batch was handled
    clock.TakeLap(t0 + Micro(1'500));
    EXPECT_EQ(Lines().back(), "LAP 1 =  1,500");
}

TEST_F(ChronometerTest, EveryFreshStartIsANewRun)
{
    EXPECT_EQ(clock.RunsStarted(), 0u);
    clock.StartStopReset();
    clock.StartStopReset();
    clock.StartStopReset();
    clock.StartStopReset();
    EXPECT_EQ(clock.RunsStarted(), 2u);
}

}  // namespace
}  // namespace chronivel::testing
