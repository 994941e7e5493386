// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "core/serialline.h"

namespace chronivel {

// One serial port watched for line changes. Everything here runs on the UI
// thread; the device's event thread only queues what it found and asks the
// UI thread, through `post`, to dispatch it. Each batch keeps the counter
// reading of its edge, however late the UI thread gets to it.
class TComPort {
public:
    using Post = std::function<void(std::function<void()>)>;
    using Notification = std::function<void()>;
    using LineEvent = std::function<void(const ComEventBatch&)>;

    // `post` runs a function on the UI thread later; it may be called from any thread.
    TComPort(SerialPorts& ports, Post post);
    ~TComPort();
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
    void Dispatch(const ComEventBatch& batch);
    class Inbox;
    void DrainInbox();

    SerialPorts& ports_;
    std::unique_ptr<SerialDevice> device_;
    std::shared_ptr<Inbox> inbox_;
};

}  // namespace chronivel
