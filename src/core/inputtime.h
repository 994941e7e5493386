// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "core/highrestimer.h"

namespace chronivel {

// The clock with which the window system stamps keyboard and mouse events:
// on X11 the server's milliseconds, which on Linux are CLOCK_MONOTONIC's; on
// Windows a message's time, GetTickCount's milliseconds.
class InputEventClock {
public:
    virtual ~InputEventClock() = default;
    // That clock now, in microseconds. Events carry its milliseconds, or only
    // their lowest 32 bits (X11 and Windows stamps wrap after 49.7 days).
    virtual std::int64_t NowMicroseconds() = 0;
    // The clock's smallest step, in microseconds: 1 ms for X11's stamps, the
    // system tick (about 16 ms) on Windows.
    virtual std::int64_t StepMicroseconds() = 0;
};

// How old an input event's stamp may be and still be believed. Longer than
// any stall of the program itself (opening a 20 MB protocol took 2.8 s on a
// quiet machine, 12 to 15 s on a loaded one), short enough that a stamp on
// another clock than the assumed one (a remote X server's, say) passes only
// once in about 70,000.
inline constexpr std::int64_t MaxInputEventAgeMs = 60'000;

// The event clock and the counter, read together.
struct InputClockReading {
    std::int64_t clockMicroseconds;
    std::int64_t clockStepMicroseconds;
    std::int64_t counter;
    double countSpeed;  // counts a microsecond
};

// The counter reading at which an input event stamped `eventMs` happened;
// none where the stamp is not plausible: in the future of the event clock,
// or older than MaxInputEventAgeMs. The stamp is the millisecond in which
// the event came, taken at its middle. An event less than a step of the
// clock ago cannot be told from one now: it counts as now.
std::optional<std::int64_t> CounterAtInputEvent(std::uint64_t eventMs, const InputClockReading& now);

// Input event stamps on the time source's counter: reads the event clock and
// the counter now, and applies CounterAtInputEvent.
class InputEventTimes {
public:
    InputEventTimes(THighResTimer& timer, InputEventClock& clock) : timer_(timer), clock_(clock) {}

    std::optional<std::int64_t> CounterAt(std::uint64_t eventMs);

private:
    THighResTimer& timer_;
    InputEventClock& clock_;
};

}  // namespace chronivel
