// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/chronivelapp.h"

#include <gtest/gtest.h>

#include "tests/core/fakemodel.h"
#include "tests/core/toldnotices.h"

namespace chronivel {
namespace {

class FailingStore final : public SettingsStore {
public:
    testing::MemoryStore inner;
    int failures = 0;
    bool Exists() const override { return inner.Exists(); }
    std::optional<RegValue> Get(std::string_view name) const override { return inner.Get(name); }
    void Set(std::string_view name, RegValue value) override { inner.Set(name, std::move(value)); }
    std::unique_ptr<SettingsSave> TakeSave() override
    {
        class Save final : public SettingsSave {
        public:
            explicit Save(int& failures) : failures_(failures) {}
            void Write() override
            {
                ++failures_;
                throw SettingsError("Cannot write /nowhere/chronivel.reg: Read-only file system");
            }

        private:
            int& failures_;
        };
        return std::make_unique<Save>(failures);
    }
};

// A window with a value of its own in the settings key, that keeps the runs it is told of.
class OtherWindow final : public AppView {
public:
    explicit OtherWindow(SettingsStore& store) : store_(store) {}
    void SaveOwnValues() override { WriteInteger(store_, "LeftP", 449); }
    void RunRecorded(const std::vector<std::string>& run) override { runs.push_back(run); }
    bool Perform(Command command) override
    {
        performed.push_back(command);
        return command == Command::Calendar;
    }
    std::vector<std::vector<std::string>> runs;
    std::vector<Command> performed;

private:
    SettingsStore& store_;
};

class ChronivelAppTest : public ::testing::Test, protected testing::FakeModel {
protected:
    ChronivelAppTest()
    {
        app.AddView(other);
    }

    void Store(const Settings& stored) { SaveSettings(store, stored, locale.Now().shortDate); }
    std::int64_t StoredTickCount()
    {
        std::int64_t count = 0;
        ReadBlock(store, "TickCount", count);
        return count;
    }

    const Chronometer& clock = app.Clock();
    OtherWindow other{store};
    std::vector<std::string> errors;
    testing::ToldNotices notices{app, errors};
};

TEST_F(ChronivelAppTest, RunsAreSavedTheMomentTheyStartAndStop)
{
    store.exists = false;
    EXPECT_EQ(app.Load("/data/Protocol.txt"), "");
    app.Resume();
    const int before = store.flushes;

    app.Perform(Command::StartStopReset);
    EXPECT_EQ(store.flushes, before) << "the command does not wait for the disk";
    scheduler.Advance(0);
    EXPECT_EQ(store.flushes, before + 1) << "but the write starts with it, no delay while a kill could lose the run";
    EXPECT_EQ(StoredTickCount(), clock.StartCount());
    EXPECT_EQ(ReadText(store, "TickBoot"), "boot-1");
    EXPECT_EQ(ReadText(store, "FileName"), "/data/Protocol.txt");
    EXPECT_EQ(ReadInteger(store, "LeftP"), 449) << "the other windows' values go with every save";

    platform.Advance(1'500);
    app.Perform(Command::StartStopReset);
    scheduler.Advance(0);
    EXPECT_EQ(store.flushes, before + 3) << "kept as unwritten, then forgotten once in the protocol";
    EXPECT_EQ(StoredTickCount(), 0);
    EXPECT_EQ(ReadInteger(store, "Leader"), 1'500);
}

TEST_F(ChronivelAppTest, OtherChangesAreSavedShortlyAfterTheLastOfThem)
{
    store.exists = false;
    app.Load("/data/Protocol.txt");
    app.Resume();
    const int before = store.flushes;
    app.Perform(Command::Sound);
    scheduler.Advance(SavePipeline::DelayMs - 100);
    app.Perform(FormatCommand(2));
    app.WindowMoved(40, 50);
    app.SetZoom(3);
    EXPECT_EQ(store.flushes, before) << "not at once";
    scheduler.Advance(SavePipeline::DelayMs - 1);
    EXPECT_EQ(store.flushes, before) << "each change waits afresh";
    scheduler.Advance(1);
    EXPECT_EQ(store.flushes, before + 1) << "four changes, one save";
    EXPECT_FALSE(ReadFlag(store, "Sound"));
    EXPECT_EQ(ReadInteger(store, "Format"), 2);
    EXPECT_EQ(ReadInteger(store, "Left"), 40);
    EXPECT_EQ(ReadInteger(store, "Zoom"), 3);

    app.Perform(Command::Sound);
    app.Save();  // at exit: what waits is written now, and only once
    scheduler.Advance(SavePipeline::DelayMs);
    EXPECT_EQ(store.flushes, before + 2);
    EXPECT_TRUE(ReadFlag(store, "Sound"));
}

TEST_F(ChronivelAppTest, ZoomOutsideItsStepsIsTheFirst)
{
    for (const int wrong : {-1, ZoomSteps}) {
        app.SetZoom(2);
        app.SetZoom(wrong);
        EXPECT_EQ(app.Zoom(), 0) << wrong;
    }
    Settings stored;
    stored.zoom = 9;  // damaged
    Store(stored);
    app.Load("/data/Protocol.txt");
    EXPECT_EQ(app.Zoom(), 0);
}

TEST_F(ChronivelAppTest, LoadHandsTheSettingsOutAndResumesTheRun)
{
    Settings stored;
    stored.fileName = "/elsewhere/Runs.txt";
    stored.format = 2;
    stored.leader = 61'234;
    stored.sound = false;
    stored.tickCount = platform.counter - 90'000'000;  // 90 s ago, this boot
    stored.tickBoot = "boot-1";
    stored.tickTime = 1'796'000'000'000;
    Store(stored);

    EXPECT_EQ(app.Load("/data/Protocol.txt"), "");
    app.Resume();
    EXPECT_EQ(clock.State(), RunState::Running);
    EXPECT_EQ(clock.StartCount(), stored.tickCount);
    EXPECT_EQ(clock.Format().Format(), 2);
    EXPECT_EQ(clock.Best().Caption(), "1.01,23");
    EXPECT_FALSE(clock.Sound());
    EXPECT_EQ(app.ProtocolPath(), "/elsewhere/Runs.txt");
    app.DisplayTick();
    EXPECT_EQ(clock.Elapsed(), 90'000);
}

TEST_F(ChronivelAppTest, BestTimeOutlivesAStartInCountdownMode)
{
    Settings stored;
    stored.countDown = true;
    stored.leader = 61'234;
    stored.leaderOn = false;  // hidden while the countdown is armed
    Store(stored);

    EXPECT_EQ(app.Load("/data/Protocol.txt"), "");
    app.Resume();
    EXPECT_TRUE(clock.CountDown());
    EXPECT_FALSE(clock.Best().Visible());
    app.Save();
    EXPECT_EQ(ReadInteger(store, "Leader"), 61'234);
    EXPECT_FALSE(ReadFlag(store, "LeaderOn"));

    app.Perform(Command::CountDownMode);  // back to the chronometer: the best time is there again
    EXPECT_TRUE(clock.Best().Visible());
    EXPECT_EQ(clock.Best().Value(), 61'234);
    EXPECT_EQ(clock.Best().Caption(), "1.01,234");
    app.Save();
    EXPECT_EQ(ReadInteger(store, "Leader"), 61'234);
    EXPECT_TRUE(ReadFlag(store, "LeaderOn"));
}

TEST_F(ChronivelAppTest, RunFromBeforeARebootGoesOnByTheWallClock)
{
    platform.counter = (1LL << 60) + 60'000'000;  // a minute after this boot
    Settings stored;
    stored.tickCount = (1LL << 60) + 77;  // the old boot's counter: meaningless now
    stored.tickBoot = "boot-0";
    stored.tickTime = locale.epochMs - 3'600'000;
    Store(stored);
    const int before = store.flushes;

    app.Load("/data/Protocol.txt");
    app.Resume();
    app.DisplayTick();
    EXPECT_EQ(clock.Elapsed(), 3'600'000);
    scheduler.Advance(0);
    EXPECT_EQ(store.flushes, before + 1) << "the new start count is kept at once";
    EXPECT_EQ(StoredTickCount(), clock.StartCount());
    EXPECT_EQ(ReadText(store, "TickBoot"), "boot-1");
}

TEST_F(ChronivelAppTest, ABadValueIsToldAndLosesNeitherTheRunInProgressNorItself)
{
    Settings stored;
    stored.countDownPresetMs = 30'000;
    stored.format = 3;
    stored.fileName = "/elsewhere/Runs.txt";
    stored.tickCount = platform.counter - 90'000'000;  // 90 s ago, this boot
    stored.tickBoot = "boot-1";
    stored.tickTime = locale.epochMs - 90'000;
    Store(stored);
    const RegValue hexColor = RegValue::Text("#336699");  // a hand edit the program cannot read
    store.values["Color"] = hexColor;
    store.values.erase("Sound");

    EXPECT_EQ(app.Load("/data/Protocol.txt"),
              "Failed to get data for 'Color' (wrong type), 'Sound' (missing): they take their defaults; "
              "the value not understood is kept as stored until you change that setting.");
    app.Resume();
    EXPECT_EQ(clock.State(), RunState::Running) << "the values after the bad ones are read";
    EXPECT_EQ(clock.StartCount(), stored.tickCount);
    EXPECT_EQ(clock.CountDownT(), 30'000);
    EXPECT_EQ(clock.Format().Format(), 3);
    EXPECT_TRUE(clock.Sound());
    EXPECT_EQ(app.ProtocolPath(), "/elsewhere/Runs.txt");

    app.Shutdown();
    EXPECT_EQ(StoredTickCount(), stored.tickCount) << "the run goes on at the next start";
    EXPECT_EQ(store.values["Color"], hexColor);
    EXPECT_EQ(ReadInteger(store, "Format"), 3);
    EXPECT_EQ(ReadInteger(store, "Sound"), 1);
}

TEST(ChronivelApp, FailedSaveIsReportedOnce)
{
    testing::FakeTimerPlatform platform;
    THighResTimer timer{platform};
    testing::FixedLocale locale;
    FailingStore store;
    testing::FakeScheduler scheduler;
    testing::MemoryProtocol protocol;
    testing::FakePorts serial;
    ChronivelApp app{timer, locale, store, scheduler, protocol, serial, "boot-1"};
    std::vector<std::string> errors;
    testing::ToldNotices notices{app, errors};
    app.Load("/data/Protocol.txt");
    app.Resume();
    for (int command = 0; command < 4; ++command) {  // START, STOP, RESET, START
        app.Perform(Command::StartStopReset);
        scheduler.Advance(0);
    }
    EXPECT_EQ(store.failures, 4) << "each start and each end of a run tries again";
    EXPECT_EQ(errors, std::vector<std::string>{"Cannot write /nowhere/chronivel.reg: Read-only file system. What "
                                               "changed is kept and written with the next save."});
}

TEST_F(ChronivelAppTest, FinishedRunGoesToTheProtocolFileAndItsListeners)
{
    Settings stored;
    stored.fileName = "/elsewhere/Runs.txt";
    Store(stored);
    app.Load("/data/Protocol.txt");
    app.Resume();
    const std::int32_t runsBefore = clock.DayCounter();

    app.Perform(Command::StartStopReset);
    platform.Advance(2'000);
    app.Perform(Command::StartStopReset);
    EXPECT_TRUE(protocol.runs.empty()) << "not before the settings keep the run";
    scheduler.Advance(0);
    ASSERT_EQ(protocol.runs.size(), 1u);
    EXPECT_EQ(protocol.runs[0].first, "/elsewhere/Runs.txt");
    EXPECT_EQ(protocol.runs[0].second, clock.Lines().Lines());
    EXPECT_EQ(other.runs, std::vector<std::vector<std::string>>{clock.Lines().Lines()});
    EXPECT_EQ(clock.DayCounter(), runsBefore + 1);
}

// Run numbers never repeat in a day: where the settings lost the count of
// the day's runs, the protocol's runs of the day tell it.
TEST(ChronivelApp, ARunsNumberFollowsTheDaysRunsInTheProtocolWhereTheSettingsLostTheCount)
{
    // dword:ffffffff, and a count kept, which wins: another title's runs may be there too.
    for (const std::int32_t storedCount : {-1, 1}) {
        testing::FakeModel model;
        SaveSettings(model.store, Settings{}, model.locale.Now().shortDate);
        model.store.values["DayCounter"] = RegValue::Dword(storedCount);
        const std::string path = "/data/Protocol.txt";
        model.protocol.runs = {{path, {"START 9 = 14:05:09 = So. 06.12.26"}},
                               {path, {"START 3 = 14:05:09 = Mo. 07.12.26"}},
                               {"/elsewhere.txt", {"START 8 = 14:05:09 = Mo. 07.12.26"}}};
        const std::string told = model.app.Load(path);
        EXPECT_EQ(told.find("'DayCounter' (-1, not 0 to 999999)") != std::string::npos, storedCount == -1) << told;
        model.app.Resume();
        model.app.Perform(Command::StartStopReset);
        model.app.Perform(Command::StartStopReset);
        model.scheduler.Advance(0);
        ASSERT_EQ(model.protocol.runs.size(), 4u);
        EXPECT_EQ(model.protocol.runs.back().second.front().substr(0, 8), storedCount == 1 ? "START 2 " : "START 4 ");
    }
}

// Runs kept unwritten in a value of another type are told, and their bytes
// kept aside before a save writes over them; text of either kind is read.
TEST(ChronivelApp, UnreadableRunsKeptUnwrittenAreToldAndKeptAside)
{
    const RegValue damaged = RegValue::Binary({'S', 'T', 'A', 'R', 'T'});
    const std::vector<std::string> run{"START 2 = 14:05:09 = Mo. 07.12.26", "STOP: = 1,000"};
    for (const RegValue& pending : {damaged, RegValue::Text(run[0] + "\n" + run[1], RegType::ExpandSz)}) {
        testing::FakeModel model;
        SaveSettings(model.store, Settings{}, model.locale.Now().shortDate);
        model.store.values["PendingRuns"] = pending;
        const std::string told = model.app.Load("/data/Protocol.txt");
        model.app.Resume();
        model.scheduler.Advance(0);
        if (pending == damaged) {
            EXPECT_EQ(told, "Failed to get data for 'PendingRuns' (wrong type; its bytes are kept in the side file): "
                            "it takes its default.");
            EXPECT_EQ(model.store.keptAside.at("PendingRuns"), damaged);
        } else {
            EXPECT_EQ(told, "");
            EXPECT_EQ(model.protocol.runs, (decltype(model.protocol.runs){{"/data/Protocol.txt", run}}));
        }
    }
}

// An edge goes from the port to the chronometer, and the run it ends to the
// protocol file: no window involved.
TEST_F(ChronivelAppTest, BarriersChosenLastDriveRunsIntoTheProtocol)
{
    Settings stored;
    stored.portName = "/dev/ttyUSB0";
    stored.port = 1;
    stored.barrierArrangement = 2;  // start, stop and lap on their own barriers
    Store(stored);
    app.Load("/data/Protocol.txt");
    app.Resume();
    ASSERT_TRUE(app.BarriersConnected());
    ASSERT_EQ(serial.log.front(), "open /dev/ttyUSB0 at 9600");

    const std::int64_t start = platform.counter;
    const auto edge = [&](std::uint32_t events, std::uint32_t status, std::int64_t ms) {
        serial.last->sink_->Deliver({events, status, start + ms * 1'000});
    };
    edge(ev::Dsr, ms::DsrOn, 0);
    ASSERT_EQ(clock.State(), RunState::Running);
    edge(ev::Dsr, 0, 100);
    edge(ev::Rlsd, ms::RlsdOn, 4'321);
    edge(ev::Cts, ms::CtsOn, 9'876);
    platform.Advance(20'000);
    scheduler.Advance(0);

    ASSERT_EQ(protocol.runs.size(), 1u);
    EXPECT_EQ(protocol.runs[0].first, "/data/Protocol.txt");
    const std::vector<std::string>& run = protocol.runs[0].second;
    EXPECT_NE(std::find(run.begin(), run.end(), "LAP 1 =  4,321"), run.end()) << ::testing::PrintToString(run);
    EXPECT_EQ(clock.Elapsed(), 9'876);
    ASSERT_EQ(other.runs.size(), 1u) << "the windows are told after the file has the run";
}

// Behind another window the keys a user types there must not reset or hide
// the watch, and the pause button rests: the toggle barrier then takes laps.
TEST_F(ChronivelAppTest, InTheBackgroundPlainKeysRestAndTheToggleBarrierTakesLaps)
{
    Settings stored;
    stored.portName = "/dev/ttyUSB0";
    stored.port = 1;
    stored.barrierArrangement = 3;
    Store(stored);
    app.Load("/data/Protocol.txt");
    app.Resume();
    ASSERT_TRUE(app.BarriersConnected());
    const std::int64_t start = platform.counter;
    const auto edge = [&](std::uint32_t status, std::int64_t ms) {
        serial.last->sink_->Deliver({ev::Rlsd, status, start + ms * 1'000});
        scheduler.Advance(0);
    };
    app.Perform(Command::StartStopReset, start);
    EXPECT_TRUE(app.WindowActive()) << "in front until the window is first deactivated";

    app.SetWindowActive(false);
    for (Command resting : {Command::ResetRunByKey, Command::Hide}) EXPECT_FALSE(app.Enabled(resting));
    for (Command working : {Command::ResetRun, Command::Minimize, Command::Lap, Command::StartStopReset})
        EXPECT_TRUE(app.Enabled(working)) << "the context menu's Reset, the hot keys' commands";
    app.Perform(Command::ResetRunByKey);
    app.Perform(Command::Hide);
    EXPECT_EQ(clock.State(), RunState::Running);
    EXPECT_TRUE(other.performed.empty());
    edge(ms::RlsdOn, 2'000);
    EXPECT_FALSE(clock.Paused());
    ASSERT_EQ(clock.Lines().Lines().size(), 2u);
    EXPECT_EQ(clock.Lines().Lines()[1], "LAP 1 =  2,000");

    edge(0, 2'500);
    app.SetWindowActive(true);
    edge(ms::RlsdOn, 3'000);
    EXPECT_TRUE(clock.Paused()) << "in front the same barrier pauses";
    app.Perform(Command::Hide);
    EXPECT_EQ(other.performed, std::vector<Command>{Command::Hide});
    app.Perform(Command::ResetRunByKey);
    EXPECT_EQ(clock.State(), RunState::Ready);
}

TEST_F(ChronivelAppTest, BarrierChoicesAreSavedAndAFailedPortIsTold)
{
    store.exists = false;
    app.Load("/data/Protocol.txt");
    app.Resume();
    app.ChooseBarrierPort("/dev/ttyUSB3", 4);
    app.SelectBarrierAlgorithm(2);
    app.SelectBarrierArrangement(3);
    scheduler.Advance(SavePipeline::DelayMs);
    store.exists = true;
    Settings saved;
    LoadSettings(store, saved, {locale.Now().shortDate});
    EXPECT_EQ(saved.portName, "/dev/ttyUSB3");
    EXPECT_EQ(saved.port, 4);
    EXPECT_EQ(saved.barrierAlgorithm, 2);
    EXPECT_EQ(saved.barrierArrangement, 3);

    const std::string problem = app.ChooseBarrierPort("COM0", 0);
    EXPECT_FALSE(app.BarriersConnected());
    EXPECT_EQ(problem.rfind("Unable to open com port", 0), 0u) << problem;
    ASSERT_EQ(errors.size(), 1u) << "and it is waited for";
    EXPECT_EQ(app.Told().Find(NoticeTopic::Barriers)->kind, Notice::Kind::Problem);

    app.ChooseBarrierPort("", 0);
    app.Shutdown();
    LoadSettings(store, saved, {locale.Now().shortDate});
    EXPECT_EQ(saved.portName, "");
    EXPECT_EQ(saved.port, 0);
}

TEST_F(ChronivelAppTest, CommandsAreDoneByTheModelOrHandedToAWindowAndDisabledOnesDoNothing)
{
    store.exists = false;
    app.Load("/data/Protocol.txt");
    app.Resume();
    OtherWindow second{store};
    app.AddView(second);
    EXPECT_FALSE(app.Enabled(Command::ProtocolWindowFromMenu)) << "no file to show yet";
    EXPECT_TRUE(app.Enabled(Command::ProtocolWindow));

    app.Perform(Command::Sound);
    EXPECT_FALSE(clock.Sound());
    EXPECT_FALSE(app.Checked(Command::Sound));
    app.Perform(FormatCommand(3));
    EXPECT_TRUE(app.Checked(FormatCommand(3)));
    EXPECT_FALSE(app.Checked(FormatCommand(0)));
    EXPECT_TRUE(other.performed.empty()) << "the model's own commands reach no window";

    app.Perform(Command::Calendar);
    app.Perform(Command::Exit);
    EXPECT_EQ(other.performed, (std::vector<Command>{Command::Calendar, Command::Exit}));
    EXPECT_EQ(second.performed, std::vector<Command>{Command::Exit}) << "only until one window took it";

    EXPECT_FALSE(app.Enabled(Command::Lap)) << "no lap before the start";
    app.Perform(Command::Lap);
    EXPECT_TRUE(clock.Lines().Lines().empty());
    app.Perform(Command::StartStopReset);
    platform.Advance(1'500);
    app.Perform(Command::StartStopReset);
    ASSERT_EQ(clock.Best().Value(), 1'500);
    app.Perform(Command::ShowBestTime);
    EXPECT_FALSE(app.Enabled(Command::ClearShownBestTime));
    app.Perform(Command::ClearShownBestTime);
    EXPECT_EQ(clock.Best().Value(), 1'500) << "the menu's entry clears only a best time it shows";
    app.Perform(Command::ClearBestTime);
    EXPECT_EQ(clock.Best().Value(), BestTime::None) << "the keys clear it anyway";

    EXPECT_FALSE(app.Enabled(Command::ProtocolWindowFromMenu)) << "the run is not in the file yet";
    app.Perform(Command::ProtocolWindowFromMenu);
    EXPECT_EQ(second.performed.size(), 1u) << "a disabled command reaches no window";
    scheduler.Advance(0);
    EXPECT_TRUE(app.Enabled(Command::ProtocolWindowFromMenu)) << "the run is in the file now";
    app.Perform(Command::AlarmClock);
    EXPECT_EQ(second.performed.back(), Command::AlarmClock) << "the window opens the alarm dialog";
    app.RemoveView(second);
}

// A key or button pressed while the program was busy carries its own
// moment: the run counts from when the user gave the command.
TEST_F(ChronivelAppTest, TimingCommandsCountFromTheMomentTheyWereGiven)
{
    store.exists = false;
    app.Load("/data/Protocol.txt");
    app.Resume();
    const std::int64_t t0 = platform.counter;  // one count a microsecond
    app.Perform(Command::StartStopReset, t0);
    platform.Advance(3'000);
    app.Perform(Command::Lap, t0 + 1'000'000);
    app.Perform(Command::StartStopReset, t0 + 2'500'000);
    ASSERT_EQ(clock.Lines().Lines().size(), 3u);
    EXPECT_EQ(clock.Lines().Lines()[1], "LAP 1 =  1,000");
    EXPECT_EQ(clock.Lines().Lines()[2].substr(0, 21), "STOP: =  2,500 ( +1,5");
    EXPECT_EQ(clock.Best().Value(), 2'500);
    EXPECT_EQ(app.CommandAt(), std::nullopt) << "the moment belongs to its command only";
}

}  // namespace
}  // namespace chronivel
