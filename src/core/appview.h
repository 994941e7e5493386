// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/chronometerobserver.h"
#include "core/command.h"

namespace chronivel {

// A window of the program, as the application model sees it: it is told
// what changed and looks at the model again. Each call has a default that
// ignores it, so a window listens only for what it shows.
class AppView {
public:
    virtual ~AppView() = default;

    // The readout shows `value` now: redraw the images in `changedDigits`.
    virtual void TimeShown(std::int64_t /*value*/, std::uint32_t /*changedDigits*/) {}
    // Anything else the model shows changed: buttons, lap list, zoom, marks.
    virtual void Changed() {}

    virtual void PlaySound(EventSound /*sound*/) {}
    // The large second readout moves, shows or hides, or the monitors
    // changed: its window looks at ChronivelApp::SecondMonitor() again and
    // shows itself full-screen on monitor Index() when Shown(), else hides.
    virtual void SecondMonitorChanged() {}
    // The second monitor's lap row: a lap's time (the time left while
    // counting down), 0 at a reset, the preset when the countdown is armed;
    // and its caption, " Lap 3:" or " Lap:".
    virtual void SecondMonitorLap(std::int64_t /*value*/) {}
    virtual void SecondMonitorLapCaption(const std::string& /*caption*/) {}
    // Brings the program back if it is minimised.
    virtual void RestoreApplication() {}
    // The alarm clock rings now: until AlarmSilenced, which comes when the
    // user heard it (ChronivelApp::AcknowledgeAlarm) or after a minute.
    virtual void AlarmRang() {}
    virtual void AlarmSilenced() {}

    // A command that is the window's own, such as opening another window;
    // true when this window did it.
    virtual bool Perform(Command /*command*/) { return false; }

    // A finished run is in the protocol file: its lines, as written.
    virtual void RunRecorded(const std::vector<std::string>& /*run*/) {}

    // The settings are being written: a window with values of its own in the
    // same key writes them now, so that the key never exists without them.
    virtual void SaveOwnValues() {}
    // What the model tells the user changed: ChronivelApp::Told().
    virtual void NoticesChanged() {}
};

}  // namespace chronivel
