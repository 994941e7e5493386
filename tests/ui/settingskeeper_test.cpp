#include "ui/settingskeeper.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "tests/core/fakes.h"
#include "tests/core/memorystore.h"

namespace chronivel {
namespace {

class FailingStore final : public SettingsStore {
public:
    testing::MemoryStore inner;
    int failures = 0;
    bool Exists() const override { return inner.Exists(); }
    std::optional<RegValue> Get(std::string_view name) const override { return inner.Get(name); }
    void Set(std::string_view name, RegValue value) override { inner.Set(name, std::move(value)); }
    void Flush() override
    {
        ++failures;
        throw SettingsError("Cannot write /nowhere/chronivel.reg: Read-only file system");
    }
};

class SettingsKeeperTest : public ::testing::Test {
protected:
    SettingsKeeperTest()
    {
        keeper.reportError = [this](const QString& message) { errors << message; };
        keeper.saveOthers = [this] { WriteInteger(store, "LeftP", 449); };
    }

    std::int64_t StoredTickCount()
    {
        std::int64_t count = 0;
        ReadBlock(store, "TickCount", count);
        return count;
    }

    testing::FakeTimerPlatform platform;
    THighResTimer timer{platform};
    testing::FixedLocale locale;
    testing::RecordingObserver windows;
    Chronometer clock{timer, locale, windows};
    testing::MemoryStore store;
    QWidget window;
    SettingsKeeper keeper{store, clock, timer, window, "boot-1"};
    QStringList errors;
};

TEST_F(SettingsKeeperTest, RunsAreSavedTheMomentTheyStartAndStop)
{
    store.exists = false;
    EXPECT_TRUE(keeper.Load("/data/Protocol.txt").isEmpty());
    keeper.Resume();
    const int before = store.flushes;

    clock.StartStopReset();
    keeper.ControlsChanged();
    EXPECT_EQ(store.flushes, before + 1) << "no waiting while a kill could lose the run";
    EXPECT_EQ(StoredTickCount(), clock.StartCount());
    EXPECT_EQ(ReadText(store, "TickBoot"), "boot-1");
    EXPECT_EQ(ReadText(store, "FileName"), "/data/Protocol.txt");
    EXPECT_EQ(ReadInteger(store, "LeftP"), 449) << "the other windows' values go with every save";

    platform.Advance(1'500);
    clock.StartStopReset();
    keeper.ControlsChanged();
    EXPECT_EQ(store.flushes, before + 2);
    EXPECT_EQ(StoredTickCount(), 0);
    EXPECT_EQ(ReadInteger(store, "Leader"), 1'500);
}

TEST_F(SettingsKeeperTest, OtherChangesAreSavedShortlyAfter)
{
    store.exists = false;
    keeper.Load("/data/Protocol.txt");
    keeper.Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return store.flushes > 0; }, 5'000)) << "the first save after start-up";
    const int before = store.flushes;
    clock.ToggleSound();
    keeper.ControlsChanged();
    clock.SelectFormat(2);
    keeper.ControlsChanged();
    EXPECT_EQ(store.flushes, before) << "not at once";
    EXPECT_TRUE(QTest::qWaitFor([&] { return store.flushes > before; }, 5'000));
    EXPECT_EQ(store.flushes, before + 1) << "two changes, one save";
    EXPECT_FALSE(ReadFlag(store, "Sound"));
    EXPECT_EQ(ReadInteger(store, "Format"), 2);
}

TEST_F(SettingsKeeperTest, LoadHandsTheSettingsOutAndResumesTheRun)
{
    Settings stored;
    stored.fileName = "/elsewhere/Runs.txt";
    stored.format = 2;
    stored.leader = 61'234;
    stored.sound = false;
    stored.tickCount = platform.counter - 90'000'000;  // 90 s ago, this boot
    stored.tickBoot = "boot-1";
    stored.tickTime = 1'796'000'000'000;
    SaveSettings(store, stored, CurrentMoment().today);

    EXPECT_TRUE(keeper.Load("/data/Protocol.txt").isEmpty());
    keeper.Resume();
    EXPECT_EQ(clock.State(), RunState::Running);
    EXPECT_EQ(clock.StartCount(), stored.tickCount);
    EXPECT_EQ(clock.Format().Format(), 2);
    EXPECT_EQ(clock.Best().Caption(), "1.01,23");
    EXPECT_FALSE(clock.Sound());
    EXPECT_EQ(keeper.Kept().fileName, "/elsewhere/Runs.txt");
    clock.DisplayTick();
    EXPECT_EQ(clock.Elapsed(), 90'000);
}

TEST_F(SettingsKeeperTest, BestTimeOutlivesAStartInCountdownMode)
{
    Settings stored;
    stored.countDown = true;
    stored.leader = 61'234;
    stored.leaderOn = false;  // hidden while the countdown is armed
    SaveSettings(store, stored, CurrentMoment().today);

    EXPECT_TRUE(keeper.Load("/data/Protocol.txt").isEmpty());
    keeper.Resume();
    EXPECT_TRUE(clock.CountDown());
    EXPECT_FALSE(clock.Best().Visible());
    keeper.Save();
    EXPECT_EQ(ReadInteger(store, "Leader"), 61'234);
    EXPECT_FALSE(ReadFlag(store, "LeaderOn"));

    clock.ToggleCountDown();  // back to the chronometer: the best time is there again
    EXPECT_TRUE(clock.Best().Visible());
    EXPECT_EQ(clock.Best().Value(), 61'234);
    EXPECT_EQ(clock.Best().Caption(), "1.01,234");
    keeper.Save();
    EXPECT_EQ(ReadInteger(store, "Leader"), 61'234);
    EXPECT_TRUE(ReadFlag(store, "LeaderOn"));
}

TEST_F(SettingsKeeperTest, RunFromBeforeARebootGoesOnByTheWallClock)
{
    platform.counter = (1LL << 60) + 60'000'000;  // a minute after this boot
    Settings stored;
    stored.tickCount = (1LL << 60) + 77;  // the old boot's counter: meaningless now
    stored.tickBoot = "boot-0";
    stored.tickTime = QDateTime::currentMSecsSinceEpoch() - 3'600'000;
    SaveSettings(store, stored, CurrentMoment().today);
    const int before = store.flushes;

    keeper.Load("/data/Protocol.txt");
    keeper.Resume();
    clock.DisplayTick();
    EXPECT_GE(clock.Elapsed(), 3'600'000);
    EXPECT_LT(clock.Elapsed(), 3'700'000);
    EXPECT_EQ(store.flushes, before + 1) << "the new start count is kept at once";
    EXPECT_EQ(StoredTickCount(), clock.StartCount());
    EXPECT_EQ(ReadText(store, "TickBoot"), "boot-1");
}

TEST_F(SettingsKeeperTest, BadMainValueIsReportedAndWhatCameBeforeApplies)
{
    Settings stored;
    stored.countDownT = 30'000;
    SaveSettings(store, stored, CurrentMoment().today);
    store.values.erase("Color");
    EXPECT_EQ(keeper.Load("/data/Protocol.txt"), QStringLiteral("Failed to get data for 'Color'"));
    EXPECT_EQ(clock.CountDownT(), 30'000);
}

TEST(SettingsKeeper, FailedSaveIsReportedOnce)
{
    testing::FakeTimerPlatform platform;
    THighResTimer timer{platform};
    testing::FixedLocale locale;
    testing::RecordingObserver windows;
    Chronometer clock{timer, locale, windows};
    FailingStore store;
    QWidget window;
    SettingsKeeper keeper{store, clock, timer, window, "boot-1"};
    QStringList errors;
    keeper.reportError = [&](const QString& message) { errors << message; };
    keeper.Load("/data/Protocol.txt");
    keeper.Resume();
    for (int command = 0; command < 4; ++command) {  // START, STOP, RESET, START
        clock.StartStopReset();
        keeper.ControlsChanged();
    }
    EXPECT_EQ(store.failures, 2) << "each start of a run tries again";
    EXPECT_EQ(errors, QStringList{QStringLiteral("Cannot write /nowhere/chronivel.reg: Read-only file system")});
}

}  // namespace
}  // namespace chronivel
