// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chronivel {

// The sounds of the chronometer's events, by the names of their recordings.
// Warning: the countdown's last ten seconds begin.
enum class EventSound { Start, Stop, Lap, Reset, CountDownEnd, Warning };
inline constexpr std::array AllEventSounds{EventSound::Start, EventSound::Stop, EventSound::Lap,
                                           EventSound::Reset, EventSound::CountDownEnd, EventSound::Warning};

constexpr std::string_view SoundName(EventSound sound)
{
    switch (sound) {
    case EventSound::Start: return "START";
    case EventSound::Stop: return "STOP";
    case EventSound::Lap: return "LAP";
    case EventSound::Reset: return "RESET";
    case EventSound::CountDownEnd: return "CDOWN";
    case EventSound::Warning: return "WARN";
    }
    return "";
}

// What the chronometer asks of the windows around it. Everything the windows
// show is state of the chronometer; these calls say when to look again and
// ask for what only the windows can do. Calls that concern the second monitor
// or the protocol window are requests: a window that does not exist or is
// hidden ignores them.
class ChronometerObserver {
public:
    virtual ~ChronometerObserver() = default;

    // The readout shows a new value: redraw the images in `changedDigits`
    // (bit i for image i) and show `value` on the second monitor.
    virtual void TimeShown(std::int64_t value, std::uint32_t changedDigits) = 0;
    // Buttons, LEDs, lap list, best time or timers changed.
    virtual void ControlsChanged() = 0;

    virtual void PlaySound(EventSound sound) = 0;
    // Brings the program back if it is minimised.
    virtual void RestoreApplication() = 0;

    // A finished run for the protocol. The chronometer is done with it: a
    // file that cannot take it now is the writer's to tell and to retry.
    virtual void WriteProtocol(const std::vector<std::string>& lines) = 0;

    virtual void ShowSecondMonitorLap(std::int64_t value) = 0;
    virtual void SetSecondMonitorLapLabel(const std::string& caption) = 0;
};

}  // namespace chronivel
