// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "core/chronivelapp.h"
#include "core/command.h"
#include "tests/core/fakes.h"
#include "tests/core/fakeserial.h"
#include "tests/core/toldnotices.h"

namespace chronivel {
namespace {

using Lines = std::vector<std::string>;
using Values = std::map<std::string, RegValue, std::less<>>;

// A settings file: what a kill leaves is what the last write made durable.
class DiskStore final : public SettingsStore {
public:
    explicit DiskStore(Values onDisk = {}) : values(onDisk), disk(std::move(onDisk)) {}
    Values values;  // as the program sees them
    Values disk;    // as a kill leaves them
    int flushes = 0;
    bool Exists() const override { return !disk.empty(); }
    std::optional<RegValue> Get(std::string_view name) const override
    {
        const auto found = values.find(name);
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    void Set(std::string_view name, RegValue value) override { values[std::string(name)] = std::move(value); }
    std::unique_ptr<SettingsSave> TakeSave() override
    {
        class Save final : public SettingsSave {
        public:
            Save(DiskStore& store, Values values) : store_(store), values_(std::move(values)) {}
            void Write() override
            {
                store_.disk = values_;
                ++store_.flushes;
                if (store_.onFlush) store_.onFlush();
            }

        private:
            DiskStore& store_;
            Values values_;
        };
        return std::make_unique<Save>(*this, values);
    }
    std::function<void()> onFlush;
};

// The program's copy on one machine: its counter, protocol file and settings
// file outlive it; each Start is the program started once more.
class KeptRunsTest : public ::testing::Test {
protected:
    struct Program {
        DiskStore store;
        testing::FakeScheduler scheduler;
        testing::FakePorts serial;
        ChronivelApp app;
        Program(KeptRunsTest& machine, Values onDisk, THighResTimer& timer, const LocaleTexts& locale,
                ProtocolLog& protocol, const std::string& boot)
            : store(std::move(onDisk)), app(timer, locale, store, scheduler, protocol, serial, boot), notices(app, machine.told)
        {
        }
        testing::ToldNotices notices;
    };

    // Starts the program on the settings a kill of the previous one left.
    Program& Start(Values onDisk, const std::string& boot = "boot-1")
    {
        if (program) program->scheduler.aside.clear();  // a kill: the writes under way never end
        program.reset();
        program = std::make_unique<Program>(*this, std::move(onDisk), timer, locale, protocol, boot);
        program->app.Load("/data/Protocol.txt");
        program->app.Resume();
        program->scheduler.Advance(0);
        return *program;
    }
    // kill -9 and a new start: what the disk holds is what the program goes on with.
    Program& Restart(const std::string& boot = "boot-1") { return Start(program->store.disk, boot); }
    // A moment later: the writes under way have ended, and what they let go has gone to the protocol.
    void Settle() { program->scheduler.Advance(0); }
    const Chronometer& Clock() { return program->app.Clock(); }
    const Values& Disk() { return program->store.disk; }
    std::string DiskText(const std::string& name)
    {
        const auto found = Disk().find(name);
        return found == Disk().end() ? std::string() : found->second.AsText();
    }
    std::int64_t DiskTickCount()
    {
        DiskStore copy(Disk());
        std::int64_t count = 0;
        ReadBlock(copy, "TickCount", count);
        return count;
    }

    testing::FakeTimerPlatform platform;
    THighResTimer timer{platform};
    testing::FixedLocale locale;
    testing::MemoryProtocol protocol;
    std::unique_ptr<Program> program;
    std::vector<std::string> told;
};

TEST_F(KeptRunsTest, RunInProgressIsKeptWholeAtEveryStepAndComesBackPaused)
{
    Start({});
    program->app.Perform(Command::StartStopReset);
    Settle();
    for (int lap = 0; lap < 2; ++lap) {
        platform.Advance(600);
        const int before = program->store.flushes;
        program->app.Perform(Command::Lap);
        Settle();
        EXPECT_EQ(program->store.flushes, before + 1) << "a lap is kept at once, not after a delay";
    }
    platform.Advance(380);
    program->app.Perform(Command::Pause);
    Settle();
    const Lines shown = Clock().Lines().Lines();
    const int selected = Clock().Lines().Selected();

    // kill -9, a minute passes, the program starts again.
    platform.Advance(60'000);
    Restart();
    EXPECT_EQ(Clock().State(), RunState::Running);
    EXPECT_TRUE(Clock().Paused()) << "a paused run comes back paused";
    EXPECT_EQ(Clock().CurrentTimeText(), "00:00.01,580");
    EXPECT_EQ(Clock().Lines().Lines(), shown);
    EXPECT_EQ(Clock().Lines().Selected(), selected);

    platform.Advance(1'000);
    Restart();  // once more, and after a reboot the same
    Restart("boot-2");
    EXPECT_TRUE(Clock().Paused());
    EXPECT_EQ(Clock().CurrentTimeText(), "00:00.01,580");

    program->app.Perform(Command::Pause);
    Settle();
    platform.Advance(420);
    Restart("boot-2");  // running again: the laps still count on
    platform.Advance(100);
    program->app.Perform(Command::StartStopReset);
    Settle();
    ASSERT_EQ(protocol.runs.size(), 1u);
    const Lines& run = protocol.runs[0].second;
    ASSERT_EQ(run.size(), 5u);
    EXPECT_EQ(run[0], "START 1 = 14:05:09 = Mo. 07.12.26");
    EXPECT_EQ(run[1], "LAP 1 =  0,600");
    EXPECT_EQ(run[2], "LAP 2 =  1,200 ( +0,600)  0,600");
    EXPECT_TRUE(run[3].starts_with("PAUSE = ")) << run[3];
    EXPECT_EQ(run[4], "STOP: =  2,100 ( +1,500)  0,900 \u00D8 0,700");
    EXPECT_TRUE(told.empty());
}

TEST_F(KeptRunsTest, SettingsOfAnOlderVersionStillResumeTheirRun)
{
    DiskStore older;
    Settings s;
    s.tickCount = platform.counter - 5'000'000;
    SaveSettings(older, s, locale.Now().shortDate);
    older.values.erase("TickBoot");
    older.values.erase("TickTime");
    Start(older.values);
    EXPECT_EQ(Clock().State(), RunState::Running);
    program->app.DisplayTick();
    EXPECT_EQ(Clock().CurrentTimeText(), "00:00.05,000");
    EXPECT_TRUE(told.empty());
}

// Where a kill can come while a run is finished: between keeping it and
// writing it, and between writing it and forgetting it.
TEST_F(KeptRunsTest, AKillAnywhereInTheFinishNeitherLosesNorDoublesTheRun)
{
    Start({});
    Values beforeAppend;
    program->store.onFlush = [&] {
        if (protocol.runs.empty() && beforeAppend.empty() && !DiskText("PendingRuns").empty())
            beforeAppend = program->store.disk;
    };
    program->app.Perform(Command::StartStopReset);
    platform.Advance(1'000);
    program->app.Perform(Command::StartStopReset);
    EXPECT_TRUE(protocol.runs.empty()) << "the file waits for the settings that keep the run";
    Settle();
    ASSERT_FALSE(beforeAppend.empty()) << "the finished run is kept before the file is touched";
    ASSERT_EQ(protocol.runs.size(), 1u);
    const Lines run = protocol.runs[0].second;
    EXPECT_EQ(DiskText("PendingRuns"), "") << "and forgotten once the file has it";

    // Killed after the append, before the settings forgot the run.
    Start(beforeAppend);
    EXPECT_EQ(Clock().State(), RunState::Ready) << "a finished run does not run again";
    EXPECT_EQ(protocol.runs.size(), 1u) << "the file ends with it already";
    EXPECT_EQ(DiskText("PendingRuns"), "");

    // Killed before the append.
    protocol.runs.clear();
    Start(beforeAppend);
    ASSERT_EQ(protocol.runs.size(), 1u);
    EXPECT_EQ(protocol.runs[0].second, run);
    EXPECT_EQ(Clock().State(), RunState::Ready);
    EXPECT_EQ(DiskTickCount(), 0);
    Restart();
    EXPECT_EQ(protocol.runs.size(), 1u);

    program->app.Perform(Command::StartStopReset);
    program->app.Perform(Command::StartStopReset);
    Settle();
    EXPECT_EQ(protocol.runs.back().second.front(), "START 2 = 14:05:09 = Mo. 07.12.26");
    EXPECT_TRUE(told.empty());
}

// A large settings file takes long to write. The commands do not wait for
// it; what they change goes into the next write; the protocol waits for the
// write that keeps the finished run; and a kill at any write loses nothing
// the disk had, nor doubles a run.
TEST_F(KeptRunsTest, SlowSettingsWritesHoldUpNoCommandAndAKillDuringThemLosesNothing)
{
    Start({});
    testing::FakeScheduler& disk = program->scheduler;
    disk.holdAside = true;
    program->app.Perform(Command::StartStopReset);
    platform.Advance(500);
    for (int lap = 0; lap < 3; ++lap) program->app.Perform(Command::Lap);
    EXPECT_EQ(Clock().Lines().Lines().size(), 4u) << "the commands are done while the disk is busy";
    EXPECT_EQ(program->store.flushes, 0);
    EXPECT_EQ(DiskTickCount(), 0);

    ASSERT_TRUE(disk.RunAsideOnce());  // the write begun at START
    EXPECT_NE(DiskTickCount(), 0);
    EXPECT_EQ(DiskText("TickLines").find("LAP"), std::string::npos) << "the laps came after it";
    platform.Advance(500);
    program->app.Perform(Command::StartStopReset);  // STOP while the laps are being written
    ASSERT_TRUE(disk.RunAsideOnce());
    EXPECT_EQ(program->store.flushes, 2) << "the three laps went into one write";
    EXPECT_TRUE(protocol.runs.empty()) << "the protocol waits for the write that keeps the run";
    program->app.Perform(Command::RetryProtocol);
    EXPECT_TRUE(protocol.runs.empty()) << "also when the user asks to retry";
    const Values killedWithTheLaps = Disk();

    ASSERT_TRUE(disk.RunAsideOnce());  // the run kept as unwritten; now it goes to the file
    ASSERT_EQ(protocol.runs.size(), 1u);
    const Lines run = protocol.runs[0].second;
    EXPECT_NE(DiskText("PendingRuns"), "");
    disk.RunAside();
    EXPECT_EQ(DiskText("PendingRuns"), "");
    EXPECT_EQ(DiskTickCount(), 0);
    EXPECT_FALSE(disk.RunAsideOnce()) << "nothing more to write";

    // Killed while the STOP's write was under way: the run comes back with its laps.
    protocol.runs.clear();
    Start(killedWithTheLaps);
    EXPECT_EQ(Clock().State(), RunState::Running);
    EXPECT_EQ(Clock().Lines().Lines(), Lines(run.begin(), run.begin() + 4));
    program->app.Perform(Command::StartStopReset);
    Settle();
    ASSERT_EQ(protocol.runs.size(), 1u) << "written once";
    EXPECT_EQ(protocol.runs[0].second.front(), run.front());
    EXPECT_TRUE(told.empty());
}

TEST_F(KeptRunsTest, AFailedWriteIsToldAndTheRunKeptUntilTheFileTakesIt)
{
    Start({});
    protocol.failure = "Is a directory";
    program->app.Perform(Command::StartStopReset);
    program->app.Perform(Command::StartStopReset);
    program->scheduler.Advance(0);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("\"/data/Protocol.txt\". Is a directory"), std::string::npos) << told[0];
    EXPECT_NE(told[0].find("kept"), std::string::npos) << told[0];
    EXPECT_NE(DiskText("PendingRuns").find("START 1 = "), std::string::npos);
    EXPECT_TRUE(program->app.Enabled(Command::RetryProtocol));

    // It outlives the program; the next run has the next number.
    Restart();
    EXPECT_EQ(told.size(), 2u) << "told again at the start";
    program->app.Perform(Command::StartStopReset);
    program->app.Perform(Command::StartStopReset);
    program->app.Perform(Command::StartStopReset);
    Settle();
    EXPECT_TRUE(protocol.runs.empty());
    EXPECT_NE(DiskText("PendingRuns").find("START 2 = "), std::string::npos);

    // The file takes runs again: the end of the next run writes all of them, in order.
    protocol.failure.clear();
    program->app.Perform(Command::StartStopReset);
    program->app.Perform(Command::StartStopReset);
    Settle();
    ASSERT_EQ(protocol.runs.size(), 3u);
    for (int number = 1; number <= 3; ++number)
        EXPECT_EQ(protocol.runs[number - 1].second.front(), "START " + std::to_string(number) + " = 14:05:09 = Mo. 07.12.26");
    EXPECT_EQ(DiskText("PendingRuns"), "");
    EXPECT_FALSE(program->app.Enabled(Command::RetryProtocol));

    // Or the user's retry.
    protocol.failure = "No space left on device";
    program->app.Perform(Command::StartStopReset);
    program->app.Perform(Command::StartStopReset);
    program->app.Perform(Command::StartStopReset);
    Settle();
    protocol.failure.clear();
    program->app.Perform(Command::RetryProtocol);
    ASSERT_EQ(protocol.runs.size(), 4u);
    EXPECT_EQ(protocol.runs[3].second.front(), "START 4 = 14:05:09 = Mo. 07.12.26");
    Settle();
    EXPECT_EQ(DiskText("PendingRuns"), "");
}

TEST_F(KeptRunsTest, ADamagedTickCountIsNoRunAndIsToldOnce)
{
    struct Damage {
        const char* what;
        std::int64_t tickCount;
        std::int64_t tickTime;
    };
    const std::int64_t now = platform.counter;
    for (const Damage& damage : {
             Damage{"ahead of the counter", std::numeric_limits<std::int64_t>::max(), 0},
             Damage{"no start time", 0x0201, 0},
             Damage{"older than its start time", 0x0201, locale.epochMs - 2'000},
             Damage{"below zero", -5, locale.epochMs},
         }) {
        SCOPED_TRACE(damage.what);
        told.clear();
        DiskStore damaged;
        Settings s;
        s.leader = 4'000;
        s.tickCount = damage.tickCount;
        s.tickBoot = "boot-1";
        s.tickTime = damage.tickTime;
        SaveSettings(damaged, s, locale.Now().shortDate);
        Start(damaged.values);
        EXPECT_EQ(Clock().State(), RunState::Ready);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0].find("\"TickCount\" " + std::to_string(damage.tickCount)), std::string::npos) << told[0];
        EXPECT_EQ(DiskTickCount(), 0);
        EXPECT_EQ(Clock().Best().Value(), 4'000);
        Restart();
        EXPECT_EQ(told.size(), 1u) << "told once";
        EXPECT_EQ(Clock().State(), RunState::Ready);
        EXPECT_EQ(ReadInteger(program->store, "Leader"), 4'000);
    }
    // A real run of this boot, begun a while ago, is no damage.
    DiskStore sound;
    Settings s;
    s.tickCount = now - 2'000'000;
    s.tickBoot = "boot-1";
    s.tickTime = locale.epochMs - 2'000;
    SaveSettings(sound, s, locale.Now().shortDate);
    told.clear();
    Start(sound.values);
    EXPECT_EQ(Clock().State(), RunState::Running);
    EXPECT_TRUE(told.empty());
}

}  // namespace
}  // namespace chronivel
