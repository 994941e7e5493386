#pragma once

#include <cstdint>
#include <string_view>

#include "core/settings.h"

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

}  // namespace chronivel
