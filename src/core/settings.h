// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/besttime.h"
#include "core/configuration.h"
#include "core/settingsstore.h"

namespace chronivel {

// Everything the program keeps between runs, as stored in its settings key.
// The defaults are those of a first start.
struct Settings : Configurable {
    std::optional<std::int32_t> left;  // absent: the system places the window
    std::optional<std::int32_t> top;
    bool countDown = false;
    std::int32_t countDownPresetMs = 60'000;
    bool sound = true;
    std::int32_t dayCounter = 0;
    std::int32_t leader = BestTime::None;
    std::int32_t zoom = 0;
    std::int32_t port = 0;
    std::int32_t barrierAlgorithm = 0;
    bool leaderOn = true;
    std::int32_t barrierArrangement = 2;
    std::int32_t format = 0;
    std::int64_t tickCount = 0;  // start count of the run in progress, 0 = none
    bool hoursOn = true;
    bool alarmOn = false;        // armed
    double alarm = 0.0;          // time of day as a fraction of a day

    // Where a run in progress began, so that it survives a reboot of the
    // machine, which starts the counter of `tickCount` again.
    std::string tickBoot;        // identity of the boot the count belongs to
    std::int64_t tickTime = 0;   // wall-clock start, ms since 1970; 0 = unknown

    // The light barriers' port by its device path, so that it is found again
    // when an adapter comes back under another number; empty = by "Port".
    std::string portName;
    // When the armed alarm is due, ms since 1970, so that an alarm for
    // tomorrow, or one missed while the program was closed, is known; 0 = none
    // (an earlier version's alarm is due today if its time is still to come).
    std::int64_t alarmDue = 0;
    // The monitor of the large second readout, 0 = the primary; -1 = off.
    std::int32_t monitor = -1;
    // The live view on the local network: whether it serves, on which port,
    // under which secret path (empty: a new one when it is turned on), and
    // whether to this computer only.
    bool liveView = false;
    std::int32_t livePort = 8765;
    std::string liveToken;
    bool liveLocalOnly = false;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// What loading compares with: today's date as the user's locale writes it short.
struct LoadMoment {
    std::string today;
};

// Values found in the store but not understood (of another type, or outside
// what the program writes), by name, each with what its setting would be
// written as right after the load. Until the setting changes, a save leaves
// the stored value as it is: it may be a later version's, or a hand edit the
// user will want to see again.
using HeldValues = std::map<std::string, RegValue, std::less<>>;

// What loading could not use.
struct LoadReport {
    // Each value in words, in the order read: "'Color' (missing)".
    std::vector<std::string> unread;
    HeldValues held;
    // Whether the count of the day's runs was read: "DayCounter" in its range
    // with the "Date" it belongs to. Where it was not (damaged, missing, no
    // settings at all), the day's runs in the protocol tell it.
    bool dayCounterKnown = false;

    // The one message naming every unread value and where they live
    // (`location` may be empty); empty when every value was read.
    std::string Message(std::string_view location) const;
};

// Whether an absent value is news: every version writes the main values,
// the later-added ones are absent from an older version's store.
enum class Absence { Reported, Expected };

struct SettingLoader;

// One stored value, declared once: loading, saving and the configuration
// dialog follow it. Its place in Settings tells its stored type: an integer,
// a flag, an 8-byte block, a real or a text; none is the date the count of
// the day's runs belongs to, written as today. A place in Configurable is a
// field of the dialog too.
struct SettingRow {
    std::string_view name;
    std::variant<std::monostate, std::int32_t Settings::*, std::optional<std::int32_t> Settings::*, bool Settings::*,
                 std::int64_t Settings::*, double Settings::*, std::string Settings::*, bool Configurable::*,
                 std::int32_t Configurable::*, std::string Configurable::*>
        member = {};
    Absence absence = Absence::Reported;
    // An integer outside what the program writes came from damage, a hand
    // edit or a later version, and is not used.
    std::int32_t low = std::numeric_limits<std::int32_t>::min();
    std::int32_t high = std::numeric_limits<std::int32_t>::max();
    // What the program means by the integer as read, before the range check.
    std::int32_t (*adjust)(std::int32_t) = nullptr;
    // A reading of its own instead of the plain one.
    void (*read)(SettingLoader&, const SettingRow&, Settings&) = nullptr;
    ConfigField field = ConfigField::None;
    std::int32_t most = 0;     // a number field's largest; 0 for the others
    const char* caption = "";  // how a refusal of a number field names it
};

// Every stored value, in the fixed order of writing.
std::span<const SettingRow> SettingTable();

// Fills `settings` from the store, each value on its own: one that is absent
// or not understood leaves its setting as `settings` held it (the default),
// and the others are still read. Values every version writes are reported
// when absent; those added later may be absent from an older version's store.
LoadReport LoadSettings(const SettingsStore& store, Settings& settings, const LoadMoment& moment);

// Writes every value, in a fixed order; `today` goes in as the counter's date.
// A held value whose setting is as loaded is left as stored; one whose
// setting changed is written and held no longer.
void SaveSettings(SettingsStore& store, const Settings& settings, const std::string& today, HeldValues& held);
// The same with nothing held: every value is written.
void SaveSettings(SettingsStore& store, const Settings& settings, const std::string& today);

}  // namespace chronivel
