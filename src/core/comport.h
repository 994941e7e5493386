// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/serialline.h"

namespace chronivel {

// One serial port watched for line changes. Everything here runs on the
// scheduler's thread, where the platform hands over what the device's event
// thread found; each batch keeps the counter reading of its edge.
class TComPort : private ComEventSink {
public:
    using Notification = std::function<void()>;
    using LineEvent = std::function<void(const ComEventBatch&)>;

    explicit TComPort(SerialPorts& ports) : ports_(ports) {}
    ~TComPort() override { Close(); }
    TComPort(const TComPort&) = delete;
    TComPort& operator=(const TComPort&) = delete;

    ComSettings settings;
    // The device Open opens: a path such as /dev/ttyUSB0, or COM followed by a number.
    std::string device = "COM1";

    // Closes a port that is open, then opens and configures `device` and
    // starts watching it. Throws EComHandle or EComState, and is then closed.
    void Open();
    // Stops watching, dispatches what was already found, closes the device
    // and calls OnClose. Nothing when closed.
    void Close();
    bool Connected() const { return device_ != nullptr; }

    // Events the driver cannot wait for and polls instead (ev:: bits).
    std::uint32_t PolledEvents() const;

    // Called in this order for the lines that changed in one batch.
    LineEvent OnCTS, OnDSR, OnRLSD;
    Notification OnOpen, OnClose;
    // The device went away while open (an adapter unplugged); the port is closed already.
    std::function<void(const std::string& reason)> OnLost;

private:
    // Runs the callbacks for one batch, in their fixed order.
    void Deliver(const ComEventBatch& batch) override;
    void Lost(const std::string& reason) override;

    SerialPorts& ports_;
    std::unique_ptr<SerialDevice> device_;
};

}  // namespace chronivel
