#include "core/barrierpipeline.h"

#include <functional>
#include <string>
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
        barriers.reportError = [this](const std::string& message) { errors.push_back(message); };
        barriers.reportInfo = [this](const std::string& message) { infos.push_back(message); };
    }
    // An edge `ms` after `runStart`, handled by the UI thread later.
    void Edge(std::uint32_t events, std::uint32_t status, std::int64_t ms)
    {
        serial.last->sink_->Deliver({events, status, runStart + ms * 1'000});
        Wait(3);
        std::vector<std::function<void()>> calls;
        calls.swap(posted);
        for (auto& call : calls) call();
    }

    FakePorts serial;
    std::vector<std::function<void()>> posted;
    BarrierPipeline barriers{clock, serial, [this](std::function<void()> call) { posted.push_back(std::move(call)); }};
    std::vector<std::string> errors, infos;
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

TEST_F(BarrierPipelineTest, FailuresAndPolledLinesAreToldWithTheirDevice)
{
    barriers.SetDevice("COM0");
    barriers.Restore();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Unable to open com port: ", 0), 0u) << errors[0];
    EXPECT_NE(errors[0].find("choose \"None\""), std::string::npos) << "a restored port says how to stop asking";
    EXPECT_EQ(barriers.Device(), "COM0") << "the choice is kept";

    serial.polled = ev::Rlsd | ev::Cts;
    barriers.Choose("/dev/ttyUSB7", 1);
    barriers.Choose("/dev/ttyUSB7", 1);
    ASSERT_EQ(infos.size(), 1u) << "told once a device";
    EXPECT_EQ(infos[0], "The adapter of /dev/ttyUSB7 cannot report changes of CTS, DCD by itself. Chronivel looks at "
                        "these lines every millisecond instead, so barrier times there may be up to a millisecond late.");
    barriers.Choose("", 0);
    EXPECT_FALSE(barriers.Connected());
    EXPECT_EQ(barriers.PortNumber(), 0);
}

}  // namespace
}  // namespace chronivel::testing
