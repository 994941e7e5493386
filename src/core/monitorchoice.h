// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace chronivel {

// A monitor as the "Multimonitor" submenu names it: its size in pixels.
struct MonitorSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const MonitorSize&, const MonitorSize&) = default;
};

// Which monitor shows the large second readout, and whether it shows now.
// Monitors are numbered as the system lists them, 0 being the primary.
// The index always names a connected monitor or is Off, so the submenu can
// always check its entry and the stored value is one that can be used.
class MonitorChoice {
public:
    static constexpr int Off = -1;

    // As stored; a value below Off counts as Off.
    explicit MonitorChoice(int index = Off) : index_(index < Off ? Off : index) {}

    int Index() const { return index_; }
    bool Shown() const { return shown_; }
    const std::vector<MonitorSize>& Monitors() const { return monitors_; }
    // Only with more than one monitor is there anything to choose.
    bool Choosable() const { return monitors_.size() > 1; }
    // The submenu's entry that carries the check mark: 0 is "Off", which is
    // what a hidden window shows, wherever it would go when shown again.
    int CheckedEntry() const { return shown_ ? index_ + 1 : 0; }

    // Start-up: the window shows only with more than one monitor and an index
    // that names one of them; an index naming no connected monitor is off.
    void Start(std::vector<MonitorSize> monitors);
    // A submenu entry: Off hides the window, a monitor shows it there. An
    // index naming no monitor is ignored; false then.
    bool Select(int index);
    // Ctrl+T: to the last monitor (the only one of a single screen), shown
    // if it was hidden, hidden if it was shown. False without monitors.
    bool Toggle();
    // The window was closed on its own (Esc): it stays on its monitor.
    void Close() { shown_ = false; }
    // The system's monitors changed while the program runs.
    void Change(std::vector<MonitorSize> monitors);

private:
    bool Names(int index) const { return index >= 0 && index < static_cast<int>(monitors_.size()); }

    int index_;
    bool shown_ = false;
    std::vector<MonitorSize> monitors_;
};

}  // namespace chronivel
