// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "core/configuration.h"
#include "core/settings.h"

namespace chronivel {

// Whether an absent value is news: every version writes the main values,
// the later-added ones are absent from an older version's store.
enum class Absence { Reported, Expected };

// The integers the program writes; one outside came from damage, a hand
// edit or a later version, and is not used.
struct Range {
    std::int32_t low = std::numeric_limits<std::int32_t>::min();
    std::int32_t high = std::numeric_limits<std::int32_t>::max();
};

// A setting's place in Settings, which tells its stored type: an integer
// (a place that may be unknown too), a flag, an 8-byte block, a real, a
// text. None: the date the count of the day's runs belongs to, written as today.
using SettingMember = std::variant<std::monostate, std::int32_t Settings::*, std::optional<std::int32_t> Settings::*,
                                   bool Settings::*, std::int64_t Settings::*, double Settings::*,
                                   std::string Settings::*>;

// The configuration dialog's field of a setting, of the setting's type.
struct FieldLink {
    ConfigField id = ConfigField::None;
    ConfigMember member;
    std::int32_t most = 0;     // a number's largest; 0 for the others
    const char* caption = "";  // how a refusal of a number names it
};

class SettingLoader;

// One stored value, declared once: loading, saving and the configuration
// dialog follow it.
struct SettingRow {
    std::string_view name;
    SettingMember member = {};
    Absence absence = Absence::Reported;
    Range range = {};
    // What the program means by the integer as read, before the range check.
    std::int32_t (*adjust)(std::int32_t) = nullptr;
    // A reading of its own instead of the plain one.
    void (*read)(SettingLoader&, Settings&) = nullptr;
    std::optional<FieldLink> field = std::nullopt;
};

// Every stored value, in the fixed order of writing.
std::span<const SettingRow> SettingTable();

}  // namespace chronivel
