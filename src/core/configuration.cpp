// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/configuration.h"

#include "core/protocollog.h"
#include "core/settings.h"
#include "core/timeentry.h"

namespace chronivel {

std::int32_t FieldMost(ConfigField field)
{
    for (const SettingRow& row : SettingTable())
        if (row.field == field) return row.most;
    return 0;
}

CheckedConfiguration CheckConfiguration(const Configuration& wanted, const Configuration& shown,
                                        const TimeFormat& format, const ProtocolLog& protocol)
{
    CheckedConfiguration checked;
    Refusal& refusal = checked.refusal;
    for (const SettingRow& row : SettingTable()) {
        if (row.most == 0) continue;
        const std::int32_t value = wanted.*std::get<std::int32_t Configurable::*>(row.member);
        if (value < 0 || value > row.most) {
            refusal = {row.field, std::string(row.caption) + ": " + std::to_string(value) + " is not within 0 to " +
                                      std::to_string(row.most) + "."};
            return checked;
        }
    }
    if (wanted.fileName.empty()) {
        refusal = {ConfigField::ProtocolFile,
                   "Protocol file: enter the file's name. Without one, finished runs would not be recorded."};
    } else if (const std::string reason = protocol.WriteProblem(wanted.fileName); !reason.empty()) {
        refusal = {ConfigField::ProtocolFile, "Protocol file: runs cannot be written to \"" + wanted.fileName +
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
