// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lightbarriers.h"

#include <gtest/gtest.h>

#include "core/serialline.h"

namespace chronivel {
namespace {

using enum BarrierCommand;

constexpr std::uint32_t CtsOn = ms::CtsOn;
constexpr std::uint32_t DcdOn = ms::RlsdOn;
constexpr std::uint32_t DsrOn = ms::DsrOn;

BarrierContext Running(std::uint64_t run = 1)
{
    return {RunState::Running, true, true, false, run, 10'000};
}

TEST(LightBarriers, StopBarrierStopsOnTheEdgeOfItsAlgorithm)
{
    // algorithm: what CTS on, then CTS off, does to a running run
    const BarrierCommand expected[6][2] = {{Stop, None}, {None, Stop}, {None, None},
                                           {None, None}, {None, None}, {None, None}};
    for (int algorithm = 0; algorithm < 6; ++algorithm) {
        LightBarriers barriers;
        barriers.SetAlgorithm(algorithm);
        EXPECT_EQ(barriers.Cts(CtsOn, Running()), expected[algorithm][0]) << "algorithm " << algorithm;
        EXPECT_EQ(barriers.Cts(0, Running()), expected[algorithm][1]) << "algorithm " << algorithm;
    }
}

TEST(LightBarriers, StopBarrierActsOnlyOnARunningRunAndNotDuringTheLock)
{
    LightBarriers barriers;
    BarrierContext ready = Running();
    ready.runState = RunState::Ready;
    EXPECT_EQ(barriers.Cts(CtsOn, ready), None);
    EXPECT_EQ(barriers.LastModemStatus(), LightBarriers::NoStatusYet) << "an idle chronometer reads nothing";

    BarrierContext locked = Running();
    locked.lockRunning = true;
    EXPECT_EQ(barriers.Cts(CtsOn, locked), None);
    EXPECT_EQ(barriers.LastModemStatus(), CtsOn) << "the lock still records the edge";
    EXPECT_EQ(barriers.Cts(0, locked), None);
    EXPECT_EQ(barriers.LastModemStatus(), LightBarriers::CtsOffMarker);
    EXPECT_EQ(barriers.Cts(CtsOn, Running()), Stop) << "the first edge after the lock stops";
}

TEST(LightBarriers, LapBarrierTakesLapsOnItsEdge)
{
    for (int algorithm = 0; algorithm < 6; ++algorithm) {
        LightBarriers barriers;
        barriers.SetAlgorithm(algorithm);
        const bool onEdge = algorithm % 2 == 0;
        EXPECT_EQ(barriers.Dcd(DcdOn, Running()), onEdge ? Lap : None) << algorithm;
        EXPECT_EQ(barriers.Dcd(0, Running()), onEdge ? None : Lap) << algorithm;
    }
}

TEST(LightBarriers, ToggleArrangementPausesWhileThePauseButtonIsThere)
{
    LightBarriers barriers;
    barriers.SetArrangement(3);
    EXPECT_EQ(barriers.Dcd(DcdOn, Running()), Pause);
    EXPECT_EQ(barriers.Dcd(0, Running()), None);
    BarrierContext paused = Running();
    paused.lapEnabled = false;
    EXPECT_EQ(barriers.Dcd(DcdOn, paused), Pause) << "and continues";

    BarrierContext background = Running();
    background.pauseEnabled = false;
    barriers.Dcd(0, background);
    EXPECT_EQ(barriers.Dcd(DcdOn, background), Lap) << "with the window in the background it is a lap";
}

TEST(LightBarriers, LapBarrierIgnoresEdgesWhileNothingCanTakeThem)
{
    LightBarriers barriers;
    BarrierContext stopped{RunState::Stopped, false, false, false, 1, 0};
    EXPECT_EQ(barriers.Dcd(DcdOn, stopped), None);
    EXPECT_EQ(barriers.LastModemStatus(), LightBarriers::NoStatusYet) << "not even read";
    BarrierContext pausedBackground = stopped;
    pausedBackground.runState = RunState::Running;
    pausedBackground.pauseEnabled = true;
    EXPECT_EQ(barriers.Dcd(DcdOn, pausedBackground), None) << "pause button there, lap button not, no toggle";
    EXPECT_EQ(barriers.LastModemStatus(), DcdOn);
}

TEST(LightBarriers, ARepeatedStatusPassesOnlyAfterItsLineWentOff)
{
    LightBarriers barriers;
    EXPECT_EQ(barriers.Dcd(DcdOn, Running()), Lap) << "the very first event passes";
    EXPECT_EQ(barriers.Dcd(DcdOn, Running()), None) << "the same status again is the same edge";
    EXPECT_EQ(barriers.Dcd(0, Running()), None);
    EXPECT_EQ(barriers.LastModemStatus(), LightBarriers::DcdOffMarker);
    EXPECT_EQ(barriers.Dcd(0, Running()), None) << "off is never a duplicate, but not a lap either";
    EXPECT_EQ(barriers.LastModemStatus(), LightBarriers::DcdOffMarker);
    EXPECT_EQ(barriers.Dcd(DcdOn, Running()), Lap);

    // One value serves both lines: a CTS read with the same word is a duplicate too.
    EXPECT_EQ(barriers.Cts(DcdOn, Running()), None);
    EXPECT_EQ(barriers.Cts(DcdOn | CtsOn, Running()), Stop);
}

TEST(LightBarriers, BarrierLapsStopAtTheLimitOfTheRun)
{
    LightBarriers barriers;
    barriers.SetLapLimit(2);
    const auto lap = [&](std::uint64_t run) {
        const BarrierCommand command = barriers.Dcd(DcdOn, Running(run));
        barriers.Dcd(0, Running(run));
        return command;
    };
    EXPECT_EQ(lap(1), Lap);
    EXPECT_EQ(lap(1), Lap);
    EXPECT_EQ(lap(1), None) << "the third barrier lap of the run";
    EXPECT_EQ(lap(2), Lap) << "a new run counts from zero";
}

TEST(LightBarriers, LapsTooSoonAfterThePreviousOneAreOneRunner)
{
    LightBarriers barriers;
    barriers.SetMinLapMs(1'500);
    BarrierContext soon = Running();
    soon.sinceLastLapMs = 1'499;
    EXPECT_EQ(barriers.Dcd(DcdOn, soon), None);
    barriers.Dcd(0, soon);
    soon.sinceLastLapMs = 1'500;
    EXPECT_EQ(barriers.Dcd(DcdOn, soon), Lap);
}

TEST(LightBarriers, StartBarrierOfTwoOrThreeOnlyStarts)
{
    for (int arrangement : {2, 3}) {
        LightBarriers barriers;
        barriers.SetArrangement(arrangement);
        BarrierContext ready{RunState::Ready, false, true, false, 0, 0};
        EXPECT_EQ(barriers.Dsr(DsrOn, ready), Start) << arrangement;
        EXPECT_EQ(barriers.Dsr(0, ready), None) << arrangement;
        EXPECT_EQ(barriers.Dsr(DsrOn, Running()), None) << arrangement << ": the stop barrier stops";
        BarrierContext stopped = ready;
        stopped.runState = RunState::Stopped;
        EXPECT_EQ(barriers.Dsr(DsrOn, stopped), None) << arrangement << ": never a reset";
        barriers.SetAlgorithm(3);
        EXPECT_EQ(barriers.Dsr(0, ready), Start) << arrangement << ": odd algorithms count the line going off";
        EXPECT_EQ(barriers.LastModemStatus(), LightBarriers::NoStatusYet) << arrangement;
    }
}

TEST(LightBarriers, OneBarrierStartsAndStops)
{
    for (int algorithm = 0; algorithm < 6; ++algorithm) {
        LightBarriers barriers;
        barriers.SetArrangement(1);
        barriers.SetAlgorithm(algorithm);
        const std::uint32_t match = algorithm % 2 == 0 ? DsrOn : 0;
        const std::uint32_t other = match ^ DsrOn;
        BarrierContext ready{RunState::Ready, false, true, false, 0, 0};
        EXPECT_EQ(barriers.Dsr(match, ready), Start) << algorithm;
        EXPECT_EQ(barriers.Dsr(other, Running()), None) << algorithm;
        EXPECT_EQ(barriers.Dsr(match, Running()), Stop) << algorithm;

        BarrierContext locked = Running();
        locked.lockRunning = true;
        EXPECT_EQ(barriers.Dsr(match, locked), None) << algorithm << ": the lock after the start holds it off";
        BarrierContext paused = Running();
        paused.lapEnabled = false;
        EXPECT_EQ(barriers.Dsr(match, paused), Stop) << algorithm << ": a paused run stops too";
        BarrierContext stopped = ready;
        stopped.runState = RunState::Stopped;
        EXPECT_EQ(barriers.Dsr(match, stopped), None) << algorithm << ": never a reset";
    }
}

TEST(LightBarriers, StoredValuesOutOfRangeAreMadeSafe)
{
    LightBarriers barriers;
    barriers.SetAlgorithm(9);
    EXPECT_EQ(barriers.Algorithm(), BarrierAlgorithm::OnOff);
    barriers.SetArrangement(0);
    EXPECT_EQ(barriers.Arrangement(), BarrierArrangement::StopBarrier);
    barriers.SetLapLimit(-3);
    EXPECT_EQ(barriers.LapLimit(), 0);
}

}  // namespace
}  // namespace chronivel
