// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/runstate.h"

namespace chronivel {

// What an edge of a light barrier asks of the chronometer.
enum class BarrierCommand {
    None,
    Stop,   // the start/stop command, given only while a run is running
    Start,  // the start/stop command, given only while the chronometer is ready
    Lap,    // the lap command
    Pause,  // pause or continue
};

// The state of the window that the rules look at, at the time of the edge.
struct BarrierContext {
    RunState runState = RunState::Ready;
    bool lapEnabled = false;     // the lap button
    bool pauseEnabled = false;   // the pause button (off while the window is in the background)
    bool lockRunning = false;    // the stop lock after a start
    std::uint64_t run = 0;       // which run is going; barrier laps are counted per run
    std::int64_t sinceLastLapMs = 0;  // of the run, at the edge
};

// Turns line changes of the serial port into commands. Barriers hang on the
// port's modem lines: CTS (pins 7 + 8) stops, DCD (4 + 1) takes laps or, in
// the toggle arrangement, pauses, DSR (4 + 6) starts, and with one barrier
// alone (arrangement 1) also stops. The algorithm says which edge counts:
// even ones the line going on, odd ones it going off.
class LightBarriers {
public:
    static constexpr std::uint32_t NoStatusYet = 0x55555555;
    // Left by a rule that found its line off, so that the next read always passes.
    static constexpr std::uint32_t CtsOffMarker = 0xAFAFAF;
    static constexpr std::uint32_t DcdOffMarker = 0xFAFAFA;

    int Algorithm() const { return algorithm_; }
    void SetAlgorithm(int algorithm);      // 0..5; anything else is 0
    int Arrangement() const { return arrangement_; }
    void SetArrangement(int arrangement);  // 1..3; 0 and anything else is 2
    // Barrier laps a run takes at most; 0 = no limit. Laps from the keyboard are not counted.
    int LapLimit() const { return lapLimit_; }
    void SetLapLimit(int laps) { lapLimit_ = laps > 0 ? laps : 0; }
    // A lap edge sooner than this after the previous lap or the start is one
    // runner's arms and legs, not a new lap; 0 = off.
    int MinLapMs() const { return minLapMs_; }
    void SetMinLapMs(int ms) { minLapMs_ = ms > 0 ? ms : 0; }

    // The status word last read by the CTS or DCD rule, or one of the markers.
    std::uint32_t LastModemStatus() const { return lastStatus_; }

    // `status` is the modem status at the edge (ms:: bits).
    BarrierCommand Cts(std::uint32_t status, const BarrierContext& context);
    BarrierCommand Dcd(std::uint32_t status, const BarrierContext& context);
    BarrierCommand Dsr(std::uint32_t status, const BarrierContext& context) const;

private:
    bool Matches(bool lineOn) const { return algorithm_ % 2 == 0 ? lineOn : !lineOn; }

    int algorithm_ = 0;
    int arrangement_ = 2;
    int lapLimit_ = 0;
    int minLapMs_ = 0;
    std::uint32_t lastStatus_ = NoStatusYet;
    std::uint64_t lapsOfRun_ = 0;  // the run whose barrier laps are counted
    int barrierLaps_ = 0;
};

}  // namespace chronivel
