// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/rundetails.h"
#include "core/settings.h"
#include "core/settingsstore.h"

namespace chronivel {

// A run in progress is kept as the counter reading at its start. The counter
// starts again when the machine boots, so the run's start is also kept on the
// wall clock, with the identity of the boot the reading belongs to.

// The wall-clock time (ms since 1970) at which a run that began at `startCount` began.
std::int64_t WallClockStart(std::int64_t startCount, std::int64_t nowCounter, double countSpeed,
                            std::int64_t nowWallMs);

// The start count with which to resume the stored run on this boot; 0 when
// there is no run. On the boot that stored it, the stored count itself; after
// a reboot, the counter reading that lies as far back as the wall clock says
// the run began. Settings from before the wall clock was kept give the
// stored count, as they always did.
std::int64_t ResumeStartCount(const Settings& stored, std::string_view currentBoot, std::int64_t nowCounter,
                              double countSpeed, std::int64_t nowWallMs);

// Empty when the stored run can be a run of this machine; otherwise why it
// cannot, for the user: a start count ahead of the counter, or a run older by
// the counter than its wall-clock start "TickTime" allows. Only a count that
// would be used as it is (on the boot that stored it) is judged.
// `startTimeKept`: the settings come from a version that keeps "TickTime",
// so a run without it is damage, not an older version's run.
std::string DamagedRun(const Settings& stored, bool startTimeKept, std::string_view currentBoot,
                       std::int64_t nowCounter, double countSpeed, std::int64_t nowWallMs);

// What the settings keep of runs beside "TickCount": the rest of the run in
// progress, and the finished runs that the protocol file has not taken yet,
// oldest first. Each value is read on its own; one that is absent or of
// another type leaves its part empty, as settings from before it do.
struct StoredRuns {
    RunDetails run;
    std::vector<std::vector<std::string>> pending;

    friend bool operator==(const StoredRuns&, const StoredRuns&) = default;
};

StoredRuns LoadRuns(const SettingsStore& store);
// A "PendingRuns" that is no text cannot be read, and the next save writes
// over it: the store keeps its bytes aside, and `report` tells it, with where.
void KeepUnreadableRuns(SettingsStore& store, LoadReport& report);
// How many runs of the day `shortDate` there were, where the settings lost
// that count: as many as the highest number of the day's runs in the protocol
// (`protocolHighest`) or among the runs kept unwritten, and one fewer than
// the run in progress has, whose number it was given at its start.
std::int32_t DayRunsCounted(const StoredRuns& runs, std::string_view shortDate, std::int32_t protocolHighest);
// Whether the settings come from a version that keeps a run's wall-clock start.
bool KeepsStartTime(const SettingsStore& store);
void SaveRuns(SettingsStore& store, const StoredRuns& runs);

}  // namespace chronivel
