// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/win32.h"

#include <dbt.h>

#include <functional>
#include <string>
#include <thread>

#include "core/serialline.h"

namespace chronivel {

// Watches for a COM port to arrive. The system tells windows of arrivals
// with WM_DEVICECHANGE, so the watch owns a hidden message-only window,
// registered for the COM-port interface class, on a thread of its own with
// its own message loop, and calls `changed` there for:
//  - DBT_DEVICEARRIVAL of a port (DBT_DEVTYP_PORT) named as the watched
//    one, or of any port when the watched name is not COMn;
//  - DBT_DEVICEARRIVAL of a COM-port interface (DBT_DEVTYP_DEVICEINTERFACE),
//    which does not say its COM name.
// `changed` must not destroy the watch; after the destructor returns it is
// never called again.
class Win32DeviceWatch final : public DeviceWatch {
public:
    // `port` as Open takes it: "COM3" or "\\.\COM3".
    Win32DeviceWatch(const std::string& port, std::function<void()> changed);
    ~Win32DeviceWatch() override;
    Win32DeviceWatch(const Win32DeviceWatch&) = delete;
    Win32DeviceWatch& operator=(const Win32DeviceWatch&) = delete;

    // Whether the window stands and the system will tell it of arrivals.
    bool Watching() const { return window_ != nullptr; }
    // The hidden window, for tests to send it what the system sends.
    HWND Window() const { return window_; }

private:
    void Run();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Arrived(const DEV_BROADCAST_HDR& header) const;

    const std::wstring port_;  // "COM3", upper case; empty for any
    const std::function<void()> changed_;
    HWND window_ = nullptr;
    HDEVNOTIFY notification_ = nullptr;
    std::thread thread_;
};

}  // namespace chronivel
