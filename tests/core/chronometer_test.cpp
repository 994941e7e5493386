// SPDX-License-Identifier: GPL-3.0-or-later
#include "chronometer_fixture.h"
#include "core/protocol.h"

namespace chronivel {
namespace {

using TextLines = std::vector<std::string>;
using Sounds = std::vector<EventSound>;
using ChronometerTest = testing::ChronometerTest;

TEST_F(ChronometerTest, OneButtonCyclesStartStopReset)
{
    EXPECT_EQ(clock.State(), RunState::Ready);
    EXPECT_EQ(Caption(clock.State()), "START");
    EXPECT_EQ(Colour(clock.State()), 65280u);
    EXPECT_FALSE(clock.LapEnabled());
    EXPECT_FALSE(clock.Lines().Visible());

    clock.StartStopReset();
    EXPECT_EQ(clock.State(), RunState::Running);
    EXPECT_EQ(Caption(clock.State()), "STOP");
    EXPECT_EQ(Colour(clock.State()), 255u);
    EXPECT_TRUE(clock.LapEnabled());
    EXPECT_TRUE(clock.PauseVisible());
    EXPECT_STREQ(clock.PauseHint(), "Pause/Toggle");
    EXPECT_TRUE(clock.DisplayTimerOn());
    EXPECT_TRUE(clock.Lines().Visible());
    EXPECT_EQ(clock.Lines().Selected(), 0);

    TickAfter(1'234);
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.01,234");
    clock.StartStopReset();
    EXPECT_EQ(clock.State(), RunState::Stopped);
    EXPECT_EQ(Caption(clock.State()), "RESET");
    EXPECT_EQ(Colour(clock.State()), 65535u);
    EXPECT_FALSE(clock.LapEnabled());
    EXPECT_FALSE(clock.PauseVisible());
    EXPECT_FALSE(clock.DisplayTimerOn());
    EXPECT_EQ(clock.StartCount(), 0) << "a restart after STOP comes up Ready";

    clock.StartStopReset();
    EXPECT_EQ(clock.State(), RunState::Ready);
    EXPECT_EQ(Colour(clock.State()), 65280u);
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.00,000");
    EXPECT_TRUE(Lines().empty());
    EXPECT_FALSE(clock.Lines().Visible());
    EXPECT_EQ(windows.sounds, (Sounds{EventSound::Start, EventSound::Stop, EventSound::Reset}));
    EXPECT_EQ(windows.secondMonitorLabels.back(), " Lap:");
}

TEST_F(ChronometerTest, StartLineNumbersTheRunOfTheDay)
{
    clock.SetDayCounter(2);
    clock.StartStopReset();
    EXPECT_EQ(Lines(), (TextLines{"START 3 = 14:05:09 = Mo. 07.12.26"}));
    EXPECT_EQ(clock.StartText(), "14:05:09 = Mo. 07.12.26");
}

TEST_F(ChronometerTest, FinishedRunGoesToTheProtocolAndCountsForTheDay)
{
    clock.StartStopReset();
    Wait(12'345);
    clock.TakeLap();
    Wait(25'000 - 12'345);
    clock.TakeLap();
    Wait(30'500 - 25'000);
    clock.StartStopReset();

    const TextLines run{"START 1 = 14:05:09 = Mo. 07.12.26", "LAP 1 = 12,345", "LAP 2 = 25,000 (+12,655) 12,655",
                    "STOP: = 30,500 (+18,155)  5,500 \u00D8 10,166"};
    EXPECT_EQ(Lines(), run);
    EXPECT_EQ(clock.Lines().Selected(), 3);
    ASSERT_EQ(windows.protocol.size(), 1u);
    EXPECT_EQ(windows.protocol[0], run);
    EXPECT_EQ(clock.DayCounter(), 1);
    EXPECT_EQ(windows.secondMonitorLaps, (std::vector<std::int64_t>{12'345, 25'000}));
    EXPECT_EQ(windows.secondMonitorLabels, (TextLines{" Lap 1:", " Lap 2:"})) << "STOP is no lap of the big display";
    EXPECT_EQ(windows.sounds, (Sounds{EventSound::Start, EventSound::Lap, EventSound::Lap, EventSound::Stop}));

    clock.StartStopReset();
    clock.StartStopReset();
    EXPECT_EQ(Lines().front(), "START 2 = 14:05:09 = Mo. 07.12.26");
}

TEST_F(ChronometerTest, TwoRunsOfADayMakeConsecutiveProtocolBlocks)
{
    clock.StartStopReset();
    Wait(12'345);
    clock.StartStopReset();
    clock.StartStopReset();
    clock.StartStopReset();
    Wait(5'120);
    clock.TakeLap();
    Wait(1'000);
    clock.StartStopReset();

    ASSERT_EQ(windows.protocol.size(), 2u);
    const std::string separator(35, '_');
    EXPECT_EQ(ProtocolBlock(windows.protocol[0]) + ProtocolBlock(windows.protocol[1]),
              "START 1 = 14:05:09 = Mo. 07.12.26\r\n" + separator + "\r\nSTOP: = 12,345\r\n\r\n"
              "START 2 = 14:05:09 = Mo. 07.12.26\r\nLAP 1 =  5,120\r\n" + separator +
              "\r\nSTOP: =  6,120 ( +1,000)  1,000 \xD8 3,060\r\n\r\n");
}

TEST_F(ChronometerTest, EveryFinishedRunTakesTheNextNumber)
{
    clock.SetDayCounter(4);
    clock.StartStopReset();
    clock.StartStopReset();
    EXPECT_EQ(clock.DayCounter(), 5) << "counted as it is handed over, written or not";
    clock.StartStopReset();
    clock.StartStopReset();
    EXPECT_EQ(Lines().front(), "START 6 = 14:05:09 = Mo. 07.12.26");
}

TEST_F(ChronometerTest, PauseDoesNotCount)
{
    clock.StartStopReset();
    TickAfter(1'000);
    clock.TogglePause();
    EXPECT_TRUE(clock.Paused());
    EXPECT_FALSE(clock.DisplayTimerOn());
    EXPECT_FALSE(clock.LapEnabled());
    EXPECT_STREQ(clock.PauseHint(), "Continue/Toggle");
    clock.TakeLap();
    EXPECT_EQ(Lines().size(), 1u) << "no laps while paused";

    Wait(2'000);
    clock.TogglePause();
    EXPECT_FALSE(clock.Paused());
    EXPECT_TRUE(clock.DisplayTimerOn());
    EXPECT_TRUE(clock.LapEnabled());
    EXPECT_EQ(Lines().back(), "PAUSE = 2,000");
    EXPECT_EQ(clock.Lines().Selected(), 1);

    TickAfter(500);
    EXPECT_EQ(clock.Elapsed(), 1'500);
}

TEST_F(ChronometerTest, StopWhilePausedEndsThePauseFirst)
{
    clock.StartStopReset();
    TickAfter(3'000);
    clock.TogglePause();
    Wait(4'000);
    clock.StartStopReset();
    EXPECT_EQ(Lines(), (TextLines{"START 1 = 14:05:09 = Mo. 07.12.26", "PAUSE = 4,000", "STOP: =  3,000"}));
    EXPECT_EQ(clock.Elapsed(), 3'000);
    EXPECT_EQ(clock.Best().Value(), 3'000);
}

TEST_F(ChronometerTest, PauseOutsideARunningRunDoesNothing)
{
    clock.TogglePause();
    EXPECT_FALSE(clock.Paused());
    EXPECT_TRUE(Lines().empty());
    clock.StartStopReset();
    TickAfter(1'000);
    clock.StartStopReset();
    const TextLines stopped = Lines();
    clock.TogglePause();
    EXPECT_FALSE(clock.Paused());
    EXPECT_EQ(Lines(), stopped);
    EXPECT_EQ(clock.State(), RunState::Stopped);
}

TEST_F(ChronometerTest, LapCommandIsOffBeforeTheFirstRun)
{
    // Taking a "lap" without a run once put the machine's uptime on the readout.
    clock.TakeLap();
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.00,000");
    EXPECT_TRUE(windows.sounds.empty());
}

TEST_F(ChronometerTest, ResetKeyLeavesACleanReadyStateFromAnyState)
{
    for (bool paused : {false, true}) {
        clock.StartStopReset();
        TickAfter(5'000);
        clock.TakeLap();
        if (paused) clock.TogglePause();
        clock.ResetRun();
        EXPECT_EQ(clock.State(), RunState::Ready);
        EXPECT_TRUE(Lines().empty());
        EXPECT_FALSE(clock.Lines().Visible());
        EXPECT_EQ(clock.StartCount(), 0) << "a restart comes up Ready";
        EXPECT_FALSE(clock.DisplayTimerOn());
        EXPECT_FALSE(clock.LapEnabled());
        EXPECT_EQ(clock.CurrentTimeText(), "00:00.00,000");
        EXPECT_TRUE(windows.protocol.empty()) << "a reset run is not recorded";

        clock.StartStopReset();
        TickAfter(2'000);
        clock.TakeLap();
        EXPECT_EQ(Lines().back(), "LAP 1 =  2,000");
        clock.ResetRun();
    }
    clock.ResetRun();  // from Ready as well
    EXPECT_EQ(clock.State(), RunState::Ready);
}

TEST_F(ChronometerTest, LockFollowsEveryStartAndEndsWithTheRun)
{
    clock.SetLockSeconds(5);
    clock.StartStopReset();
    EXPECT_TRUE(clock.LockTimerOn());
    EXPECT_TRUE(clock.LockLedLit());
    EXPECT_EQ(clock.LockIntervalMs(), 5'000);
    clock.LockExpired();
    EXPECT_FALSE(clock.LockTimerOn());
    EXPECT_FALSE(clock.LockLedLit());
    clock.StartStopReset();
    clock.StartStopReset();

    clock.StartStopReset();
    EXPECT_TRUE(clock.LockTimerOn());
    clock.StartStopReset();
    EXPECT_FALSE(clock.LockTimerOn()) << "STOP ends the lock";
    EXPECT_FALSE(clock.LockLedLit());
}

TEST_F(ChronometerTest, F10TogglesTheLockLedOnly)
{
    clock.ToggleLockLed();
    EXPECT_TRUE(clock.LockLedLit());
    EXPECT_FALSE(clock.LockTimerOn());
    clock.ToggleLockLed();
    EXPECT_FALSE(clock.LockLedLit());

    clock.SetLockSeconds(0);
    clock.StartStopReset();
    EXPECT_FALSE(clock.LockTimerOn()) << "no lock time, no lock";
    clock.SetLockSeconds(2'000'000'000);
    EXPECT_EQ(clock.LockIntervalMs(), 2'147'483'647) << "a huge lock time still fits a timer";
}

TEST_F(ChronometerTest, SoundOffSilencesEveryEvent)
{
    clock.ToggleSound();
    EXPECT_FALSE(clock.Sound());
    clock.StartStopReset();
    TickAfter(1'000);
    clock.TakeLap();
    clock.StartStopReset();
    clock.StartStopReset();
    EXPECT_TRUE(windows.sounds.empty());
}

TEST_F(ChronometerTest, BestTimeTakesOnlyShorterRuns)
{
    const auto run = [this](std::int64_t ms) {
        clock.StartStopReset();
        Wait(ms);
        clock.StartStopReset();
        clock.StartStopReset();
    };
    run(30'500);
    EXPECT_EQ(clock.Best().Caption(), "30,500");
    run(40'000);
    EXPECT_EQ(clock.Best().Value(), 30'500);
    run(20'000);
    EXPECT_EQ(clock.Best().Caption(), "20,000");

    clock.SelectFormat(4);
    clock.ClearBestTime();
    EXPECT_EQ(clock.Best().Caption(), "0,0");
    clock.ToggleBestTimeShown();
    run(1'000);
    EXPECT_EQ(clock.Best().Value(), BestTime::None) << "a hidden best takes no runs";
}

TEST_F(ChronometerTest, TicksShowTheDisplayValueOfTheFormat)
{
    clock.SelectFormat(4);
    clock.StartStopReset();
    TickAfter(12'399);
    EXPECT_EQ(clock.Elapsed(), 12'300);
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.12,3");
    clock.TakeLap();
    EXPECT_EQ(Lines().back(), "LAP 1 = 12,3");
}

TEST_F(ChronometerTest, RunsLongerThanTwentyFiveDaysReadCorrectly)
{
    clock.StartStopReset();
    TickAfter(30LL * 24 * 3'600'000 + 61'001);
    EXPECT_EQ(clock.CurrentTimeText(), "20:01.01,001");
    EXPECT_EQ(windows.shownValue, 30LL * 24 * 3'600'000 + 61'001);
}

TEST_F(ChronometerTest, ResumedRunKeepsCountingFromItsStoredStart)
{
    const std::int64_t storedStart = platform.counter;
    Wait(90'000);  // the program was closed meanwhile
    clock.ResumeRun(storedStart);
    EXPECT_EQ(clock.State(), RunState::Running);
    EXPECT_TRUE(clock.DisplayTimerOn());
    EXPECT_TRUE(clock.LapEnabled());
    EXPECT_TRUE(clock.PauseVisible());
    EXPECT_TRUE(clock.Lines().Visible());
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(windows.sounds.empty());
    TickAfter(1'000);
    EXPECT_EQ(clock.Elapsed(), 91'000);
    clock.StartStopReset();
    EXPECT_EQ(clock.StartCount(), 0);
}

TEST_F(ChronometerTest, RunComesBackWholeAndPausedAtItsReading)
{
    clock.SetDayCounter(6);
    clock.StartStopReset();
    Wait(500);
    clock.TakeLap();
    Wait(700);
    clock.TakeLap();
    Wait(380);
    clock.TogglePause();
    const std::int64_t start = clock.StartCount();
    const RunDetails details = clock.Details();
    EXPECT_TRUE(details.paused);
    EXPECT_EQ(details.pausedAtUs, 1'580'000);

    // The program ends for a minute; the counter goes on, or starts again after a reboot.
    Wait(60'000);
    testing::RecordingObserver otherWindows;
    Chronometer again{timer, locale, otherWindows};
    again.SetDayCounter(6);
    again.ResumeRun(start, details, 60'000);
    EXPECT_EQ(again.State(), RunState::Running);
    EXPECT_TRUE(again.Paused());
    EXPECT_FALSE(again.DisplayTimerOn());
    EXPECT_FALSE(again.LapEnabled());
    EXPECT_EQ(again.CurrentTimeText(), "00:00.01,580") << "paused at the same reading";
    EXPECT_EQ(again.Lines().Lines(), Lines());
    EXPECT_EQ(again.Lines().Selected(), clock.Lines().Selected());

    Wait(2'000);
    again.TogglePause();
    Wait(420);
    again.StartStopReset();
    ASSERT_EQ(otherWindows.protocol.size(), 1u);
    const std::string separator(35, '_');
    EXPECT_EQ(ProtocolBlock(otherWindows.protocol[0]),
              "START 7 = 14:05:09 = Mo. 07.12.26\r\nLAP 1 =  0,500\r\nLAP 2 =  1,200 ( +0,700)  0,700\r\n"
              "PAUSE = 1.02,000\r\n" + separator + "\r\nSTOP: =  2,000 ( +1,500)  0,800 \xD8 0,666\r\n\r\n");
    EXPECT_EQ(again.DayCounter(), 7);
}

TEST_F(ChronometerTest, NothingToResumeStaysReady)
{
    for (std::int64_t stored : {0LL, -1LL}) {
        clock.ResumeRun(stored);
        EXPECT_EQ(clock.State(), RunState::Ready);
        EXPECT_FALSE(clock.DisplayTimerOn());
    }
}

TEST_F(ChronometerTest, StartCountFromBeforeAReBootShowsZeroNotGarbage)
{
    clock.ResumeRun(platform.counter + 5'000'000);  // later than now: another boot's counter
    clock.DisplayTick();
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.00,000");
}

}  // namespace
}  // namespace chronivel
