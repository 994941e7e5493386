// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"

#include "core/alarmclock.h"
#include "core/displayformat.h"
#include "core/lightbarriers.h"
#include "core/runnumbers.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace chronivel {

namespace {

// Whether an absent value is news: every version writes the main values,
// the later-added ones are absent from an older version's store.
enum class Absence { Reported, Expected };

// Reads each value on its own and notes those it cannot use.
class ValueReader {
public:
    ValueReader(const SettingsStore& store, LoadReport& report) : store_(store), report_(report) {}

    // The value as `read` gives it, or nothing when absent or of another type.
    template <typename Read>
    auto Get(std::string_view name, Read read, Absence absence = Absence::Reported)
        -> std::optional<decltype(read(std::declval<const SettingsStore&>(), name))>
    {
        if (!store_.Get(name)) {
            if (absence == Absence::Reported) Note(name, "missing", false);
            return std::nullopt;
        }
        try {
            return read(store_, name);
        } catch (const SettingsError&) {
            Note(name, "wrong type", true);
            return std::nullopt;
        }
    }

    // Sets `target` from the value when it can be read.
    template <typename T, typename Read>
    void Into(T& target, std::string_view name, Read read, Absence absence = Absence::Reported)
    {
        if (auto value = Get(name, read, absence)) target = std::move(*value);
    }

    // An integer the program writes only within low..high; one outside came
    // from damage, a hand edit or a later version, and is not used.
    // Whether it was used.
    bool InRange(std::int32_t& target, std::string_view name, std::int32_t low, std::int32_t high,
                 Absence absence = Absence::Reported)
    {
        const std::optional<std::int32_t> value = Get(name, ReadInteger, absence);
        return value && Ranged(target, name, *value, low, high);
    }
    void AtLeast(std::int32_t& target, std::string_view name, std::int32_t low, Absence absence)
    {
        if (const std::optional<std::int32_t> value = Get(name, ReadInteger, absence)) {
            if (*value >= low)
                target = *value;
            else
                Note(name, std::to_string(*value) + ", less than " + std::to_string(low), true);
        }
    }
    bool Ranged(std::int32_t& target, std::string_view name, std::int32_t value, std::int32_t low, std::int32_t high)
    {
        if (value >= low && value <= high) {
            target = value;
            return true;
        }
        Note(name, std::to_string(value) + ", not " + std::to_string(low) + " to " + std::to_string(high), true);
        return false;
    }

    // A time of day as a fraction of a day, 0 <= t < 1; false when absent or
    // not one (then `target` takes `damaged`, unless absent).
    bool TimeOfDay(double& target, std::string_view name, double damaged, Absence absence)
    {
        const std::optional<double> value = Get(name, ReadReal, absence);
        if (!value) return false;
        if (*value >= 0.0 && *value < 1.0) {  // false for a NaN too
            target = *value;
            return true;
        }
        target = damaged;
        Note(name, std::isnan(*value) ? "not a number" : std::to_string(*value) + ", not a time of day", true);
        return false;
    }

    // Names of the values found but not understood.
    const std::set<std::string, std::less<>>& Held() const { return held_; }
    void Release(std::string_view name)
    {
        if (const auto found = held_.find(name); found != held_.end()) held_.erase(found);
    }

private:
    void Note(std::string_view name, const std::string& why, bool found)
    {
        std::string text = "'";
        text.append(name).append("' (").append(why).append(")");
        report_.unread.push_back(std::move(text));
        if (found) held_.emplace(name);
    }

    const SettingsStore& store_;
    LoadReport& report_;
    std::set<std::string, std::less<>> held_;
};

std::int64_t Block(const SettingsStore& store, std::string_view name)
{
    std::int64_t value = 0;
    ReadBlock(store, name, value);
    return value;
}

// Returns whether the count of the day's runs was read.
bool LoadMainValues(ValueReader& read, Settings& s, const LoadMoment& moment)
{
    read.Into(s.left, "Left", ReadInteger);
    read.Into(s.top, "Top", ReadInteger);
    read.Into(s.countDown, "CountDown", ReadFlag);
    read.Into(s.countDownT, "CountDownT", ReadInteger);
    // An absent text reads as empty, and an empty name keeps the default.
    if (auto fileName = read.Get("FileName", ReadText, Absence::Expected); fileName && !fileName->empty())
        s.fileName = std::move(*fileName);
    read.Into(s.color, "Color", ReadInteger);
    read.Into(s.fon, "Fon", ReadText, Absence::Expected);
    read.Into(s.sound, "Sound", ReadFlag);
    const bool counted = read.InRange(s.dayCounter, "DayCounter", 0, kMostRunsADay);
    const std::optional<std::string> date = read.Get("Date", ReadText, Absence::Expected);
    // A new day numbers its runs from 1; so does a day that cannot be read.
    if (date.value_or("") != moment.today) s.dayCounter = 0;
    // The date is always written anew: it belongs to the counter as saved.
    read.Release("Date");
    if (const std::optional<std::int32_t> leader = read.Get("Leader", ReadInteger))
        s.leader = *leader > 0 ? *leader : BestTime::None;
    read.InRange(s.zoom, "Zoom", 0, 4);
    read.InRange(s.port, "Port", 0, 255);
    read.InRange(s.alg, "Alg", 0, AlgorithmCount - 1);
    return counted && date;
}

void LoadLaterValues(ValueReader& read, Settings& s)
{
    constexpr Absence Optional = Absence::Expected;
    read.Into(s.laps, "Laps", ReadInteger, Optional);
    read.Into(s.transpW, "TranspW", ReadFlag, Optional);
    // 0 is what the arrangement's first versions wrote for the default.
    if (const std::optional<std::int32_t> lsCount = read.Get("LsCount", ReadInteger, Optional)) {
        if (*lsCount == 0)
            s.lsCount = 2;
        else
            read.Ranged(s.lsCount, "LsCount", *lsCount, FirstArrangement, LastArrangement);
    }
    read.Into(s.seLOCK, "seLOCK", ReadInteger, Optional);
    read.InRange(s.format, "Format", 0, DisplayFormatCount - 1, Optional);
    read.Into(s.tickCount, "TickCount", Block, Optional);
    read.Into(s.hoursOn, "HoursOn", ReadFlag, Optional);
    const std::optional<bool> armed = read.Get("AlarmOn", ReadFlag, Optional);
    // An alarm without a usable time stays off.
    s.alarmOn = armed.value_or(false) && read.TimeOfDay(s.alarm, "Alarm", AlarmClock::DefaultTime, Optional);
    read.Into(s.tickBoot, "TickBoot", ReadText, Optional);
    read.Into(s.tickTime, "TickTime", Block, Optional);
    read.Into(s.portName, "PortName", ReadText, Optional);
    read.Into(s.alarmDue, "AlarmDue", Block, Optional);
    if (const std::optional<std::int32_t> minLap = read.Get("MinLap", ReadInteger, Optional))
        s.minLap = std::max(*minLap, 0);  // a negative minimum is none
    // Whether the monitor is connected is known only once the windows are there.
    read.AtLeast(s.monitor, "Monitor", -1, Optional);
}

// Every value as saved, in the fixed order of writing.
std::vector<std::pair<std::string_view, RegValue>> StoredValues(const Settings& s, const std::string& today)
{
    const auto flag = [](bool on) { return RegValue::Dword(on ? 1 : 0); };
    // A window never shown yet has no place of its own; 0 then, as a
    // first exit of a window placed at the screen's corner would write.
    return {
        {"Left", RegValue::Dword(s.left.value_or(0))},
        {"Top", RegValue::Dword(s.top.value_or(0))},
        {"CountDown", flag(s.countDown)},
        {"CountDownT", RegValue::Dword(s.countDownT)},
        {"FileName", RegValue::Text(s.fileName)},
        {"Color", RegValue::Dword(s.color)},
        {"Fon", RegValue::Text(s.fon)},
        {"Sound", flag(s.sound)},
        {"DayCounter", RegValue::Dword(s.dayCounter)},
        {"Date", RegValue::Text(today)},
        {"Leader", RegValue::Dword(s.leader)},
        {"Zoom", RegValue::Dword(s.zoom)},
        {"Port", RegValue::Dword(s.port)},
        {"Alg", RegValue::Dword(s.alg)},
        {"Laps", RegValue::Dword(s.laps)},
        {"TranspW", flag(s.transpW)},
        {"LeaderOn", flag(s.leaderOn)},
        {"LsCount", RegValue::Dword(s.lsCount)},
        {"seLOCK", RegValue::Dword(s.seLOCK)},
        {"Format", RegValue::Dword(s.format)},
        {"TickCount", BlockValue(s.tickCount)},
        {"HoursOn", flag(s.hoursOn)},
        {"AlarmOn", flag(s.alarmOn)},
        {"Alarm", RealValue(s.alarm)},
        {"TickBoot", RegValue::Text(s.tickBoot)},
        {"TickTime", BlockValue(s.tickTime)},
        {"PortName", RegValue::Text(s.portName)},
        {"AlarmDue", BlockValue(s.alarmDue)},
        {"MinLap", RegValue::Dword(s.minLap)},
        {"Monitor", RegValue::Dword(s.monitor)},
    };
}

}  // namespace

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
    ValueReader read(store, report);
    report.dayCounterKnown = LoadMainValues(read, s, moment);
    LoadLaterValues(read, s);
    for (auto& [name, value] : StoredValues(s, moment.today))
        if (read.Held().contains(name)) report.held.emplace(name, std::move(value));
    return report;
}

void SaveSettings(SettingsStore& store, const Settings& s, const std::string& today, HeldValues& held)
{
    for (auto& [name, value] : StoredValues(s, today)) {
        if (const auto found = held.find(name); found != held.end()) {
            if (found->second == value) continue;  // as loaded: what the store holds stays
            held.erase(found);
        }
        store.Set(name, std::move(value));
    }
}

void SaveSettings(SettingsStore& store, const Settings& s, const std::string& today)
{
    HeldValues none;
    SaveSettings(store, s, today, none);
}

}  // namespace chronivel
