#include "core/runpersistence.h"

#include <algorithm>
#include <cmath>

#include "core/highrestimer.h"

namespace chronivel {

std::int64_t WallClockStart(std::int64_t startCount, std::int64_t nowCounter, double countSpeed,
                            std::int64_t nowWallMs)
{
    return nowWallMs - CountsToMilliseconds(nowCounter - startCount, countSpeed);
}

std::int64_t ResumeStartCount(const Settings& stored, std::string_view currentBoot, std::int64_t nowCounter,
                              double countSpeed, std::int64_t nowWallMs)
{
    if (stored.tickCount <= 0) return 0;
    if (stored.tickBoot.empty() || stored.tickTime == 0 || stored.tickBoot == currentBoot) return stored.tickCount;
    // A wall clock set back while the machine was off cannot make the run younger than nothing.
    const std::int64_t elapsedMs = std::max<std::int64_t>(0, nowWallMs - stored.tickTime);
    const auto elapsedCounts = static_cast<std::int64_t>(std::llround(static_cast<double>(elapsedMs) * 1000.0 * countSpeed));
    return std::max<std::int64_t>(1, nowCounter - elapsedCounts);
}

}  // namespace chronivel
