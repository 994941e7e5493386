// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/barrierpipeline.h"

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "chronometer_fixture.h"
#include "fakeserial.h"

namespace chronivel::testing {
namespace {

// The pipeline on the fake clock; the test is both the device's event
// thread and the UI thread that runs what was posted.
class BarrierPipelineTest : public ChronometerTest {
protected:
    BarrierPipelineTest()
    {
        barriers.tell = [this](std::optional<Notice> notice) { told = std::move(notice); };
        barriers.deviceRenamed = [this] { ++renamed; };
    }
    // An edge `ms` after `runStart`, handled by the UI thread later.
    void Edge(std::uint32_t events, std::uint32_t status, std::int64_t ms)
    {
        serial.last->sink_->Deliver({events, status, runStart + ms * 1'000});
        Wait(3);
        scheduler.Advance(0);
    }
    // The adapter is pulled out: the device's thread finds it gone.
    void Unplug(const std::string& device)
    {
        serial.missing.insert(device);
        serial.last->sink_->Lost(device + ": Input/output error");
        scheduler.Advance(0);
    }
    // `ms` pass on the counter and on the scheduler's clock alike.
    void Pass(std::int64_t ms)
    {
        Wait(ms);
        scheduler.Advance(ms);
    }
    std::string Told() const { return told ? told->text : ""; }

    FakePorts serial;
    FakeScheduler scheduler;
    BarrierPipeline barriers{clock, timer, serial, scheduler};
    std::optional<Notice> told;
    int renamed = 0;
    std::int64_t runStart = platform.counter;
};

TEST_F(BarrierPipelineTest, EdgesBecomeCommandsAtTheirOwnMoments)
{
    barriers.Choose("COM3", 3);
    ASSERT_TRUE(barriers.Connected());
    clock.StartStopReset(runStart);
    Wait(20'000);  // the UI is far behind the edges
    Edge(ev::Rlsd, ms::RlsdOn, 12'345);
    Edge(ev::Rlsd, 0, 12'400);
    Edge(ev::Cts, ms::CtsOn, 30'500);
    ASSERT_EQ(Lines().size(), 3u);
    EXPECT_EQ(Lines()[1], "LAP 1 = 12,345");
    EXPECT_EQ(clock.State(), RunState::Stopped);
    EXPECT_EQ(clock.Elapsed(), 30'500);
}

TEST_F(BarrierPipelineTest, TheToggleBarrierTakesALapWhileThePauseButtonIsDisabled)
{
    barriers.SetArrangement(3);
    barriers.Choose("COM3", 3);
    clock.StartStopReset(runStart);
    barriers.SetPauseEnabled(false);
    Edge(ev::Rlsd, ms::RlsdOn, 1'000);
    EXPECT_FALSE(clock.Paused());
    ASSERT_EQ(Lines().size(), 2u);
    EXPECT_EQ(Lines()[1], "LAP 1 =  1,000");
    Edge(ev::Rlsd, 0, 1'500);
    barriers.SetPauseEnabled(true);
    Edge(ev::Rlsd, ms::RlsdOn, 2'000);
    EXPECT_TRUE(clock.Paused());
}

TEST_F(BarrierPipelineTest, AMissingPortIsToldAndWaitedForAndPolledLinesAreToldOnce)
{
    barriers.SetDevice("COM0");
    barriers.Restore();
    ASSERT_TRUE(told);
    EXPECT_EQ(told->kind, Notice::Kind::Problem);
    EXPECT_NE(Told().find("COM0 cannot be opened. Unable to open com port: "), std::string::npos) << Told();
    EXPECT_NE(Told().find("choose \"None\""), std::string::npos) << "a restored port says how to stop asking";
    EXPECT_EQ(barriers.Device(), "COM0") << "the choice is kept";
    EXPECT_TRUE(barriers.Away());

    serial.polled = ev::Rlsd | ev::Cts;
    EXPECT_EQ(barriers.Choose("/dev/ttyUSB7", 1), "");
    EXPECT_FALSE(barriers.Away()) << "another choice ends the wait";
    ASSERT_TRUE(told);
    EXPECT_EQ(Told(), "The adapter of /dev/ttyUSB7 cannot report changes of CTS, DCD by itself. Chronivel looks at "
                      "these lines every millisecond instead, so barrier times there may be up to a millisecond late.");
    told.reset();
    barriers.Choose("/dev/ttyUSB7", 1);
    EXPECT_FALSE(told) << "told once a device";
    barriers.Choose("", 0);
    EXPECT_FALSE(barriers.Connected());
    EXPECT_EQ(barriers.PortNumber(), 0);
}

TEST_F(BarrierPipelineTest, AnAdapterPluggedInAgainUnderAnotherNameTakesTheRunOnWithTheSameRules)
{
    serial.persistent["/dev/ttyUSB0"] = "/dev/serial/by-id/usb-FTDI_A1-if00-port0";
    barriers.SetArrangement(2);
    barriers.Choose("/dev/ttyUSB0", 1);
    EXPECT_EQ(barriers.Device(), "/dev/serial/by-id/usb-FTDI_A1-if00-port0") << "kept by the name that stays";
    EXPECT_EQ(renamed, 1);
    clock.SetDayCounter(6);
    clock.StartStopReset(runStart);
    Edge(ev::Rlsd, ms::RlsdOn, 1'000);

    Unplug("/dev/serial/by-id/usb-FTDI_A1-if00-port0");
    EXPECT_FALSE(barriers.Connected());
    ASSERT_TRUE(told);
    EXPECT_EQ(told->headline, "Barriers gone");
    EXPECT_EQ(Told(), "The light barriers' adapter /dev/serial/by-id/usb-FTDI_A1-if00-port0 is gone "
                      "(Input/output error). The run goes on; Chronivel opens its port again as soon as it is "
                      "plugged in.");
    EXPECT_EQ(serial.watched, "/dev/serial/by-id/usb-FTDI_A1-if00-port0");
    EXPECT_EQ(clock.State(), RunState::Running);

    Pass(12'400);
    serial.missing.clear();  // the link now leads to ttyUSB1
    serial.changed();
    scheduler.Advance(0);
    ASSERT_TRUE(barriers.Connected());
    EXPECT_FALSE(serial.changed) << "the watch ends with the wait";
    ASSERT_TRUE(told);
    EXPECT_EQ(told->kind, Notice::Kind::News);
    EXPECT_EQ(told->headline, "Barriers away 12.4 s");
    EXPECT_EQ(Told(), "The light barriers are back on /dev/serial/by-id/usb-FTDI_A1-if00-port0. Barriers away "
                      "12.4 s during run 7.");
    runStart = platform.counter;
    Edge(ev::Rlsd, 0, 100);
    Edge(ev::Rlsd, ms::RlsdOn, 200);
    ASSERT_EQ(Lines().size(), 3u) << "the lap barrier counts again";
    Edge(ev::Cts, ms::CtsOn, 300);
    EXPECT_EQ(clock.State(), RunState::Stopped) << "and so does the stop barrier of the same arrangement";
}

TEST_F(BarrierPipelineTest, ATryThatFailsAfterAChangeIsRepeatedAFewTimesThenAwaitsTheNextChange)
{
    barriers.Choose("/dev/ttyUSB0", 1);
    Unplug("/dev/ttyUSB0");
    serial.changed();  // the node is made, but may not be opened yet
    Pass(0);
    EXPECT_FALSE(barriers.Connected());
    Pass(PortComeback::LookMs * (PortComeback::TriesAfterChange + 3));
    const auto opens = serial.log.size();
    Pass(PortComeback::LookMs * 10);
    EXPECT_EQ(serial.log.size(), opens) << "no looks without a change";
    serial.missing.clear();
    serial.changed();  // its permissions are set
    Pass(0);
    EXPECT_TRUE(barriers.Connected());
}

TEST_F(BarrierPipelineTest, WithoutTheSystemsWatchItLooksOnceASecond)
{
    serial.watchable = false;
    serial.missing.insert("/dev/ttyACM0");
    EXPECT_NE(barriers.Choose("/dev/ttyACM0", 1), "") << "the user who chose it hears why";
    ASSERT_TRUE(told);
    EXPECT_EQ(told->headline, "Waiting for barriers");
    Pass(PortComeback::LookMs * 30);
    EXPECT_FALSE(barriers.Connected());
    serial.missing.clear();
    Pass(PortComeback::LookMs);
    EXPECT_TRUE(barriers.Connected());
    EXPECT_EQ(Told(), "The light barriers' adapter /dev/ttyACM0 is there now; its edges count from now on.");
}

class AwayTextTest
    : public ::testing::TestWithParam<
          std::tuple<std::int64_t, std::optional<std::int64_t>, std::optional<std::int64_t>, const char*>> {};

TEST_P(AwayTextTest, SaysHowLongAndWhichRuns)
{
    const auto& [ms, first, last, text] = GetParam();
    EXPECT_EQ(AwayText(ms, first, last), text);
}

INSTANTIATE_TEST_SUITE_P(
    BarrierPipeline, AwayTextTest,
    ::testing::Values(std::make_tuple(12'449, 7, 7, "Barriers away 12.4 s during run 7."),
                      std::make_tuple(940, std::nullopt, std::nullopt, "Barriers away 0.9 s."),
                      std::make_tuple(61'000, 7, 9, "Barriers away 61.0 s during runs 7 to 9."),
                      std::make_tuple(3'000, std::nullopt, 8, "Barriers away 3.0 s during run 8.")));

}  // namespace
}  // namespace chronivel::testing
