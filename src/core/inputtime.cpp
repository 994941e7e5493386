// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/inputtime.h"

#include <cmath>

namespace chronivel {

std::optional<std::int64_t> CounterAtInputEvent(std::uint64_t eventMs, const InputClockReading& now)
{
    if (now.clockMicroseconds < 0) return std::nullopt;
    // Stamps may be the clock's lowest 32 bits only: compare them modulo 2^32,
    // where an age past half the range is a stamp from the future.
    const std::uint32_t nowMs = static_cast<std::uint32_t>(now.clockMicroseconds / 1000);
    const auto ageMs = static_cast<std::int32_t>(nowMs - static_cast<std::uint32_t>(eventMs));
    if (ageMs < 0 || ageMs > MaxInputEventAgeMs) return std::nullopt;
    const std::int64_t ageMicroseconds = std::int64_t{ageMs} * 1000 + now.clockMicroseconds % 1000 - 500;
    if (ageMicroseconds < now.clockStepMicroseconds) return now.counter;
    return now.counter - static_cast<std::int64_t>(std::llround(static_cast<double>(ageMicroseconds) * now.countSpeed));
}

std::optional<std::int64_t> InputEventTimes::CounterAt(std::uint64_t eventMs)
{
    // Read back to back: the two clocks' relation is what counts.
    const std::int64_t clockNow = clock_.NowMicroseconds();
    const std::int64_t counterNow = timer_.ReadCounter();
    return CounterAtInputEvent(eventMs, {clockNow, clock_.StepMicroseconds(), counterNow, timer_.CountSpeed()});
}

}  // namespace chronivel
