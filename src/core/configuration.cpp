// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/configuration.h"

#include "core/protocollog.h"
#include "core/timeentry.h"

namespace chronivel {

namespace {

std::string OutOfRange(const char* field, std::int32_t value, std::int32_t max)
{
    return std::string(field) + ": " + std::to_string(value) + " is not within 0 to " + std::to_string(max) + ".";
}

}  // namespace

CheckedConfiguration CheckConfiguration(const Configuration& wanted, const Configuration& shown,
                                        const TimeFormat& format, const ProtocolLog& protocol)
{
    CheckedConfiguration checked;
    std::string& problem = checked.problem;
    if (wanted.laps < 0 || wanted.laps > Configuration::MaxLaps) {
        problem = OutOfRange("Laps", wanted.laps, Configuration::MaxLaps);
    } else if (wanted.minLapMs < 0 || wanted.minLapMs > Configuration::MaxMinLapMs) {
        problem = OutOfRange("Shortest lap", wanted.minLapMs, Configuration::MaxMinLapMs);
    } else if (wanted.lockSeconds < 0 || wanted.lockSeconds > Configuration::MaxLockSeconds) {
        problem = OutOfRange("STOP lock", wanted.lockSeconds, Configuration::MaxLockSeconds);
    } else if (wanted.protocolPath.empty()) {
        problem = "Protocol file: enter the file's name. Without one, finished runs would not be recorded.";
    } else if (const std::string reason = protocol.WriteProblem(wanted.protocolPath); !reason.empty()) {
        problem = "Protocol file: runs cannot be written to \"" + wanted.protocolPath + "\". " + reason +
                  "\nChoose a file in a folder you can write to.";
    } else if (wanted.countDown != shown.countDown) {
        const TimeEntry entry = ParseTimeEntry(wanted.countDown, format);
        if (entry.problem.empty())
            checked.countDownMs = entry.ms;
        else
            problem = "Timer: " + entry.problem + ".";
    }
    return checked;
}

}  // namespace chronivel
