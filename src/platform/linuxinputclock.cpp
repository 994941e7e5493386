// SPDX-License-Identifier: GPL-3.0-or-later
// The X server stamps its events with CLOCK_MONOTONIC in milliseconds.
#include <ctime>

#include "platform/systeminputclock.h"

namespace chronivel {
namespace {

class MonotonicInputClock final : public InputEventClock {
public:
    std::int64_t NowMicroseconds() override
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1000;
    }
    std::int64_t StepMicroseconds() override { return 1000; }
};

}  // namespace

std::unique_ptr<InputEventClock> MakeSystemInputEventClock()
{
    return std::make_unique<MonotonicInputClock>();
}

}  // namespace chronivel
