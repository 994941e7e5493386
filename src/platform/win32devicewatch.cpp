// SPDX-License-Identifier: GPL-3.0-or-later
// Watching for a COM port to arrive: a message-only window gets no
// broadcasts, but RegisterDeviceNotification sends it the arrivals of the
// interface class it names.
#include "platform/win32devicewatch.h"

// clang-format off: the GUID is defined here, not only declared
#include <initguid.h>
#include <winioctl.h>
// clang-format on

#include <algorithm>
#include <cwctype>
#include <future>
#include <utility>

#include "platform/win32messagewindow.h"
#include "platform/win32text.h"

namespace chronivel {

namespace {

constexpr wchar_t kWindowClass[] = L"Chronivel.DeviceWatch";

// "COM3" of "COM3", "\\.\com3"; empty for a name that is no COMn.
std::wstring ComName(const std::string& device)
{
    std::wstring name = Utf16(device.rfind("\\\\.\\", 0) == 0 ? device.substr(4) : device);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towupper(c); });
    return name.rfind(L"COM", 0) == 0 ? name : std::wstring();
}

}  // namespace

Win32DeviceWatch::Win32DeviceWatch(const std::string& port, std::function<void()> changed)
    : port_(ComName(port)), changed_(std::move(changed))
{
    std::promise<void> ready;
    std::future<void> done = ready.get_future();
    thread_ = std::thread([this, ready = std::move(ready)]() mutable {
        const HWND window = MakeMessageWindow(kWindowClass, &WindowProc, this);
        if (window != nullptr) {
            DEV_BROADCAST_DEVICEINTERFACE_W filter{};
            filter.dbcc_size = sizeof filter;
            filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
            filter.dbcc_classguid = GUID_DEVINTERFACE_COMPORT;
            notification_ = ::RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
            // Without the registration nothing would ever arrive.
            if (notification_ == nullptr) ::DestroyWindow(window);
            else window_ = window;
        }
        ready.set_value();
        if (window_ != nullptr) Run();
    });
    done.wait();
    if (window_ == nullptr) thread_.join();
}

Win32DeviceWatch::~Win32DeviceWatch()
{
    if (!thread_.joinable()) return;
    // Its WM_DESTROY ends the message loop.
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

void Win32DeviceWatch::Run()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
}

bool Win32DeviceWatch::Arrived(const DEV_BROADCAST_HDR& header) const
{
    // An interface's name is a device path that does not say its COM name.
    if (header.dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) return true;
    if (header.dbch_devicetype != DBT_DEVTYP_PORT) return false;
    return port_.empty() || ComName(Utf8(reinterpret_cast<const DEV_BROADCAST_PORT_W&>(header).dbcp_name)) == port_;
}

LRESULT CALLBACK Win32DeviceWatch::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* watch = reinterpret_cast<Win32DeviceWatch*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (watch == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DEVICECHANGE:
        if (wParam == DBT_DEVICEARRIVAL && lParam != 0 && watch->Arrived(*reinterpret_cast<DEV_BROADCAST_HDR*>(lParam)))
            watch->changed_();
        return TRUE;
    case WM_DESTROY:
        if (watch->notification_ != nullptr) ::UnregisterDeviceNotification(watch->notification_);
        watch->notification_ = nullptr;
        ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace chronivel
