// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/commandline.h"
#include "core/highrestimer.h"
#include "core/runpersistence.h"
#include "memorystore.h"

namespace chronivel {
namespace {

using testing::MemoryStore;

const LoadMoment Today{"07.12.26"};

// Every value as a clean exit on `Today` writes it, with values unlike the defaults.
Settings Used()
{
    Settings s;
    s.left = 300;
    s.top = -20;
    s.countDown = true;
    s.countDownPresetMs = 90'000;
    s.fileName = "/home/coach/Läufe/Protocol.txt";
    s.color = 0x00336699;
    s.pictureFile = "/home/coach/dial.bmp";
    s.sound = false;
    s.dayCounter = 4;
    s.leader = 12'345;
    s.zoom = 2;
    s.port = 3;
    s.barrierAlgorithm = 5;
    s.laps = 7;
    s.transparentInBackground = false;
    s.leaderOn = false;
    s.barrierArrangement = 3;
    s.stopLockSeconds = 15;
    s.format = 4;
    s.tickCount = 0x0123'4567'89AB'CDEF;
    s.hoursOn = false;
    s.alarmOn = true;
    s.alarm = 0.75;
    s.tickBoot = "3f1c";
    s.tickTime = 1'796'000'000'000;
    s.portName = "/dev/ttyUSB0";
    s.alarmDue = 1'796'100'000'000;
    s.minLap = 1'500;
    s.monitor = 1;
    return s;
}

MemoryStore Saved(const Settings& s)
{
    MemoryStore store;
    SaveSettings(store, s, Today.today);
    store.writeOrder.clear();
    return store;
}

TEST(Settings, RoundTripKeepsEveryValue)
{
    const MemoryStore store = Saved(Used());
    Settings loaded;
    LoadSettings(store, loaded, Today);
    Settings expected = Used();
    expected.leaderOn = true;  // written for others to read, never read back
    EXPECT_EQ(loaded, expected);
}

TEST(Settings, ValuesAddedForTheBarriersAreEachOptional)
{
    MemoryStore store = Saved(Used());
    store.values.erase("PortName");  // a settings file of the version before
    store.values["MinLap"] = RegValue::Dword(-40);
    Settings loaded;
    LoadSettings(store, loaded, Today);
    EXPECT_EQ(loaded.portName, "");
    EXPECT_EQ(loaded.minLap, 0) << "a negative minimum is none";
    EXPECT_EQ(loaded.tickTime, Used().tickTime);
}

TEST(Settings, SavesInTheFixedOrderWithTheirTypes)
{
    MemoryStore store;
    SaveSettings(store, Used(), Today.today);
    const std::vector<std::string> order{"Left", "Top", "CountDown", "CountDownT", "FileName", "Color", "Fon",
                                         "Sound", "DayCounter", "Date", "Leader", "Zoom", "Port", "Alg", "Laps",
                                         "TranspW", "LeaderOn", "LsCount", "seLOCK", "Format", "TickCount",
                                         "HoursOn", "AlarmOn", "Alarm", "TickBoot", "TickTime", "PortName", "AlarmDue",
                                         "MinLap", "Monitor", "LiveView", "LivePort", "LiveToken", "LiveLocal"};
    EXPECT_EQ(store.writeOrder, order);
    EXPECT_TRUE(store.values["PortName"].Is(RegType::Sz));
    EXPECT_TRUE(store.values["MinLap"].Is(RegType::Dword));
    EXPECT_TRUE(store.values["Left"].Is(RegType::Dword));
    EXPECT_TRUE(store.values["Sound"].Is(RegType::Dword));
    EXPECT_TRUE(store.values["Date"].Is(RegType::Sz));
    EXPECT_EQ(store.values["Date"].AsText(), "07.12.26");
    EXPECT_TRUE(store.values["TickCount"].Is(RegType::Binary));
    EXPECT_EQ(store.values["TickCount"].data,
              (std::vector<std::uint8_t>{0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}));
    EXPECT_EQ(store.values["Alarm"].data.size(), 8u);
    EXPECT_TRUE(store.values["AlarmDue"].Is(RegType::Binary));
}

TEST(Settings, FirstStartKeepsTheDefaults)
{
    MemoryStore store;
    store.exists = false;
    Settings s;
    s.fileName = "/opt/chronivel/Protocol.txt";
    LoadSettings(store, s, Today);
    Settings expected;
    expected.fileName = "/opt/chronivel/Protocol.txt";
    EXPECT_EQ(s, expected);
    EXPECT_FALSE(s.left.has_value());
}

TEST(Settings, EachBadValueTakesItsDefaultAndTheOthersAreStillRead)
{
    MemoryStore store = Saved(Used());
    store.values.erase("Sound");                   // a main value: named
    store.values["Color"] = RegValue::Text("red");  // of another type
    store.values["Zoom"] = RegValue::Dword(9);      // never written by the program
    store.values.erase("Laps");                    // a later one: an older version's store
    store.values["Format"] = RegValue::Text("4");
    Settings s;
    const LoadReport report = LoadSettings(store, s, Today);
    EXPECT_EQ(report.unread, (std::vector<std::string>{"'Color' (wrong type)", "'Sound' (missing)",
                                                       "'Zoom' (9, not 0 to 4)", "'Format' (wrong type)"}));
    Settings expected = Used();
    expected.leaderOn = true;
    expected.color = 0;
    expected.sound = true;
    expected.zoom = 0;
    expected.laps = 0;
    expected.format = 0;
    EXPECT_EQ(s, expected) << "every other value is read, the run in progress too";
    EXPECT_EQ(report.Message("/home/coach/.config/Orvantis/Chronivel.reg"),
              "Failed to get data for 'Color' (wrong type), 'Sound' (missing), 'Zoom' (9, not 0 to 4), "
              "'Format' (wrong type) in /home/coach/.config/Orvantis/Chronivel.reg: they take their defaults; "
              "the values not understood are kept as stored until you change those settings.");

    MemoryStore oneMissing = Saved(Used());
    oneMissing.values.erase("Color");
    EXPECT_EQ(LoadSettings(oneMissing, s, Today).Message(""), "Failed to get data for 'Color' (missing): it takes its default.");
    EXPECT_EQ(LoadSettings(Saved(Used()), s, Today).Message("anywhere"), "") << "nothing to tell";
}

TEST(Settings, ValuesNotUnderstoodStayAsStoredUntilTheirSettingChanges)
{
    MemoryStore store = Saved(Used());
    const RegValue laterFormat = RegValue::Dword(7);  // as a later version might write
    const RegValue text = RegValue::Text("2");
    const RegValue longBlock = RegValue::Binary(std::vector<std::uint8_t>(9, 1));
    store.values["Format"] = laterFormat;
    store.values["Zoom"] = text;
    store.values["TickCount"] = longBlock;
    store.values.erase("Sound");  // absent: nothing to keep, the default is written
    Settings s;
    LoadReport report = LoadSettings(store, s, Today);
    EXPECT_EQ(report.held.size(), 3u);

    SaveSettings(store, s, Today.today, report.held);
    EXPECT_EQ(store.values["Format"], laterFormat);
    EXPECT_EQ(store.values["Zoom"], text);
    EXPECT_EQ(store.values["TickCount"], longBlock);
    EXPECT_EQ(store.values["Sound"], RegValue::Dword(1));
    EXPECT_EQ(store.values["Color"], RegValue::Dword(Used().color)) << "the rest is written as read";

    s.zoom = 3;           // the user chose a zoom: from now on it is theirs
    s.tickCount = 4'000;  // a run began
    SaveSettings(store, s, Today.today, report.held);
    EXPECT_EQ(store.values["Zoom"], RegValue::Dword(3));
    EXPECT_EQ(store.values["TickCount"], BlockValue(4'000));
    EXPECT_EQ(store.values["Format"], laterFormat);

    s.zoom = 0;  // and back to what loading gave: written, not the old text again
    s.tickCount = 0;
    SaveSettings(store, s, Today.today, report.held);
    EXPECT_EQ(store.values["Zoom"], RegValue::Dword(0));
    EXPECT_EQ(store.values["TickCount"], BlockValue(0));
    EXPECT_EQ(report.held.size(), 1u);
}

TEST(Settings, ABadDateIsNamedButTheDateIsWrittenAnew)
{
    MemoryStore store = Saved(Used());
    store.values["Date"] = RegValue::Dword(7);
    Settings s;
    LoadReport report = LoadSettings(store, s, Today);
    EXPECT_EQ(report.unread, std::vector<std::string>{"'Date' (wrong type)"});
    EXPECT_EQ(s.dayCounter, 0) << "runs are numbered from 1 again";
    EXPECT_TRUE(report.held.empty()) << "a kept bad date would reset the counter at every start";
    SaveSettings(store, s, Today.today, report.held);
    EXPECT_EQ(store.values["Date"], RegValue::Text(Today.today));
}

TEST(Settings, ADamagedMonitorIsOffToldAndKeptAsStored)
{
    // An absent value is an older version's store: off, silently.
    MemoryStore older = Saved(Used());
    older.values.erase("Monitor");
    Settings s;
    EXPECT_TRUE(LoadSettings(older, s, Today).unread.empty());
    EXPECT_EQ(s.monitor, -1);

    const std::vector<std::pair<RegValue, std::string>> damaged{
        {RegValue::Dword(-2), "'Monitor' (-2, less than -1)"},
        {RegValue::Text("abc"), "'Monitor' (wrong type)"},
    };
    for (const auto& [value, told] : damaged) {
        MemoryStore store = Saved(Used());
        store.values["Monitor"] = value;
        Settings loaded;
        LoadReport report = LoadSettings(store, loaded, Today);
        EXPECT_EQ(loaded.monitor, -1) << told;
        EXPECT_EQ(report.unread, std::vector<std::string>{told});
        EXPECT_NE(report.Message("").find(told), std::string::npos);
        SaveSettings(store, loaded, Today.today, report.held);
        EXPECT_EQ(store.values["Monitor"], value) << "left as stored until the user chooses a monitor";
        loaded.monitor = 0;
        SaveSettings(store, loaded, Today.today, report.held);
        EXPECT_EQ(store.values["Monitor"], RegValue::Dword(0));
    }

    // A monitor not connected now is no damage: whether it is, only the windows know.
    MemoryStore far = Saved(Used());
    far.values["Monitor"] = RegValue::Dword(99);
    Settings loaded;
    EXPECT_TRUE(LoadSettings(far, loaded, Today).unread.empty());
    EXPECT_EQ(loaded.monitor, 99);
}

TEST(Settings, LaterValuesAreEachOptionalAndAlarmNeedsItsTime)
{
    MemoryStore store = Saved(Used());
    store.values.erase("Laps");
    store.values.erase("Alarm");  // AlarmOn is read, the alarm stays off
    Settings s;
    const LoadReport report = LoadSettings(store, s, Today);
    EXPECT_TRUE(report.unread.empty()) << "an older version's store lacks them";
    EXPECT_EQ(s.laps, 0);
    EXPECT_FALSE(s.transparentInBackground) << "read on its own";
    EXPECT_EQ(s.barrierArrangement, 3);
    EXPECT_EQ(s.tickCount, Used().tickCount);
    EXPECT_FALSE(s.alarmOn);
}

// Where the count of today's runs is not known, the protocol's runs tell it.
TEST(Settings, DayCounterBelongsToItsDate)
{
    struct Case {
        const char* what;
        void (*damage)(MemoryStore&);
        bool known;
        std::int32_t counter;
        std::vector<std::string> unread;
    };
    const std::vector<Case> cases{
        {"today's", [](MemoryStore&) {}, true, 4, {}},
        {"another day's", [](MemoryStore& s) { s.values["Date"] = RegValue::Text("06.12.26"); }, true, 0, {}},
        {"without its date", [](MemoryStore& s) { s.values.erase("Date"); }, false, 0, {}},
        {"a date of another type", [](MemoryStore& s) { s.values["Date"] = RegValue::Dword(7); }, false, 0,
         {"'Date' (wrong type)"}},
        {"missing", [](MemoryStore& s) { s.values.erase("DayCounter"); }, false, 0, {"'DayCounter' (missing)"}},
        {"dword:ffffffff", [](MemoryStore& s) { s.values["DayCounter"] = RegValue::Dword(-1); }, false, 0,
         {"'DayCounter' (-1, not 0 to 999999)"}},
        {"no settings", [](MemoryStore& s) { s.exists = false; }, false, 0, {}},
    };
    for (const Case& c : cases) {
        MemoryStore store = Saved(Used());
        c.damage(store);
        Settings s;
        const LoadReport report = LoadSettings(store, s, Today);
        EXPECT_EQ(report.dayCounterKnown, c.known) << c.what;
        EXPECT_EQ(s.dayCounter, c.counter) << c.what;
        EXPECT_EQ(report.unread, c.unread) << c.what;
    }
}

TEST(Settings, OnlyAPositiveLeaderIsABestTime)
{
    for (std::int32_t stored : {0, -5, BestTime::None}) {
        MemoryStore store = Saved(Used());
        store.values["Leader"] = RegValue::Dword(stored);
        Settings s;
        LoadSettings(store, s, Today);
        EXPECT_EQ(s.leader, BestTime::None) << stored;
    }
}

TEST(Settings, BlocksOfAtMostEightBytes)
{
    MemoryStore shorter = Saved(Used());
    shorter.values["TickCount"] = RegValue::Binary({0x10, 0x27});
    Settings s;
    LoadSettings(shorter, s, Today);
    EXPECT_EQ(s.tickCount, 10'000) << "zero-extended";

    MemoryStore longer = Saved(Used());
    longer.values["TickCount"] = RegValue::Binary(std::vector<std::uint8_t>(9, 1));
    Settings t;
    EXPECT_EQ(LoadSettings(longer, t, Today).unread, std::vector<std::string>{"'TickCount' (wrong type)"})
        << "too long counts as mistyped";
    EXPECT_EQ(t.tickCount, 0);
    EXPECT_FALSE(t.hoursOn) << "the next value is read";

    MemoryStore absent = Saved(Used());
    absent.values.erase("TickCount");
    Settings u;
    u.tickCount = 42;
    LoadSettings(absent, u, Today);
    EXPECT_EQ(u.tickCount, 42);
}

TEST(Settings, TextsAndTheProtocolPath)
{
    MemoryStore store = Saved(Used());
    store.values["FileName"] = RegValue::Text("");
    store.values["Fon"] = RegValue::Text("%USERPROFILE%\\dial.bmp", RegType::ExpandSz);
    Settings s;
    s.fileName = "/default/Protocol.txt";
    LoadSettings(store, s, Today);
    EXPECT_EQ(s.fileName, "/default/Protocol.txt") << "an empty stored name keeps the default";
    EXPECT_EQ(s.pictureFile, "%USERPROFILE%\\dial.bmp") << "read as it stands, not expanded";
}

TEST(Settings, AnAlarmTimeThatIsNoTimeOfDayIsNotUsed)
{
    // The earliest and the latest a day has are times of day.
    for (const double fine : {0.0, 0.5, 0.99999}) {
        MemoryStore store = Saved(Used());
        store.values["Alarm"] = RealValue(fine);
        Settings s;
        EXPECT_TRUE(LoadSettings(store, s, Today).unread.empty()) << fine;
        EXPECT_TRUE(s.alarmOn) << fine;
        EXPECT_DOUBLE_EQ(s.alarm, fine);
    }
    const std::pair<double, const char*> damaged[] = {
        {std::nan(""), "'Alarm' (not a number)"},
        {-1.0, "'Alarm' (-1.000000, not a time of day)"},
        {1.0, "'Alarm' (1.000000, not a time of day)"},
        {2.0, "'Alarm' (2.000000, not a time of day)"},
    };
    for (const auto& [stored, words] : damaged) {
        MemoryStore store = Saved(Used());
        store.values["Alarm"] = RealValue(stored);
        Settings s;
        const LoadReport report = LoadSettings(store, s, Today);
        EXPECT_EQ(report.unread, std::vector<std::string>{words});
        EXPECT_FALSE(s.alarmOn) << words;
        EXPECT_DOUBLE_EQ(s.alarm, 86'399 / 86'400.0) << "the dialog's own 23:59:59";
        // Kept as stored until the user sets another alarm.
        HeldValues held = report.held;
        SaveSettings(store, s, Today.today, held);
        EXPECT_EQ(store.values["Alarm"], RealValue(stored)) << words;
    }
}

TEST(Settings, ValuesTheProgramNeverWritesFallBackToDefaults)
{
    MemoryStore store = Saved(Used());
    store.values["Zoom"] = RegValue::Dword(9);
    store.values["Alg"] = RegValue::Dword(-1);
    store.values["Format"] = RegValue::Dword(DisplayFormatCount);
    store.values["LsCount"] = RegValue::Dword(4);
    store.values["Port"] = RegValue::Dword(-3);
    Settings s;
    EXPECT_EQ(LoadSettings(store, s, Today).held.size(), 5u);
    EXPECT_EQ(s.zoom, 0);
    EXPECT_EQ(s.barrierAlgorithm, 0);
    EXPECT_EQ(s.format, 0);
    EXPECT_EQ(s.barrierArrangement, 2);
    EXPECT_EQ(s.port, 0);

    store.values["LsCount"] = RegValue::Dword(0);  // what the first versions wrote for the default
    Settings t;
    t.barrierArrangement = 3;
    EXPECT_EQ(LoadSettings(store, t, Today).held.size(), 4u);
    EXPECT_EQ(t.barrierArrangement, 2);
}

TEST(RunPersistence, ResumesOnTheSameBootFromTheCounter)
{
    Settings stored;
    stored.tickCount = 5'000'000;
    stored.tickBoot = "boot-a";
    stored.tickTime = 1'000'000;
    EXPECT_EQ(ResumeStartCount(stored, "boot-a", 9'000'000, 1.0, 1'004'000), 5'000'000);

    stored.tickBoot.clear();  // kept by an older version
    EXPECT_EQ(ResumeStartCount(stored, "boot-b", 9'000'000, 1.0, 1'004'000), 5'000'000);

    stored.tickCount = 0;
    EXPECT_EQ(ResumeStartCount(stored, "boot-a", 9'000'000, 1.0, 1'004'000), 0);
}

TEST(RunPersistence, ADaysRunsAreCountedFromThoseKeptWhereTheSettingsLostTheCount)
{
    StoredRuns runs;
    runs.pending = {{"START 5 = 14:00:00 = Mo. 07.12.26", "STOP: = 1,000"},
                    {"START 9 = 23:00:00 = So. 06.12.26", "STOP: = 1,000"}};
    runs.run.lines = {"START 7 = 14:05:09 = Mo. 07.12.26", "LAP 1 = 1,000"};
    EXPECT_EQ(DayRunsCounted(runs, Today.today, 3), 6) << "the run in progress has its number already";
    runs.run.lines.clear();
    EXPECT_EQ(DayRunsCounted(runs, Today.today, 3), 5) << "a run kept unwritten is counted";
    EXPECT_EQ(DayRunsCounted(runs, Today.today, 8), 8);
    EXPECT_EQ(DayRunsCounted(StoredRuns{}, Today.today, 0), 0);
}

TEST(RunPersistence, AfterARebootTheWallClockTells)
{
    const std::int64_t nowCounter = (1LL << 60) + 3'600'000'000'000LL;  // an hour after boot, in ns
    const std::int64_t startWall = 1'796'000'000'000;
    Settings stored;
    stored.tickCount = (1LL << 60) + 123;  // the old boot's counter
    stored.tickBoot = "boot-a";
    stored.tickTime = startWall;
    // Begun three hours before now: longer than this boot has lasted.
    const std::int64_t nowWall = startWall + 3 * 3'600'000;
    const std::int64_t start = ResumeStartCount(stored, "boot-b", nowCounter, 1000.0, nowWall);
    EXPECT_EQ(CountsToMilliseconds(nowCounter - start, 1000.0), 3 * 3'600'000);
    EXPECT_EQ(WallClockStart(start, nowCounter, 1000.0, nowWall), startWall);

    // A clock set back meanwhile gives a run just started, never one from the future.
    EXPECT_EQ(ResumeStartCount(stored, "boot-b", nowCounter, 1000.0, startWall - 60'000), nowCounter);
}

TEST(CommandLine, ReadsDigitCountAndRounding)
{
    EXPECT_EQ(ParseCommandLine({}).digitCount, 9);
    EXPECT_EQ(ParseCommandLine({}).roundPercent, 100);
    const CommandLine line = ParseCommandLine({"/D7", "/r0", "file.txt", "-D3", "/X5"});
    EXPECT_EQ(line.digitCount, 7);
    EXPECT_EQ(line.roundPercent, 0);
    EXPECT_EQ(ParseCommandLine({"/r50", "/R-20"}).roundPercent, -20) << "the later one counts";
    for (const char* ignored : {"/Dx", "/D", "/D 5", "/D99999999999", "/", "D5"})
        EXPECT_EQ(ParseCommandLine({"/d6", ignored}).digitCount, 6) << ignored;
}

}  // namespace
}  // namespace chronivel
