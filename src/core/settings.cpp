// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"

#include "core/alarmclock.h"
#include "core/displayformat.h"
#include "core/lightbarriers.h"
#include "core/runnumbers.h"
#include "core/windowlayout.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

namespace chronivel {

// Reads each value on its own and notes those it cannot use.
struct SettingLoader {
    const SettingsStore& store;
    const LoadMoment& moment;
    LoadReport& report;

    // The value as its type reads, or nothing when absent or of another type.
    template <typename T>
    std::optional<T> Get(std::string_view name, Absence absence)
    {
        if (!store.Get(name)) {
            if (absence == Absence::Reported) Note(name, "missing", false);
            return std::nullopt;
        }
        try {
            if constexpr (std::is_same_v<T, bool>) return ReadFlag(store, name);
            else if constexpr (std::is_same_v<T, std::string>) return ReadText(store, name);
            else if constexpr (std::is_same_v<T, double>) return ReadReal(store, name);
            else if constexpr (!std::is_same_v<T, std::int64_t>) return ReadInteger(store, name);
            else {
                T block = 0;
                ReadBlock(store, name, block);
                return block;
            }
        } catch (const SettingsError&) {
            Note(name, "wrong type", true);
            return std::nullopt;
        }
    }

    // A value read takes its setting's place; an integer outside the row's
    // range is not used.
    void Plain(const SettingRow& row, Settings& s)
    {
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
                    using T = std::remove_cvref_t<decltype(s.*member)>;
                    std::optional<T> value = Get<T>(row.name, row.absence);
                    if (!value) return;
                    if constexpr (std::is_same_v<T, std::int32_t>) {
                        if (row.adjust) *value = row.adjust(*value);
                        if (*value < row.low || *value > row.high) {
                            const std::string limits = row.high == SettingRow{}.high
                                                           ? "less than " + std::to_string(row.low)
                                                           : "not " + std::to_string(row.low) + " to " +
                                                                 std::to_string(row.high);
                            return Note(row.name, std::to_string(*value) + ", " + limits, true);
                        }
                    }
                    s.*member = std::move(*value);
                }
            },
            row.member);
    }

    // `found`: the value is there but not understood, and held as stored.
    void Note(std::string_view name, const std::string& why, bool found)
    {
        report.unread.push_back("'" + std::string(name) + "' (" + why + ")");
        if (found) report.held.emplace(name, RegValue{});  // its bytes once every value is read
    }
};

namespace {

// The date the count of the day's runs belongs to, right after that count.
void ReadDate(SettingLoader& load, const SettingRow& row, Settings& s)
{
    const std::optional<std::string> date = load.Get<std::string>(row.name, row.absence);
    // A new day numbers its runs from 1; so does a day that cannot be read.
    if (date.value_or("") != load.moment.today) s.dayCounter = 0;
    load.report.held.erase(std::string(row.name));  // always written anew: it belongs to the counter as saved
    load.report.dayCounterKnown = date && load.store.Get("DayCounter") && !load.report.held.contains("DayCounter");
}

// An empty protocol path keeps the default, the one beside the program.
void ReadProtocolPath(SettingLoader& load, const SettingRow& row, Settings& s)
{
    if (auto path = load.Get<std::string>(row.name, row.absence); path && !path->empty())
        s.fileName = std::move(*path);
}

// Read after "AlarmOn": an alarm without a usable time of day stays off.
void ReadAlarmTime(SettingLoader& load, const SettingRow& row, Settings& s)
{
    if (!s.alarmOn) return;
    const std::optional<double> time = load.Get<double>(row.name, row.absence);
    if (time && *time >= 0.0 && *time < 1.0) {  // false for a NaN too
        s.alarm = *time;
        return;
    }
    s.alarmOn = false;
    if (!time) return;
    s.alarm = AlarmClock::DefaultTime;
    load.Note(row.name, std::isnan(*time) ? "not a number" : std::to_string(*time) + ", not a time of day", true);
}

// Written for other programs to read, never read back.
void WrittenOnly(SettingLoader&, const SettingRow&, Settings&) {}

std::int32_t OnlyPositive(std::int32_t leader)
{
    return leader > 0 ? leader : BestTime::None;
}
// A negative count or minimum is none.
std::int32_t NoneBelowZero(std::int32_t value)
{
    return std::max(value, 0);
}
// 0 is what the arrangement's first versions wrote for the default.
std::int32_t ZeroIsDefault(std::int32_t arrangement)
{
    return arrangement != 0 ? arrangement : Settings{}.barrierArrangement;
}

constexpr Absence Later = Absence::Expected;  // added after the first versions

constexpr SettingRow Table[] = {
    {.name = "Left", .member = &Settings::left},
    {.name = "Top", .member = &Settings::top},
    {.name = "CountDown", .member = &Settings::countDown},
    {.name = "CountDownT", .member = &Settings::countDownPresetMs},
    {.name = "FileName", .member = &Settings::fileName, .absence = Later, .read = ReadProtocolPath,
     .field = ConfigField::ProtocolFile},
    {.name = "Color", .member = &Settings::color, .field = ConfigField::Color},
    {.name = "Fon", .member = &Settings::pictureFile, .absence = Later,
     .field = ConfigField::Picture},
    {.name = "Sound", .member = &Settings::sound},
    {.name = "DayCounter", .member = &Settings::dayCounter, .low = 0, .high = kMostRunsADay},
    {.name = "Date", .absence = Later, .read = ReadDate},
    {.name = "Leader", .member = &Settings::leader, .adjust = OnlyPositive},
    {.name = "Zoom", .member = &Settings::zoom, .low = 0, .high = ZoomSteps - 1},
    {.name = "Port", .member = &Settings::port, .low = 0, .high = 255},
    {.name = "Alg", .member = &Settings::barrierAlgorithm, .low = 0, .high = AlgorithmCount - 1},
    {.name = "Laps", .member = &Settings::laps, .absence = Later, .adjust = NoneBelowZero,
     .field = ConfigField::Laps, .most = 999'999, .caption = "Laps"},
    {.name = "TranspW", .member = &Settings::transparentInBackground, .absence = Later,
     .field = ConfigField::Transparent},
    {.name = "LeaderOn", .member = &Settings::leaderOn, .read = WrittenOnly},
    {.name = "LsCount", .member = &Settings::barrierArrangement, .absence = Later,
     .low = FirstArrangement, .high = LastArrangement, .adjust = ZeroIsDefault},
    {.name = "seLOCK", .member = &Settings::stopLockSeconds, .absence = Later,
     .field = ConfigField::StopLock, .most = 3'600, .caption = "STOP lock"},
    {.name = "Format", .member = &Settings::format, .absence = Later, .low = 0, .high = DisplayFormatCount - 1},
    {.name = "TickCount", .member = &Settings::tickCount, .absence = Later},
    {.name = "HoursOn", .member = &Settings::hoursOn, .absence = Later},
    {.name = "AlarmOn", .member = &Settings::alarmOn, .absence = Later},
    {.name = "Alarm", .member = &Settings::alarm, .absence = Later, .read = ReadAlarmTime},
    {.name = "TickBoot", .member = &Settings::tickBoot, .absence = Later},
    {.name = "TickTime", .member = &Settings::tickTime, .absence = Later},
    {.name = "PortName", .member = &Settings::portName, .absence = Later},
    {.name = "AlarmDue", .member = &Settings::alarmDue, .absence = Later},
    {.name = "MinLap", .member = &Settings::minLap, .absence = Later, .adjust = NoneBelowZero,
     .field = ConfigField::MinLap, .most = 99'999, .caption = "Shortest lap"},
    // Whether the monitor is connected is known only once the windows are there.
    {.name = "Monitor", .member = &Settings::monitor, .absence = Later, .low = -1},
    {.name = "LiveView", .member = &Settings::liveView, .absence = Later},
    {.name = "LivePort", .member = &Settings::livePort, .absence = Later, .low = 1, .high = 65'535},
    {.name = "LiveToken", .member = &Settings::liveToken, .absence = Later},
    {.name = "LiveLocal", .member = &Settings::liveLocalOnly, .absence = Later},
};

// The value as saved.
RegValue Written(const SettingRow& row, const Settings& s, const std::string& today)
{
    return std::visit(
        [&](auto member) {
            if constexpr (std::is_same_v<decltype(member), std::monostate>) {
                return RegValue::Text(today);
            } else {
                const auto& value = s.*member;
                using T = std::remove_cvref_t<decltype(value)>;
                if constexpr (std::is_same_v<T, bool>) return RegValue::Dword(value ? 1 : 0);
                // A window never shown yet has no place of its own; 0 then, as a
                // first exit of a window placed at the screen's corner would write.
                else if constexpr (std::is_same_v<T, std::optional<std::int32_t>>)
                    return RegValue::Dword(value.value_or(0));
                else if constexpr (std::is_same_v<T, std::int64_t>) return BlockValue(value);
                else if constexpr (std::is_same_v<T, double>) return RealValue(value);
                else if constexpr (std::is_same_v<T, std::string>) return RegValue::Text(value);
                else return RegValue::Dword(value);
            }
        },
        row.member);
}

}  // namespace

std::span<const SettingRow> SettingTable()
{
    return Table;
}

std::string LoadReport::Message(std::string_view location) const
{
    if (unread.empty()) return {};
    // The first words are those of the single missing value that older versions reported.
    std::string message = "Failed to get data for ";
    for (std::size_t i = 0; i < unread.size(); ++i) message += (i > 0 ? ", " : "") + unread[i];
    if (!location.empty()) message += " in " + std::string(location);
    message += unread.size() == 1 ? ": it takes its default" : ": they take their defaults";
    if (!held.empty())
        message += held.size() == 1 ? "; the value not understood is kept as stored until you change that setting"
                                    : "; the values not understood are kept as stored until you change those settings";
    return message + ".";
}

LoadReport LoadSettings(const SettingsStore& store, Settings& s, const LoadMoment& moment)
{
    LoadReport report;
    if (!store.Exists()) return report;
    SettingLoader load{store, moment, report};
    for (const SettingRow& row : Table) row.read ? row.read(load, row, s) : load.Plain(row, s);
    for (const SettingRow& row : Table)
        if (const auto held = report.held.find(row.name); held != report.held.end())
            held->second = Written(row, s, moment.today);
    return report;
}

void SaveSettings(SettingsStore& store, const Settings& s, const std::string& today, HeldValues& held)
{
    for (const SettingRow& row : Table) {
        RegValue value = Written(row, s, today);
        if (const auto found = held.find(row.name); found != held.end()) {
            if (found->second == value) continue;  // as loaded: what the store holds stays
            held.erase(found);
        }
        store.Set(row.name, std::move(value));
    }
}

void SaveSettings(SettingsStore& store, const Settings& s, const std::string& today)
{
    HeldValues none;
    SaveSettings(store, s, today, none);
}

}  // namespace chronivel
