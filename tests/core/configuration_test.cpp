// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/configuration.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/chronivelapp.h"
#include "tests/core/fakemodel.h"

namespace chronivel {
namespace {

// What a window at the readout is told.
class ReadoutView final : public AppView {
public:
    void TimeShown(std::int64_t value, std::uint32_t) override { shown.push_back(value); }
    void SecondMonitorLap(std::int64_t value) override { secondMonitor.push_back(value); }
    std::vector<std::int64_t> shown;
    std::vector<std::int64_t> secondMonitor;
};

class ConfigurationTest : public ::testing::Test, protected testing::FakeModel {
protected:
    ConfigurationTest()
    {
        stored.fileName = "/data/Runs.txt";
        stored.transparentInBackground = false;
        stored.color = 0x0000FF;
        stored.pictureFile = "/pictures/face.bmp";
        stored.laps = 12;
        stored.minLap = 250;
        stored.stopLockSeconds = 3;
        stored.format = 2;  // hundredths
        stored.countDownPresetMs = 90'250;
        stored.portName = "/dev/ttyUSB0";
        stored.port = 1;
        stored.barrierArrangement = 2;  // start, stop and lap on their own barriers
        SaveSettings(store, stored, locale.Now().shortDate);
        app.Load("/default/Protocol.txt");
        app.Resume();
        app.AddView(readout);
    }

    // The settings as the store holds them now.
    Settings Saved()
    {
        Settings saved;
        LoadSettings(store, saved, {locale.Now().shortDate});
        return saved;
    }

    // Every field other than the loaded one.
    static Configuration AllChanged()
    {
        return {{.fileName = "/elsewhere/Laps.txt",
                 .color = 0,
                 .pictureFile = "/pictures/other.png",
                 .laps = 2,
                 .transparentInBackground = true,
                 .stopLockSeconds = 7,
                 .minLap = 1'000},
                "00:02.00,00"};
    }

    Settings stored;
    const Chronometer& clock = app.Clock();
    ReadoutView readout;
};

TEST_F(ConfigurationTest, TheDialogShowsTheLoadedSettings)
{
    const Configuration expected{{.fileName = "/data/Runs.txt",
                                  .color = 0x0000FF,
                                  .pictureFile = "/pictures/face.bmp",
                                  .laps = 12,
                                  .transparentInBackground = false,
                                  .stopLockSeconds = 3,
                                  .minLap = 250},
                                 "00:01.30,25"};
    EXPECT_EQ(app.CurrentConfiguration(), expected);
}

TEST_F(ConfigurationTest, EveryValueTakesEffectAtOnceAndIsSavedShortlyAfter)
{
    const int flushes = store.flushes;
    const Configuration wanted = AllChanged();
    ASSERT_EQ(app.Configure(wanted).words, "");
    EXPECT_EQ(app.CurrentConfiguration(), wanted);
    EXPECT_TRUE(app.Kept().transparentInBackground);
    EXPECT_EQ(app.ProtocolPath(), "/elsewhere/Laps.txt");
    EXPECT_EQ(app.Kept().color, 0);
    EXPECT_EQ(app.Kept().pictureFile, "/pictures/other.png");
    EXPECT_EQ(clock.CountDownT(), 120'000);

    EXPECT_EQ(store.flushes, flushes) << "saved as the other settings are, not at once";
    scheduler.Advance(SavePipeline::DelayMs);
    EXPECT_EQ(store.flushes, flushes + 1);
    const Settings saved = Saved();
    EXPECT_TRUE(saved.transparentInBackground);
    EXPECT_EQ(saved.fileName, "/elsewhere/Laps.txt");
    EXPECT_EQ(saved.color, 0);
    EXPECT_EQ(saved.pictureFile, "/pictures/other.png");
    EXPECT_EQ(saved.laps, 2);
    EXPECT_EQ(saved.minLap, 1'000);
    EXPECT_EQ(saved.stopLockSeconds, 7);
    EXPECT_EQ(saved.countDownPresetMs, 120'000);
}

TEST_F(ConfigurationTest, TheNextRunGoesToTheNewProtocolFileAndStopWaitsTheNewLock)
{
    ASSERT_EQ(app.Configure(AllChanged()).words, "");
    app.Perform(Command::StartStopReset);
    EXPECT_TRUE(clock.LockTimerOn());
    EXPECT_EQ(clock.LockIntervalMs(), 7'000);
    app.LockExpired();
    platform.Advance(2'000);
    app.Perform(Command::StartStopReset);
    scheduler.Advance(0);
    ASSERT_EQ(protocol.runs.size(), 1u);
    EXPECT_EQ(protocol.runs[0].first, "/elsewhere/Laps.txt");
}

// Runs the old file would not take go to the file the user chose instead, at once.
TEST_F(ConfigurationTest, RunsWaitingForAFileThatWouldNotTakeThemGoToTheNewOne)
{
    protocol.failure = "Read-only file system";
    app.Perform(Command::StartStopReset);
    platform.Advance(2'000);
    app.Perform(Command::StartStopReset);
    scheduler.Advance(0);
    ASSERT_TRUE(app.Saves().RunsUnwritten());
    protocol.failure.clear();
    protocol.unwritable = "/data/Runs.txt";  // the old file still would not

    ASSERT_EQ(app.Configure(AllChanged()).words, "");
    scheduler.Advance(0);
    EXPECT_FALSE(app.Saves().RunsUnwritten());
    ASSERT_EQ(protocol.runs.size(), 1u);
    EXPECT_EQ(protocol.runs[0].first, "/elsewhere/Laps.txt");
}

TEST_F(ConfigurationTest, BarrierLapsFollowTheNewShortestLapAndLapCount)
{
    ASSERT_TRUE(app.BarriersConnected());
    ASSERT_EQ(app.Configure(AllChanged()).words, "");  // 2 laps, none sooner than 1 s after the last
    const std::int64_t start = platform.counter;
    const auto edge = [&](std::uint32_t events, std::uint32_t status, std::int64_t ms) {
        serial.last->sink_->Deliver({events, status, start + ms * 1'000});
        scheduler.Advance(0);
    };
    edge(ev::Dsr, ms::DsrOn, 0);
    ASSERT_EQ(clock.State(), RunState::Running);
    edge(ev::Dsr, 0, 100);
    for (const std::int64_t at : {600, 1'500, 2'400, 2'600, 4'000}) {
        edge(ev::Rlsd, ms::RlsdOn, at);
        edge(ev::Rlsd, 0, at + 50);
    }
    const std::vector<std::string>& lines = clock.Lines().Lines();
    ASSERT_EQ(lines.size(), 3u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[1].rfind("LAP 1 =  1,50", 0), 0u) << "600 ms after the start is too soon: " << lines[1];
    EXPECT_EQ(lines[2].rfind("LAP 2 =  2,60", 0), 0u)
        << "900 ms after the last lap is too soon, and 4 s is a third lap: " << lines[2];
}

TEST_F(ConfigurationTest, ACountdownAtRestShowsTheNewPresetAndRunsIt)
{
    app.Perform(Command::CountDownMode);
    ASSERT_TRUE(clock.CountDown());
    readout.secondMonitor.clear();
    ASSERT_EQ(app.Configure(AllChanged()).words, "");
    EXPECT_EQ(clock.CurrentTimeText(), TimeText(120'000, clock.Format()));
    ASSERT_FALSE(readout.shown.empty());
    EXPECT_EQ(readout.shown.back(), 120'000);
    EXPECT_EQ(readout.secondMonitor, std::vector<std::int64_t>{120'000}) << "the large readout shows it too";

    app.Perform(Command::StartStopReset);
    platform.Advance(30'000);
    app.DisplayTick();
    EXPECT_EQ(readout.shown.back(), 90'000);
}

TEST_F(ConfigurationTest, AStoppedRunKeepsItsTime)
{
    for (const bool countDown : {false, true}) {
        if (clock.CountDown() != countDown) app.Perform(Command::CountDownMode);
        app.LockExpired();
        app.Perform(Command::StartStopReset);
        platform.Advance(10'000);
        app.LockExpired();
        app.Perform(Command::StartStopReset);  // a stopped countdown is Ready to go on from where it stood
        ASSERT_EQ(clock.StartCount(), 0) << "stopped";
        const std::string shown = clock.CurrentTimeText();
        ASSERT_EQ(shown, TimeText(countDown ? 170'000 : 10'000, clock.Format()));
        const std::size_t told = readout.shown.size();
        readout.secondMonitor.clear();
        Configuration wanted = app.CurrentConfiguration();
        wanted.countDown = countDown ? "00:02.00,00" : "00:03.00,00";  // the countdown ran 3 min
        ASSERT_EQ(app.Configure(wanted).words, "");
        EXPECT_EQ(clock.CurrentTimeText(), shown) << "countdown " << countDown;
        EXPECT_EQ(readout.shown.size(), told) << "the readout is not redrawn; countdown " << countDown;
        EXPECT_TRUE(readout.secondMonitor.empty()) << "countdown " << countDown;
        if (!countDown) app.Perform(Command::StartStopReset);  // reset, for the countdown
    }
}

TEST_F(ConfigurationTest, APresetTextLeftAsItWasKeepsThePresetToTheMillisecond)
{
    Configuration preset = app.CurrentConfiguration();
    preset.countDown = "00:00.01,234";
    app.Perform(FormatCommand(0));  // thousandths
    ASSERT_EQ(app.Configure(preset).words, "");
    app.Perform(FormatCommand(4));  // tenths
    Configuration wanted = app.CurrentConfiguration();
    ASSERT_EQ(wanted.countDown, "00:00.01,2");
    wanted.color = 0x00FF00;
    ASSERT_EQ(app.Configure(wanted).words, "");
    EXPECT_EQ(clock.CountDownT(), 1'234);

    wanted.countDown = "00:00.01,3";
    ASSERT_EQ(app.Configure(wanted).words, "");
    EXPECT_EQ(clock.CountDownT(), 1'300);

    wanted.countDown = "00:00.00,0";
    ASSERT_EQ(app.Configure(wanted).words, "");
    EXPECT_EQ(clock.CountDownT(), 60'000) << "no preset is the default minute";
    EXPECT_EQ(app.CurrentConfiguration().countDown, "00:01.00,0");
}

TEST_F(ConfigurationTest, AValueOutOfItsLimitsIsRefusedNamingItAndNothingChanges)
{
    protocol.unwritable = "/readonly/Runs.txt";
    struct Refusal {
        void (*spoil)(Configuration&);
        const char* said;  // what the words must hold
        ConfigField field;
    };
    const Refusal refusals[] = {
        {[](Configuration& c) { c.fileName.clear(); }, "Protocol file: enter the file's name",
         ConfigField::ProtocolFile},
        {[](Configuration& c) { c.fileName = "/readonly/Runs.txt"; },
         "Protocol file: runs cannot be written to \"/readonly/Runs.txt\". Permission denied",
         ConfigField::ProtocolFile},
        {[](Configuration& c) { c.laps = -1; }, "Laps: -1 ", ConfigField::Laps},
        {[](Configuration& c) { c.laps = FieldMost(ConfigField::Laps) + 1; }, "Laps: 1000000 ", ConfigField::Laps},
        {[](Configuration& c) { c.minLap = -5; }, "Shortest lap: -5 ", ConfigField::MinLap},
        {[](Configuration& c) { c.minLap = FieldMost(ConfigField::MinLap) + 1; }, "Shortest lap: 100000 ",
         ConfigField::MinLap},
        {[](Configuration& c) { c.stopLockSeconds = -1; }, "STOP lock: -1 ", ConfigField::StopLock},
        {[](Configuration& c) { c.stopLockSeconds = FieldMost(ConfigField::StopLock) + 1; }, "STOP lock: 3601 ",
         ConfigField::StopLock},
        {[](Configuration& c) { c.countDown = "00:75.00,00"; }, "Timer: the minutes must be 0 to 59, not 75.",
         ConfigField::Timer},
        {[](Configuration& c) { c.countDown = "00:01.3_,00"; }, "Timer: the seconds \"3_\" have an empty place.",
         ConfigField::Timer},
        {[](Configuration& c) { c.countDown = "000090,25"; }, "Timer: \"000090,25\" is not a time written as",
         ConfigField::Timer},
    };
    scheduler.Advance(SavePipeline::DelayMs);
    const Configuration shown = app.CurrentConfiguration();
    const Settings kept = app.Kept();
    const Settings saved = Saved();
    const int flushes = store.flushes;
    for (const Refusal& refusal : refusals) {
        Configuration wanted = AllChanged();  // every other field is fine, and is not taken either
        refusal.spoil(wanted);
        const auto problem = app.Configure(wanted);
        EXPECT_EQ(problem.words.rfind(refusal.said, 0), 0u) << problem.words;
        EXPECT_EQ(problem.field, refusal.field) << refusal.said;
        EXPECT_EQ(app.CurrentConfiguration(), shown) << refusal.said;
        EXPECT_EQ(app.Kept(), kept) << refusal.said;
        scheduler.Advance(SavePipeline::DelayMs);
        EXPECT_EQ(store.flushes, flushes) << refusal.said;
        EXPECT_EQ(Saved(), saved) << refusal.said;
    }
    Configuration limits = AllChanged();
    limits.laps = FieldMost(ConfigField::Laps);
    limits.minLap = FieldMost(ConfigField::MinLap);
    limits.stopLockSeconds = FieldMost(ConfigField::StopLock);
    EXPECT_EQ(app.Configure(limits).words, "") << "the limits themselves are fine";
}

}  // namespace
}  // namespace chronivel
