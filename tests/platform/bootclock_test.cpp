// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/bootclock.h"

#include <gtest/gtest.h>

#include "platform/systemtimerplatform.h"

namespace chronivel {
namespace {

TEST(BootClock, NamesTheBootTheSameWayEachTime)
{
    const std::string id = CurrentBootId();
    EXPECT_FALSE(id.empty());
    EXPECT_EQ(CurrentBootId(), id);
}

TEST(BootClock, CounterLeavesRoomForRunsOlderThanTheBoot)
{
    const auto platform = MakeSystemTimerPlatform();
    // A run a year old, on a machine booted a minute ago, still starts at a positive count.
    const std::int64_t aYear = 365LL * 86'400 * platform->PerformanceFrequency();
    EXPECT_GT(platform->PerformanceCounter() - aYear, 0);
}

}  // namespace
}  // namespace chronivel
