// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/serialline.h"

namespace chronivel::testing {

// A device whose event thread is the test: it delivers batches when told.
class FakeDevice final : public SerialDevice {
public:
    explicit FakeDevice(std::vector<std::string>& log) : log_(log) {}
    ~FakeDevice() override { log_.push_back("device closed"); }
    std::uint32_t ReadModemStatus() override { return status; }
    std::int32_t InputQueueCount() override { return 7; }
    void StartWatching(std::uint32_t mask, ComEventSink& sink) override
    {
        log_.push_back("watch " + std::to_string(mask));
        sink_ = &sink;
    }
    void StopWatching() override
    {
        if (sink_) log_.push_back("stop watching");
        sink_ = nullptr;
    }
    std::uint32_t PolledEvents() const override { return polled; }

    ComEventSink* sink_ = nullptr;
    std::uint32_t status = 0;
    std::uint32_t polled = 0;  // ev:: bits the driver would poll

private:
    std::vector<std::string>& log_;
};

// Opens fake devices; COM0 and those `missing` are ports that are not there.
class FakePorts final : public SerialPorts {
public:
    // While it lives, the test may call `changed` as the system's watch would.
    class FakeWatch final : public DeviceWatch {
    public:
        explicit FakeWatch(FakePorts& ports) : ports_(ports) {}
        ~FakeWatch() override { ports_.changed = nullptr; }

    private:
        FakePorts& ports_;
    };

    std::unique_ptr<SerialDevice> Open(const std::string& device, const DeviceControl& control) override
    {
        if (device == "COM0" || missing.contains(device))
            throw EComHandle("Unable to open com port: The system cannot find the file specified.");
        log.push_back("open " + device + " at " + std::to_string(control.BaudRate));
        auto opened = std::make_unique<FakeDevice>(log);
        opened->polled = polled;
        last = opened.get();
        return opened;
    }
    std::vector<SerialPortEntry> List() const override { return listed; }
    std::string DeviceOfNumber(int) const override { return {}; }
    std::string AccessHint(const std::string&) const override { return {}; }
    std::string PersistentName(const std::string& device) const override
    {
        const auto found = persistent.find(device);
        return found == persistent.end() ? device : found->second;
    }
    std::unique_ptr<DeviceWatch> WatchFor(const std::string& device, std::function<void()> call) override
    {
        if (!watchable) return nullptr;
        watched = device;
        changed = std::move(call);
        return std::make_unique<FakeWatch>(*this);
    }
    std::vector<std::string> log;
    FakeDevice* last = nullptr;
    std::uint32_t polled = 0;  // for the devices opened from now on
    std::vector<SerialPortEntry> listed;
    std::set<std::string> missing;
    std::map<std::string, std::string> persistent;  // device -> the name that stays
    bool watchable = true;
    std::string watched;             // the device the last watch was for
    std::function<void()> changed;   // the live watch's call; empty without one
};

}  // namespace chronivel::testing
