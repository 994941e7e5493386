#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "core/comport.h"
#include "core/lightbarriers.h"

namespace chronivel {

class Chronometer;

// The light barriers from the serial port to the chronometer: the chosen
// port and rules, and each edge turned into a command at its own moment.
// The rules look at the chronometer and at whether the pause button is
// enabled; nothing here reads the screen.
class BarrierPipeline {
public:
    BarrierPipeline(Chronometer& clock, SerialPorts& ports, TComPort::Post post);
    BarrierPipeline(const BarrierPipeline&) = delete;
    BarrierPipeline& operator=(const BarrierPipeline&) = delete;

    // The stored choices. The device is a path, or COMn on Windows; empty for none.
    const std::string& Device() const { return device_; }
    void SetDevice(const std::string& device) { device_ = device; }
    // The "Port" setting: n of COMn, else the port's place in the list; 0 for none.
    int PortNumber() const { return device_.empty() ? 0 : portNumber_; }
    void SetPortNumber(int number) { portNumber_ = number; }
    int Algorithm() const { return rules_.Algorithm(); }
    void SetAlgorithm(int algorithm) { rules_.SetAlgorithm(algorithm); }
    int Arrangement() const { return rules_.Arrangement(); }
    void SetArrangement(int arrangement) { rules_.SetArrangement(arrangement); }
    int Laps() const { return rules_.LapLimit(); }
    void SetLaps(int laps) { rules_.SetLapLimit(laps); }
    int MinLap() const { return rules_.MinLapMs(); }
    void SetMinLap(int ms) { rules_.SetMinLapMs(ms); }

    // Opens the port chosen last, so that a run resumed at start-up still has its barriers.
    void Restore();
    // Opens `device`, or closes the port for none.
    void Choose(const std::string& device, int number);
    void Close() { port_.Close(); }

    // The pause button is enabled: while it is not (the main window is in the
    // background), the toggle barrier takes laps instead of pausing.
    void SetPauseEnabled(bool enabled) { pauseEnabled_ = enabled; }

    bool Connected() const { return port_.Connected(); }

    // Errors for the user.
    std::function<void(const std::string&)> reportError;
    // Something the user should know once.
    std::function<void(const std::string&)> reportInfo;
    // The port was opened (true) or closed (false).
    std::function<void(bool)> connectedChanged;

private:
    // `hint` follows an error message: what the user can do about it.
    void Open(const std::string& hint = {});
    BarrierContext Context(std::int64_t counter) const;
    void Carry(BarrierCommand command, std::int64_t counter);

    Chronometer& clock_;
    SerialPorts& ports_;
    TComPort port_;
    LightBarriers rules_;
    std::string device_;
    int portNumber_ = 0;
    bool pauseEnabled_ = true;
    std::set<std::string> toldPolled_;  // devices whose polled lines the user was told about
};

}  // namespace chronivel
