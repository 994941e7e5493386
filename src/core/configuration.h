// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "core/timetext.h"

namespace chronivel {

class ProtocolLog;
struct Settings;

// The configuration dialog's fields, by which a refusal names the one at fault.
enum class ConfigField { None, Transparent, ProtocolFile, Picture, Color, Laps, StopLock, MinLap, Timer };

// The settings the configuration dialog edits, as its fields show them.
struct Configuration {
    bool transparent = true;  // the main window turns translucent in the background
    std::string protocolPath;
    std::int32_t color = 0;  // the face's colour, 0x00BBGGRR; 0 = none: the picture, else the built-in face
    std::string picture;     // the face's picture when there is no colour; empty = the built-in face
    std::int32_t laps = 0;   // light-barrier laps a run takes; 0 = unlimited
    std::int32_t minLapMs = 0;     // light-barrier laps sooner than this after the last are ignored; 0 = off
    std::int32_t lockSeconds = 0;  // STOP waits this long after a start; 0 = at once
    std::string countDown;         // the countdown preset as TimeEntryText writes it

    friend bool operator==(const Configuration&, const Configuration&) = default;
};

// Where a field keeps its value in a Configuration.
using ConfigMember = std::variant<bool Configuration::*, std::int32_t Configuration::*, std::string Configuration::*>;

// What is wrong with a configuration, in words that begin with the field's
// caption, and the field; no words when nothing is.
struct Refusal {
    ConfigField field = ConfigField::None;
    std::string words;
};

// A configuration checked: the countdown preset it gives, or the refusal.
struct CheckedConfiguration {
    Refusal refusal;
    // Nullopt when the preset's text is the one `shown` had: the preset stays
    // as it is, to the millisecond, whatever the format shows of it.
    std::optional<std::int32_t> countDownMs;
};

// Checks `wanted` against its fields' limits, the format's time entry and the
// protocol file: an empty path, or one where a run could not be appended,
// is refused now rather than found out at the end of the next run.
CheckedConfiguration CheckConfiguration(const Configuration& wanted, const Configuration& shown,
                                        const TimeFormat& format, const ProtocolLog& protocol);

// A number field's largest value; its least is 0.
std::int32_t FieldMost(ConfigField field);

// The fields' values from the settings, and back; the countdown preset's
// text depends on the display format, and is the model's to fill and take.
Configuration ConfigurationOf(const Settings& settings);
void TakeConfiguration(const Configuration& configuration, Settings& settings);

}  // namespace chronivel
