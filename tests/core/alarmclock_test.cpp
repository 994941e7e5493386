// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alarmclock.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/chronivelapp.h"
#include "tests/core/fakemodel.h"
#include "tests/core/toldnotices.h"

namespace chronivel {
namespace {

using namespace testing;

constexpr std::int64_t Day = AlarmClock::DayMs;
constexpr std::int64_t Today = 20'429 * Day;  // midnight

constexpr std::int64_t At(int h, int m, int s, int ms = 0)
{
    return Today + ((h * 60 + m) * 60 + s) * std::int64_t{1000} + ms;
}

// Hears the alarm and what else the model tells its windows.
class AlarmView final : public AppView {
public:
    void Changed() override { ++changes; }
    void AlarmRang() override { rang.push_back(now()); }
    void AlarmSilenced() override { silenced.push_back(now()); }
    std::function<std::int64_t()> now;
    int changes = 0;
    std::vector<std::int64_t> rang;  // wall-clock moments
    std::vector<std::int64_t> silenced;
};

// The model on a wall clock that starts at `start` and moves with the scheduler.
class AlarmTest : public ::testing::Test, protected FakeModelOnWallClock {
protected:
    void Start(std::int64_t start)
    {
        MakeApp(start);
        notices.emplace(*app, told);
        view = AlarmView{};
        view.now = [this] { return locale->EpochMs(); };
        app->AddView(view);
        app->Load("/data/Protocol.txt");
        app->Resume();
    }
    // The program ends, and its settings are there for the next start.
    void Stop()
    {
        app->Shutdown();
        notices.reset();
        app.reset();
        told.clear();
        store.exists = true;
    }
    // The wall clock moves on without the scheduler: the machine slept.
    void Suspend(std::int64_t ms) { locale->jumped += ms; }
    std::int64_t Now() const { return locale->EpochMs(); }
    void StoreAlarm(bool on, double time, std::int64_t due)
    {
        Settings s;
        s.alarmOn = on;
        s.alarm = time;
        s.alarmDue = due;
        SaveSettings(store, s, "");
        if (due == 0) store.values.erase("AlarmDue");  // as an earlier version left it
    }
    bool StoredArmed() const { return ReadFlag(store, "AlarmOn"); }

    AlarmView view;
    std::vector<std::string> told;
    std::optional<ToldNotices> notices;
};

TEST_F(AlarmTest, RingsAtTheFirstTickWithAtMostOneSecondLeft)
{
    store.exists = false;
    Start(At(11, 59, 50, 300));
    EXPECT_EQ(app->SetAlarm(true, 12, 0, 0), "");
    EXPECT_TRUE(app->Alarm().Armed());
    EXPECT_EQ(app->Alarm().DueMs(), At(12, 0, 0));
    EXPECT_TRUE(StoredArmed()) << "kept at once, no delay in which a kill could lose it";
    EXPECT_EQ(store.values.at("AlarmDue"), BlockValue(At(12, 0, 0)));

    scheduler.Advance(8'000);  // 11:59:58.300: 1.7 s left
    EXPECT_TRUE(view.rang.empty());
    const int changes = view.changes;
    scheduler.Advance(1'000);
    EXPECT_EQ(view.rang, std::vector<std::int64_t>{At(11, 59, 59, 300)}) << "0.7 s left";
    EXPECT_FALSE(app->Alarm().Armed());
    EXPECT_TRUE(app->Alarm().Ringing());
    EXPECT_GT(view.changes, changes) << "the button's picture follows";
    EXPECT_FALSE(StoredArmed()) << "disarmed, and kept so at once";
    EXPECT_DOUBLE_EQ(ReadReal(store, "Alarm"), 0.5) << "the time stays";

    scheduler.Advance(10 * 60'000);
    EXPECT_EQ(view.rang.size(), 1u) << "once";
}

TEST_F(AlarmTest, AnAlarmThatFellDueDuringASuspendRingsOnceAtTheFirstTickAfter)
{
    store.exists = false;
    Start(At(22, 0, 0));
    app->SetAlarm(true, 22, 30, 0);
    scheduler.Advance(3'000);
    Suspend(2 * 3'600'000);  // the machine sleeps past the alarm, and its timer with it
    EXPECT_TRUE(view.rang.empty());
    scheduler.Advance(1'000);
    EXPECT_EQ(view.rang, std::vector<std::int64_t>{At(22, 0, 4) + 2 * 3'600'000}) << "at once";
    scheduler.Advance(5 * 60'000);
    EXPECT_EQ(view.rang.size(), 1u);
}

TEST_F(AlarmTest, ItRingsAMinuteUnlessTheUserHearsItFirst)
{
    store.exists = false;
    Start(At(6, 29, 58));
    app->SetAlarm(true, 6, 30, 0);
    scheduler.Advance(1'000);
    ASSERT_EQ(view.rang.size(), 1u);
    scheduler.Advance(59'000);
    EXPECT_TRUE(view.silenced.empty());
    EXPECT_TRUE(app->Alarm().Ringing());
    scheduler.Advance(1'000);
    EXPECT_EQ(view.silenced, std::vector<std::int64_t>{view.rang[0] + AlarmClock::RingMs});
    EXPECT_FALSE(app->Alarm().Ringing());

    app->SetAlarm(true, 6, 32, 0);  // 06:30:59 now
    scheduler.Advance(59'000);
    EXPECT_EQ(view.rang.size(), 1u);
    scheduler.Advance(1'000);
    ASSERT_EQ(view.rang.size(), 2u);
    scheduler.Advance(5'000);
    app->AcknowledgeAlarm();
    EXPECT_FALSE(app->Alarm().Ringing());
    EXPECT_EQ(view.silenced.size(), 2u) << "at once";
    app->AcknowledgeAlarm();
    scheduler.Advance(2 * 60'000);
    EXPECT_EQ(view.silenced.size(), 2u) << "once";
}

TEST_F(AlarmTest, ATimeNotLaterThanNowIsTomorrows)
{
    store.exists = false;
    Start(At(23, 59, 0, 400));
    EXPECT_EQ(app->AlarmDueText(0, 1, 0), "tomorrow 00:01:00");
    EXPECT_EQ(app->AlarmDueText(23, 59, 30), "today 23:59:30");
    EXPECT_EQ(app->AlarmDueText(23, 59, 0), "tomorrow 23:59:00") << "the current second has passed";
    EXPECT_EQ(app->SetAlarm(true, 0, 1, 0), "");
    EXPECT_TRUE(app->Alarm().Armed());
    EXPECT_EQ(app->Alarm().DueMs(), At(0, 1, 0) + Day);
    scheduler.Advance(118'000);
    EXPECT_TRUE(view.rang.empty()) << "1.6 s left: today's 00:01 is long gone";
    scheduler.Advance(1'000);
    EXPECT_EQ(view.rang.size(), 1u);

    EXPECT_EQ(app->SetAlarm(true, 0, 0, 0), "") << "midnight is tomorrow's too";
    EXPECT_EQ(app->Alarm().DueMs(), Today + 2 * Day);
}

TEST_F(AlarmTest, FieldsOutOfRangeAreRefusedByName)
{
    store.exists = false;
    Start(At(9, 0, 0));
    app->SetAlarm(true, 10, 0, 0);
    const int changes = view.changes;
    EXPECT_EQ(app->SetAlarm(true, 24, 0, 0), "The hours must be 0 to 23, not 24.");
    EXPECT_EQ(app->SetAlarm(false, 7, 60, 0), "The minutes must be 0 to 59, not 60.");
    EXPECT_EQ(app->SetAlarm(true, 7, 0, -1), "The seconds must be 0 to 59, not -1.");
    EXPECT_EQ(view.changes, changes);
    EXPECT_TRUE(app->Alarm().Armed()) << "the old alarm stays";
    EXPECT_EQ(app->Alarm().Hours(), 10);

    EXPECT_EQ(app->SetAlarm(false, 10, 0, 0), "");
    EXPECT_FALSE(app->Alarm().Armed());
    EXPECT_GT(view.changes, changes);
    EXPECT_FALSE(StoredArmed());
    scheduler.Advance(2 * 3'600'000);
    EXPECT_TRUE(view.rang.empty()) << "disarmed";
}

TEST_F(AlarmTest, AnAlarmMissedWhileClosedRingsOnceAtTheNextStartAndIsTold)
{
    StoreAlarm(true, 0.25, At(6, 0, 0) - Day);  // yesterday at 06:00
    Start(At(8, 15, 0));
    EXPECT_EQ(view.rang, std::vector<std::int64_t>{At(8, 15, 0)});
    EXPECT_EQ(told, std::vector<std::string>{"The alarm set for 06:00:00 was due yesterday at 06:00:00, while "
                                             "Chronivel was not running: it rings now."});
    EXPECT_FALSE(StoredArmed());

    Stop();
    Start(At(8, 16, 0));
    scheduler.Advance(60'000);
    EXPECT_EQ(view.rang.size(), 0u) << "once";
    EXPECT_TRUE(told.empty());

    // Due this morning, and a few days ago.
    Stop();
    StoreAlarm(true, 0.25, At(6, 0, 0));
    Start(At(8, 17, 0));
    scheduler.Advance(0);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("due today at 06:00:00"), std::string::npos) << told[0];
    Stop();
    StoreAlarm(true, 0.25, At(6, 0, 0) - 3 * Day);
    Start(At(8, 18, 0));
    scheduler.Advance(0);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("due 3 days ago at 06:00:00"), std::string::npos) << told[0];
}

TEST_F(AlarmTest, AlarmsSetForLaterSurviveARestart)
{
    store.exists = false;
    Start(At(20, 0, 0));
    app->SetAlarm(true, 6, 30, 0);  // tomorrow
    Stop();
    Start(At(21, 0, 0));
    EXPECT_TRUE(app->Alarm().Armed()) << "a time of day earlier than now, due tomorrow";
    EXPECT_EQ(app->Alarm().DueMs(), At(6, 30, 0) + Day);
    EXPECT_TRUE(told.empty());
    EXPECT_TRUE(view.rang.empty());
}

TEST_F(AlarmTest, AnEarlierVersionsAlarmIsDueTodayIfStillToCome)
{
    StoreAlarm(true, 0.75, 0);  // 18:00, without its due moment
    Start(At(12, 0, 0));
    EXPECT_TRUE(app->Alarm().Armed());
    EXPECT_EQ(app->Alarm().DueMs(), At(18, 0, 0));

    Stop();
    StoreAlarm(true, 0.75, 0);
    Start(At(19, 0, 0));
    EXPECT_FALSE(app->Alarm().Armed()) << "passed: off, as that version had it";
    EXPECT_TRUE(view.rang.empty());
    EXPECT_TRUE(told.empty());
    EXPECT_EQ(app->Alarm().Hours(), 18) << "the time stays";
}

TEST(AlarmClock, TheStoredFractionShowsAsWholeSeconds)
{
    const std::pair<double, const char*> shown[] = {
        {0.0, "00:00:00"}, {0.5, "12:00:00"}, {7.5 / 24, "07:30:00"}, {1.0 / 24, "01:00:00"},
        {0.99999, "23:59:59"}, {0.9999999, "23:59:59"},  // the last second, not 24:00:00
    };
    const FixedLocale clock;
    for (const auto& [stored, text] : shown) {
        AlarmClock alarm(clock);
        alarm.Restore(stored, false, 0, 0);
        EXPECT_EQ(AlarmClock::ClockText(alarm.Second()), text) << stored;
        EXPECT_EQ(alarm.Hours() * 3600 + alarm.Minutes() * 60 + alarm.Seconds(), alarm.Second());
    }
}

}  // namespace
}  // namespace chronivel
