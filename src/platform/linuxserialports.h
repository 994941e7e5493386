// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Linux serial adapter works out from readings of the modem lines:
// which lines an event mask watches, and the edges between two readings.
#include <sys/ioctl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/serialline.h"

namespace chronivel::linuxserial {

// The four input lines as the kernel names them (TIOCM_ bits) and as the
// component does (ev:: and ms:: bits).
struct InputLine {
    std::uint32_t event;
    int tiocm;
    std::uint32_t status;
};
inline constexpr std::array<InputLine, 4> InputLines{{
    {ev::Cts, TIOCM_CTS, ms::CtsOn},
    {ev::Dsr, TIOCM_DSR, ms::DsrOn},
    {ev::Ring, TIOCM_RI, ms::RingOn},
    {ev::Rlsd, TIOCM_CD, ms::RlsdOn},
}};

// One reading of the lines: their levels and, where the driver counts them
// (TIOCGICOUNT), how many transitions each has made, in InputLines order.
struct LineReading {
    int levels = 0;  // TIOCM_ bits
    std::array<std::uint32_t, 4> transitions{};
    bool counted = false;
};

// More transitions of one line than this between two readings are contact
// bounce, not timing events; the rest is dropped, keeping the final level.
inline constexpr std::uint32_t MaxEdgesPerWake = 32;

// TIOCM_ levels -> ms:: bits.
inline std::uint32_t StatusOf(int levels)
{
    std::uint32_t status = 0;
    for (const InputLine& line : InputLines)
        if (levels & line.tiocm) status |= line.status;
    return status;
}

// The ev:: bits of the input lines in a mask.
inline std::uint32_t LineEvents(std::uint32_t eventMask)
{
    std::uint32_t events = 0;
    for (const InputLine& line : InputLines) events |= eventMask & line.event;
    return events;
}

// ev:: bits -> TIOCM_ bits of the input lines they watch.
inline int WatchedLines(std::uint32_t eventMask)
{
    int lines = 0;
    for (const InputLine& line : InputLines)
        if (eventMask & line.event) lines |= line.tiocm;
    return lines;
}

// Whether a watched line moved between two readings.
inline bool Moved(const LineReading& before, const LineReading& now, std::uint32_t eventMask)
{
    const bool counted = before.counted && now.counted;
    for (std::size_t i = 0; i < InputLines.size(); ++i) {
        if (!(eventMask & InputLines[i].event)) continue;
        if ((before.levels ^ now.levels) & InputLines[i].tiocm) return true;
        if (counted && before.transitions[i] != now.transitions[i]) return true;
    }
    return false;
}

// The edges between two readings, one batch each, all stamped `counter`.
// Lines that changed together share the first batch; a line that toggled
// more often than the levels show gets its missed edges as further batches.
inline std::vector<ComEventBatch> EdgesBetween(const LineReading& before, const LineReading& now,
                                               std::uint32_t eventMask, std::int64_t counter)
{
    const bool counted = before.counted && now.counted;
    std::array<std::uint32_t, 4> toggles{};
    std::uint32_t rounds = 0;
    for (std::size_t i = 0; i < InputLines.size(); ++i) {
        if (!(eventMask & InputLines[i].event)) continue;
        const bool changed = ((before.levels ^ now.levels) & InputLines[i].tiocm) != 0;
        // Counters wrap; the difference of the unsigned values still holds.
        std::uint32_t n = counted ? std::min(now.transitions[i] - before.transitions[i], MaxEdgesPerWake) : 0;
        // The count and the levels must agree on whether the line ended where
        // it began; where they do not (a driver counting only ring trailing
        // edges, or no count at all) the edge the levels prove is added.
        if ((n % 2 == 1) != changed) ++n;
        toggles[i] = n;
        rounds = std::max(rounds, n);
    }
    const int watched = WatchedLines(eventMask);
    int levels = (before.levels & watched) | (now.levels & ~watched);
    std::vector<ComEventBatch> batches;
    batches.reserve(rounds);
    for (std::uint32_t round = 0; round < rounds; ++round) {
        ComEventBatch batch;
        batch.counter = counter;
        for (std::size_t i = 0; i < InputLines.size(); ++i) {
            if (toggles[i] <= round) continue;
            levels ^= InputLines[i].tiocm;
            batch.events |= InputLines[i].event;
        }
        batch.status = StatusOf(levels);
        batches.push_back(batch);
    }
    return batches;
}

// The link in `byIdDir` that names the same node as `device`, which stays
// with a USB adapter when it is plugged in again under another node name;
// `device` itself where there is none (a built-in port, a pseudo-terminal).
std::string PersistentName(const std::string& device, const std::string& byIdDir = "/dev/serial/by-id");

// The serial ports under `sysClassTty` that have a device behind them, each
// by its name in `devDir` and, as its device, its persistent name.
std::vector<FoundPort> FindPorts(const std::string& sysClassTty = "/sys/class/tty",
                                 const std::string& devDir = "/dev",
                                 const std::string& byIdDir = "/dev/serial/by-id");

}  // namespace chronivel::linuxserial
