// SPDX-License-Identifier: GPL-3.0-or-later
#include "chronometer_fixture.h"

#include <algorithm>
#include <utility>

namespace chronivel {
namespace {

using TextLines = std::vector<std::string>;
using Sounds = std::vector<EventSound>;

class CountdownTest : public testing::ChronometerTest {
protected:
    void SetUp() override { clock.ToggleCountDown(); }
    long Warnings() const { return std::count(windows.sounds.begin(), windows.sounds.end(), EventSound::Warning); }
};

TEST_F(CountdownTest, ArmedReadoutShowsThePreset)
{
    EXPECT_TRUE(clock.CountDown());
    EXPECT_EQ(clock.CurrentTimeText(), "00:01.00,000");
    EXPECT_EQ(clock.CountDownLedHint(), "CountDown is ON: click to count up again");
    EXPECT_STREQ(clock.ModeLabel(), "CountDown");
    EXPECT_EQ(windows.secondMonitorLaps.back(), 60'000);

    clock.ToggleCountDown();
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.00,000");
    EXPECT_EQ(clock.CountDownLedHint(), "CountDown is OFF: click to count down from the preset time");
    EXPECT_STREQ(clock.ModeLabel(), "Chronivel");
    EXPECT_EQ(windows.secondMonitorLaps.back(), 0);
    clock.StartStopReset();
    EXPECT_EQ(clock.CountDownLedHint(), "CountDown is OFF: after RESET, click to count down from the preset time");
}

TEST_F(CountdownTest, ArmingClearsAndHidesTheBestTime)
{
    clock.ToggleCountDown();  // back to the chronometer
    EXPECT_TRUE(clock.Best().Visible());
    clock.StartStopReset();
    Wait(5'000);
    clock.StartStopReset();
    clock.StartStopReset();
    ASSERT_EQ(clock.Best().Value(), 5'000);
    clock.ToggleCountDown();
    EXPECT_EQ(clock.Best().Value(), BestTime::None);
    EXPECT_EQ(clock.Best().Caption(), "0,000");
    EXPECT_FALSE(clock.Best().Visible());
}

TEST_F(CountdownTest, SwitchingModesEmptiesTheList)
{
    clock.StartStopReset();
    TickAfter(1'000);
    clock.StartStopReset();
    ASSERT_EQ(clock.State(), RunState::Ready);
    ASSERT_EQ(Lines().size(), 2u);
    clock.ToggleCountDown();
    EXPECT_TRUE(Lines().empty());
    EXPECT_FALSE(clock.Lines().Visible());
}

TEST_F(CountdownTest, WarnsOnceTenSecondsBeforeTheEnd)
{
    clock.StartStopReset();
    EXPECT_TRUE(clock.PreWarningPending());
    TickAfter(49'999);
    EXPECT_EQ(Warnings(), 0);
    TickAfter(1);
    EXPECT_EQ(Warnings(), 1);
    EXPECT_EQ(windows.restores, 1);
    EXPECT_FALSE(clock.PreWarningPending());
    TickAfter(5'000);
    EXPECT_EQ(Warnings(), 1);
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.05,000");
}

TEST_F(CountdownTest, WarningIsSilentWithSoundOffButStillRestoresTheWindowAndFlashes)
{
    clock.ToggleSound();
    clock.StartStopReset();
    TickAfter(50'000);
    EXPECT_TRUE(windows.sounds.empty());
    EXPECT_EQ(windows.restores, 1);
    EXPECT_TRUE(clock.WarningFlashLit());
}

TEST_F(CountdownTest, ReadoutFlashesOnTheSecondsOfTheLastTenWhileRunning)
{
    // Elapsed time of the 60 s countdown, and whether the readout is lit then.
    const std::pair<std::int64_t, bool> moments[] = {{49'999, false}, {50'000, true}, {50'499, true},
                                                     {50'500, false}, {51'000, true}, {59'499, true}};
    clock.StartStopReset();
    std::int64_t at = 0;
    for (const auto& [elapsed, lit] : moments) {
        TickAfter(elapsed - std::exchange(at, elapsed));
        EXPECT_EQ(clock.WarningFlashLit(), lit) << elapsed;
    }
    clock.TogglePause();
    EXPECT_FALSE(clock.WarningFlashLit()) << "paused";
    clock.TogglePause();
    clock.StartStopReset();
    EXPECT_FALSE(clock.WarningFlashLit()) << "stopped";
    clock.StartStopReset();
    TickAfter(1);
    EXPECT_FALSE(clock.WarningFlashLit()) << "the last half second";
    TickAfter(500);
    EXPECT_FALSE(clock.WarningFlashLit()) << "at the end";

    clock.StartStopReset();
    clock.ToggleCountDown();
    clock.StartStopReset();
    TickAfter(50'000);
    EXPECT_FALSE(clock.WarningFlashLit()) << "counting up";
}

TEST_F(CountdownTest, EndsAtZeroAndRecordsTheRun)
{
    clock.StartStopReset();
    TickAfter(20'000);
    clock.TakeLap();
    TickAfter(40'003);

    EXPECT_EQ(clock.State(), RunState::Stopped);
    EXPECT_EQ(Caption(clock.State()), "RESET");
    EXPECT_EQ(Colour(clock.State()), 65535u);
    EXPECT_FALSE(clock.DisplayTimerOn());
    EXPECT_FALSE(clock.LapEnabled());
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.00,000");
    EXPECT_EQ(windows.shownValue, 0);
    EXPECT_EQ(clock.StopCount(), 0) << "the next START is a fresh one";
    const TextLines run{"START 1 = 14:05:09 = Mo. 07.12.26", "LAP 1 = 40,000", "STOP: =  0,000 (+40,000) 40,000 \u00D8 30,000"};
    EXPECT_EQ(Lines(), run);
    ASSERT_EQ(windows.protocol.size(), 1u);
    EXPECT_EQ(windows.protocol[0], run);
    EXPECT_EQ(clock.DayCounter(), 1);
    EXPECT_EQ(windows.sounds.back(), EventSound::CountDownEnd);
    EXPECT_EQ(windows.sounds.end()[-2], EventSound::Stop);
    EXPECT_EQ(clock.Best().Value(), BestTime::None) << "countdowns never set a best time";

    TickAfter(1'000);  // a late tick changes nothing
    EXPECT_EQ(Lines(), run);
    clock.StartStopReset();
    EXPECT_EQ(clock.State(), RunState::Ready);
    EXPECT_EQ(clock.CurrentTimeText(), "00:01.00,000");
}

TEST_F(CountdownTest, EndsAtThePresetHoweverLateItIsNoticed)
{
    // Whatever comes first after the end, 5 ms late, finds the run over at exactly 1:00,000.
    const std::vector<std::pair<const char*, void (*)(Chronometer&)>> noticers{
        {"display tick", [](Chronometer& c) { c.DisplayTick(); }},
        {"STOP", [](Chronometer& c) { c.StartStopReset(); }},
        {"pause", [](Chronometer& c) { c.TogglePause(); }},
        {"lap", [](Chronometer& c) { c.TakeLap(); }},
    };
    for (const auto& [noticer, notice] : noticers) {
        clock.StartStopReset();
        TickAfter(3'023);
        clock.TakeLap();
        clock.TogglePause();
        Wait(2'000);  // a pause moves the end on
        clock.TogglePause();
        Wait(56'982);
        notice(clock);

        EXPECT_EQ(clock.State(), RunState::Stopped) << noticer;
        EXPECT_EQ(Lines().back(), "STOP: =  0,000 (+56,977) 56,977 \u00D8 30,000") << noticer;
        EXPECT_EQ(clock.CurrentTimeText(), "00:00.00,000") << noticer;
        ASSERT_FALSE(windows.protocol.empty()) << noticer;
        EXPECT_EQ(windows.protocol.back(), Lines()) << noticer;
        EXPECT_EQ(windows.sounds.back(), EventSound::CountDownEnd) << noticer;
        clock.StartStopReset();  // RESET for the next one
    }
    EXPECT_EQ(windows.protocol.size(), noticers.size());
}

TEST_F(CountdownTest, EndIsExactOnAnyCounterAndInAnyFormat)
{
    platform.frequency = 3'579'545;  // a counter that does not count whole microseconds
    timer.Calibrate(0);
    clock.SelectFormat(2);  // hundredths
    clock.StartStopReset();
    TickAfter(3'027);
    clock.TakeLap();
    TickAfter(56'988);
    EXPECT_EQ(Lines().end()[-2], "LAP 1 = 56,98");
    EXPECT_EQ(Lines().back(), "STOP: =  0,00 (+56,98) 56,98 \u00D8 30,00");
    EXPECT_EQ(clock.Elapsed(), 60'000);
}

TEST_F(CountdownTest, LapAtTheVeryEndAddsNothingAfterTheStop)
{
    clock.StartStopReset();
    Wait(60'000);
    clock.TakeLap();  // its tick is the one that ends the countdown
    EXPECT_EQ(clock.State(), RunState::Stopped);
    EXPECT_EQ(Lines(), (TextLines{"START 1 = 14:05:09 = Mo. 07.12.26", "STOP: =  0,000"}));
    EXPECT_EQ(windows.protocol.size(), 1u);
}

TEST_F(CountdownTest, LedTogglesOnlyWhenReady)
{
    clock.StartStopReset();
    clock.ToggleCountDown();
    EXPECT_TRUE(clock.CountDown());
    EXPECT_FALSE(clock.CountDownLedHandCursor());
    TickAfter(60'000);
    ASSERT_EQ(clock.State(), RunState::Stopped);
    clock.ToggleCountDown();
    EXPECT_TRUE(clock.CountDown());
    clock.StartStopReset();
    EXPECT_TRUE(clock.CountDownLedHandCursor());
    clock.ToggleCountDown();
    EXPECT_FALSE(clock.CountDown());
}

TEST_F(CountdownTest, StopThenStartGoesOnFromTheRemainingTime)
{
    clock.StartStopReset();
    TickAfter(20'000);
    clock.StartStopReset();
    EXPECT_EQ(clock.State(), RunState::Ready);
    EXPECT_EQ(Caption(clock.State()), "START");
    EXPECT_TRUE(clock.Lines().Visible());
    EXPECT_TRUE(windows.protocol.empty());
    EXPECT_EQ(clock.StartCount(), 0) << "a restart of the program comes up Ready, not running";
    EXPECT_EQ(Lines().back(), "STOP: = 40,000");

    Wait(5'000);  // stopped time does not count
    clock.StartStopReset();
    EXPECT_EQ(clock.State(), RunState::Running);
    TickAfter(1'000);
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.39,000");
    clock.TakeLap();
    EXPECT_EQ(Lines().back(), "LAP 1 = 39,000") << "laps count again from 1";
    EXPECT_EQ(Lines().size(), 4u) << "the list goes on after a countdown STOP";

    TickAfter(28'999);
    EXPECT_EQ(Warnings(), 0);
    TickAfter(1);
    EXPECT_EQ(Warnings(), 1) << "the warning still comes, once";
}

TEST_F(CountdownTest, PauseThenStopThenStartKeepsBothGapsOut)
{
    clock.StartStopReset();
    TickAfter(10'000);
    clock.TogglePause();
    Wait(3'000);
    clock.StartStopReset();
    EXPECT_EQ(Lines().back(), "STOP: = 50,000");
    Wait(7'000);
    clock.StartStopReset();
    TickAfter(2'000);
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.48,000");
}

TEST_F(CountdownTest, ResetForgetsTheStoppedRun)
{
    clock.StartStopReset();
    TickAfter(20'000);
    clock.StartStopReset();
    clock.ResetRun();
    EXPECT_EQ(clock.StopCount(), 0);
    EXPECT_FALSE(clock.PreWarningPending());
    EXPECT_EQ(clock.CurrentTimeText(), "00:01.00,000");
    clock.StartStopReset();
    TickAfter(1'000);
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.59,000") << "a fresh run";
}

TEST_F(CountdownTest, DisarmingAfterAStopMakesTheNextStartFresh)
{
    clock.StartStopReset();
    TickAfter(20'000);
    clock.StartStopReset();
    clock.ToggleCountDown();
    clock.ToggleCountDown();
    clock.StartStopReset();
    TickAfter(1'000);
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.59,000");
}

TEST_F(CountdownTest, LapsMeasureTheRunAndShowTheRemainingTime)
{
    clock.StartStopReset();
    TickAfter(10'000);
    clock.TakeLap();
    TickAfter(15'000);
    clock.TakeLap();
    EXPECT_EQ(Lines().end()[-2], "LAP 1 = 50,000");
    EXPECT_EQ(Lines().back(), "LAP 2 = 35,000 (+15,000) 15,000");
    EXPECT_EQ(windows.secondMonitorLaps.end()[-2], 50'000);
    EXPECT_EQ(windows.secondMonitorLaps.back(), 35'000);
}

TEST_F(CountdownTest, PresetBelowOneMillisecondMeansTheDefault)
{
    for (std::int32_t damaged : {0, -1, -60'000}) {
        clock.SetCountDownT(damaged);
        EXPECT_EQ(clock.CountDownT(), 60'000) << damaged;
    }
    clock.SetCountDownT(1);
    clock.StartStopReset();
    TickAfter(1);
    EXPECT_EQ(clock.State(), RunState::Stopped);
}

}  // namespace
}  // namespace chronivel
