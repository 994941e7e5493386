// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
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

// How the barriers hang on the port's lines; the numbers are the stored ones.
enum class BarrierArrangement { Single = 1, StopBarrier, ToggleBarrier };
// Which edge of a line counts, and whether the stop barrier stops; in the stored order.
enum class BarrierAlgorithm { OnOff, OffOn, On, Off, WithLap, WithToggle };

struct ArrangementRow {
    BarrierArrangement id;
    const char* name;     // the menu entry's objectName, also the command's row
    const char* caption;  // the menu entry; "&&" is how a menu shows a single "&"
};
struct AlgorithmRow {
    BarrierAlgorithm id;
    const char* name;
    const char* caption;  // the menu entry
    bool onEdge;          // the line going on counts; else the line going off
    bool stops;           // the stop barrier stops the run
    bool offered;         // the menu lists it
};

// In the order of their numbers and of the menu: ranges and menus are made from these.
inline constexpr std::array ArrangementRows{
    ArrangementRow{BarrierArrangement::Single, "mLS1", "1 LS (4+6=Start && Stop)"},
    ArrangementRow{BarrierArrangement::StopBarrier, "mLS2", "2/3 LS (4+6=Start, 7+8=Stop, 4+1=Lap)"},
    ArrangementRow{BarrierArrangement::ToggleBarrier, "mLS3", "2/3 LS (4+6=Start, 7+8=Stop, 4+1=Toggle)"},
};
inline constexpr int FirstArrangement = static_cast<int>(ArrangementRows.front().id);
inline constexpr int LastArrangement = static_cast<int>(ArrangementRows.back().id);

inline constexpr std::array AlgorithmRows{
    AlgorithmRow{BarrierAlgorithm::OnOff, "mALG_0", "0   On/Off", true, true, true},
    AlgorithmRow{BarrierAlgorithm::OffOn, "mALG_1", "1   Off/On", false, true, true},
    AlgorithmRow{BarrierAlgorithm::On, "mALG_2", "2   On", true, false, true},
    AlgorithmRow{BarrierAlgorithm::Off, "mALG_3", "3   Off", false, false, true},
    AlgorithmRow{BarrierAlgorithm::WithLap, "mALG_4", "4   With LAP", true, false, true},
    AlgorithmRow{BarrierAlgorithm::WithToggle, "mALG_5", "5   With Toogle", false, false, false},
};
inline constexpr int AlgorithmCount = static_cast<int>(AlgorithmRows.size());

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
// alone also stops. The algorithm says which edge counts.
class LightBarriers {
public:
    static constexpr std::uint32_t NoStatusYet = 0x55555555;
    // Left by a rule that found its line off, so that the next read always passes.
    static constexpr std::uint32_t CtsOffMarker = 0xAFAFAF;
    static constexpr std::uint32_t DcdOffMarker = 0xFAFAFA;

    BarrierAlgorithm Algorithm() const { return algorithm_; }
    void SetAlgorithm(int algorithm);      // a number of AlgorithmRows; anything else is the first
    BarrierArrangement Arrangement() const { return arrangement_; }
    void SetArrangement(int arrangement);  // a number of ArrangementRows; anything else is StopBarrier
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
    const AlgorithmRow& Rule() const { return AlgorithmRows[static_cast<std::size_t>(algorithm_)]; }
    bool Matches(bool lineOn) const { return lineOn == Rule().onEdge; }

    BarrierAlgorithm algorithm_ = BarrierAlgorithm::OnOff;
    BarrierArrangement arrangement_ = BarrierArrangement::StopBarrier;
    int lapLimit_ = 0;
    int minLapMs_ = 0;
    std::uint32_t lastStatus_ = NoStatusYet;
    std::uint64_t lapsOfRun_ = 0;  // the run whose barrier laps are counted
    int barrierLaps_ = 0;
};

}  // namespace chronivel
