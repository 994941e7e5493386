// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/scheduler.h"
#include "core/serialline.h"

namespace chronivel {

// Waits for a serial adapter that was unplugged, or missing at start, to be
// there again, and tries its port the moment the system says the device may
// have come. A try that fails then (the device is made before the system has
// given it its permissions) is repeated a few times a second apart; where the
// system cannot watch devices, a look once a second is the last resort.
class PortComeback {
public:
    static constexpr int LookMs = 1000;
    static constexpr int TriesAfterChange = 5;

    // `tryOpen` opens the port and says whether it could; it is called on the scheduler's thread.
    PortComeback(SerialPorts& ports, Scheduler& scheduler, std::function<bool()> tryOpen);
    ~PortComeback();
    PortComeback(const PortComeback&) = delete;
    PortComeback& operator=(const PortComeback&) = delete;

    // Waits for `device`, until a try opens it or Stop.
    void Await(const std::string& device);
    void Stop();
    bool Waiting() const { return waiting_; }

private:
    // The system says the device may be there.
    void Changed();
    void Try();
    void LookLater();

    SerialPorts& ports_;
    Scheduler& scheduler_;
    std::function<bool()> tryOpen_;
    std::unique_ptr<DeviceWatch> watch_;
    std::optional<Scheduler::Task> look_;
    int triesLeft_ = 0;  // after a change; without a watch there is no end to them
    bool waiting_ = false;
    // What the watch's thread posts finds out through this whether this still waits.
    std::shared_ptr<PortComeback*> self_;
};

}  // namespace chronivel
