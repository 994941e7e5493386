// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "core/comport.h"
#include "core/lightbarriers.h"
#include "core/notices.h"
#include "core/portcomeback.h"
#include "core/scheduler.h"

namespace chronivel {

class Chronometer;
class THighResTimer;

// The light barriers from the serial port to the chronometer: the chosen
// port and rules, and each edge turned into a command at its own moment.
// The rules look at the chronometer and at whether the pause button is
// enabled; nothing here reads the screen.
//
// An adapter that is unplugged, or missing at start, stays chosen: it is
// opened again, with the same rules, the moment it is back, and a run goes
// on meanwhile. The device is kept by the name that stays with the adapter
// when it is plugged in again (Linux may give it another ttyUSBn).
class BarrierPipeline {
public:
    BarrierPipeline(Chronometer& clock, THighResTimer& timer, SerialPorts& ports, Scheduler& scheduler);
    BarrierPipeline(const BarrierPipeline&) = delete;
    BarrierPipeline& operator=(const BarrierPipeline&) = delete;

    // The stored choices. The device is a path, or COMn on Windows; empty for none.
    const std::string& Device() const { return device_; }
    void SetDevice(const std::string& device) { device_ = device; }
    // The "Port" setting: n of COMn, else the port's place in the list; 0 for none.
    int PortNumber() const { return device_.empty() ? 0 : portNumber_; }
    void SetPortNumber(int number) { portNumber_ = number; }
    BarrierAlgorithm Algorithm() const { return rules_.Algorithm(); }
    void SetAlgorithm(int algorithm) { rules_.SetAlgorithm(algorithm); }
    BarrierArrangement Arrangement() const { return rules_.Arrangement(); }
    void SetArrangement(int arrangement) { rules_.SetArrangement(arrangement); }
    int Laps() const { return rules_.LapLimit(); }
    void SetLaps(int laps) { rules_.SetLapLimit(laps); }
    int MinLap() const { return rules_.MinLapMs(); }
    void SetMinLap(int ms) { rules_.SetMinLapMs(ms); }

    // Opens the port chosen last, so that a run resumed at start-up still has
    // its barriers; one that is not there is waited for.
    void Restore();
    // Opens `device`, or closes the port for none. Returns why it could not
    // be opened, for the user who chose it; it is waited for then.
    std::string Choose(const std::string& device, int number);
    void Close();

    // The pause button is enabled: while it is not (the main window is in the
    // background), the toggle barrier takes laps instead of pausing.
    void SetPauseEnabled(bool enabled) { pauseEnabled_ = enabled; }

    bool Connected() const { return port_.Connected(); }
    // The chosen adapter is not there, and is waited for.
    bool Away() const { return comeback_.Waiting(); }

    // What the user is told about the adapter, as the barriers' notice; none when it is over.
    std::function<void(std::optional<Notice>)> tell;
    // The port was opened (true) or closed (false).
    std::function<void(bool)> connectedChanged;
    // The device is now known by the name that stays with the adapter.
    std::function<void()> deviceRenamed;

private:
    // Opens the chosen device; returns why it could not.
    std::string Open();
    // After an open: the name that stays, and the lines polled, told once.
    void Opened(std::string headline, std::string news);
    void Lost(std::string reason);
    // Not open, not away since any run: told, and opened once it is there.
    void AwaitAdapter(std::string headline, std::string text);
    bool Reopen();
    // The run in progress, by its number in the protocol; none while none runs.
    std::optional<std::int64_t> RunNow() const;
    BarrierContext Context(std::int64_t counter) const;
    void Carry(BarrierCommand command, std::int64_t counter);
    void Tell(Notice::Kind kind, std::string headline, std::string text);

    Chronometer& clock_;
    THighResTimer& timer_;
    SerialPorts& ports_;
    TComPort port_;
    LightBarriers rules_;
    PortComeback comeback_;
    std::string device_;
    int portNumber_ = 0;
    bool pauseEnabled_ = true;
    std::set<std::string> toldPolled_;  // devices whose polled lines the user was told about
    // Since when the adapter is gone, and the run going then; none: it was missing from the start.
    struct Gone {
        std::optional<std::int64_t> since;  // the counter
        std::optional<std::int64_t> run;
    };
    std::optional<Gone> gone_;
};

// "Barriers away 12.4 s during run 7": how long the barriers were gone, and
// the runs they missed (the first and the last, where they differ).
std::string AwayText(std::int64_t ms, std::optional<std::int64_t> firstRun, std::optional<std::int64_t> lastRun);

}  // namespace chronivel
