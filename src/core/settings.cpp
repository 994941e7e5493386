#include "core/settings.h"

#include <algorithm>

namespace chronivel {

namespace {

// Values outside what the program writes come from damage or hand edits;
// they fall back to the default instead of indexing past a table.
std::int32_t InRange(std::int32_t value, std::int32_t low, std::int32_t high, std::int32_t fallback)
{
    return value >= low && value <= high ? value : fallback;
}

// A later-added group: a value absent or of the wrong type skips the rest of
// its group, silently, and the next group is read.
template <typename ReadGroup>
void Guarded(ReadGroup read)
{
    try {
        read();
    } catch (const SettingsError&) {
    }
}

void LoadMainGroup(const SettingsStore& store, Settings& s, const LoadMoment& moment)
{
    s.left = ReadInteger(store, "Left");
    s.top = ReadInteger(store, "Top");
    s.countDown = ReadFlag(store, "CountDown");
    s.countDownT = ReadInteger(store, "CountDownT");
    if (std::string fileName = ReadText(store, "FileName"); !fileName.empty()) s.fileName = std::move(fileName);
    s.color = ReadInteger(store, "Color");
    s.fon = ReadText(store, "Fon");
    s.sound = ReadFlag(store, "Sound");
    s.dayCounter = ReadInteger(store, "DayCounter");
    if (ReadText(store, "Date") != moment.today) s.dayCounter = 0;  // a new day numbers its runs from 1
    const std::int32_t leader = ReadInteger(store, "Leader");
    s.leader = leader > 0 ? leader : BestTime::None;
    s.zoom = InRange(ReadInteger(store, "Zoom"), 0, 4, 0);
    s.port = InRange(ReadInteger(store, "Port"), 0, 255, 0);
    s.alg = InRange(ReadInteger(store, "Alg"), 0, 5, 0);
}

}  // namespace

void LoadSettings(const SettingsStore& store, Settings& s, const LoadMoment& moment)
{
    if (!store.Exists()) return;
    LoadMainGroup(store, s, moment);
    Guarded([&] {
        s.laps = ReadInteger(store, "Laps");
        s.transpW = ReadFlag(store, "TranspW");
    });
    Guarded([&] { s.lsCount = InRange(ReadInteger(store, "LsCount"), 1, 3, 2); });
    Guarded([&] { s.seLOCK = ReadInteger(store, "seLOCK"); });
    Guarded([&] { s.format = InRange(ReadInteger(store, "Format"), 0, 5, 0); });
    Guarded([&] { ReadBlock(store, "TickCount", s.tickCount); });
    Guarded([&] { s.hoursOn = ReadFlag(store, "HoursOn"); });
    Guarded([&] {
        const bool armed = ReadFlag(store, "AlarmOn");
        s.alarm = ReadReal(store, "Alarm");
        s.alarmOn = armed && s.alarm - moment.timeOfDay > 0.0;  // an alarm already past today stays off
    });
    Guarded([&] {
        s.tickBoot = ReadText(store, "TickBoot");
        ReadBlock(store, "TickTime", s.tickTime);
    });
    Guarded([&] { s.portName = ReadText(store, "PortName"); });
    Guarded([&] { s.minLap = std::max(ReadInteger(store, "MinLap"), 0); });
}

void SaveSettings(SettingsStore& store, const Settings& s, const std::string& today)
{
    // A window never shown yet has no place of its own; 0 then, as a
    // first exit of a window placed at the screen's corner would write.
    WriteInteger(store, "Left", s.left.value_or(0));
    WriteInteger(store, "Top", s.top.value_or(0));
    WriteFlag(store, "CountDown", s.countDown);
    WriteInteger(store, "CountDownT", s.countDownT);
    WriteText(store, "FileName", s.fileName);
    WriteInteger(store, "Color", s.color);
    WriteText(store, "Fon", s.fon);
    WriteFlag(store, "Sound", s.sound);
    WriteInteger(store, "DayCounter", s.dayCounter);
    WriteText(store, "Date", today);
    WriteInteger(store, "Leader", s.leader);
    WriteInteger(store, "Zoom", s.zoom);
    WriteInteger(store, "Port", s.port);
    WriteInteger(store, "Alg", s.alg);
    WriteInteger(store, "Laps", s.laps);
    WriteFlag(store, "TranspW", s.transpW);
    WriteFlag(store, "LeaderOn", s.leaderOn);
    WriteInteger(store, "LsCount", s.lsCount);
    WriteInteger(store, "seLOCK", s.seLOCK);
    WriteInteger(store, "Format", s.format);
    WriteBlock(store, "TickCount", s.tickCount);
    WriteFlag(store, "HoursOn", s.hoursOn);
    WriteFlag(store, "AlarmOn", s.alarmOn);
    WriteReal(store, "Alarm", s.alarm);
    WriteText(store, "TickBoot", s.tickBoot);
    WriteBlock(store, "TickTime", s.tickTime);
    WriteText(store, "PortName", s.portName);
    WriteInteger(store, "MinLap", s.minLap);
}

}  // namespace chronivel
