// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/configuration.h"

#include <type_traits>

#include "core/protocollog.h"
#include "core/settings.h"
#include "core/timeentry.h"

namespace chronivel {

namespace {

// Calls `each` with the place of every field in Settings and in Configuration.
template <typename Each>
void EachField(Each each)
{
    for (const SettingRow& row : SettingTable())
        if (row.field)
            std::visit(
                [&](auto field) {
                    using T = std::remove_cvref_t<decltype(std::declval<Configuration>().*field)>;
                    each(std::get<T Settings::*>(row.member), field);
                },
                row.field->member);
}

}  // namespace

std::int32_t FieldMost(ConfigField field)
{
    for (const SettingRow& row : SettingTable())
        if (row.field && row.field->id == field) return row.field->most;
    return 0;
}

Configuration ConfigurationOf(const Settings& settings)
{
    Configuration configuration;
    EachField([&](auto setting, auto field) { configuration.*field = settings.*setting; });
    return configuration;
}

void TakeConfiguration(const Configuration& configuration, Settings& settings)
{
    EachField([&](auto setting, auto field) { settings.*setting = configuration.*field; });
}

CheckedConfiguration CheckConfiguration(const Configuration& wanted, const Configuration& shown,
                                        const TimeFormat& format, const ProtocolLog& protocol)
{
    CheckedConfiguration checked;
    Refusal& refusal = checked.refusal;
    for (const SettingRow& row : SettingTable()) {
        if (!row.field || row.field->most == 0) continue;
        const std::int32_t value = wanted.*std::get<std::int32_t Configuration::*>(row.field->member);
        if (value < 0 || value > row.field->most) {
            refusal = {row.field->id, std::string(row.field->caption) + ": " + std::to_string(value) +
                                          " is not within 0 to " + std::to_string(row.field->most) + "."};
            return checked;
        }
    }
    if (wanted.protocolPath.empty()) {
        refusal = {ConfigField::ProtocolFile,
                   "Protocol file: enter the file's name. Without one, finished runs would not be recorded."};
    } else if (const std::string reason = protocol.WriteProblem(wanted.protocolPath); !reason.empty()) {
        refusal = {ConfigField::ProtocolFile, "Protocol file: runs cannot be written to \"" + wanted.protocolPath +
                                                  "\". " + reason + "\nChoose a file in a folder you can write to."};
    } else if (wanted.countDown != shown.countDown) {
        const TimeEntry entry = ParseTimeEntry(wanted.countDown, format);
        if (entry.problem.empty())
            checked.countDownMs = entry.ms;
        else
            refusal = {ConfigField::Timer, "Timer: " + entry.problem + "."};
    }
    return checked;
}

}  // namespace chronivel
