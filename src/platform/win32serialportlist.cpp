// SPDX-License-Identifier: GPL-3.0-or-later
// The serial ports Windows has: the present devices of the ports class,
// each with its COM name and the description Device Manager shows.
#include "platform/win32serialports.h"

// clang-format off: the device-setup header needs the window declarations first
#include <setupapi.h>
#include <devguid.h>
// clang-format on

#include "platform/win32text.h"

namespace chronivel {

namespace {

std::wstring RegistryText(HKEY key, const wchar_t* value)
{
    wchar_t text[256] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return text;
}

}  // namespace

std::vector<FoundPort> FindComPorts()
{
    std::vector<FoundPort> found;
    const HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return found;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        const std::string name = Utf8(RegistryText(key, L"PortName"));
        RegCloseKey(key);
        if (name.rfind("COM", 0) != 0) continue;  // a printer port (LPTn) shares the class
        wchar_t description[256] = {};
        SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_DEVICEDESC, nullptr,
                                          reinterpret_cast<BYTE*>(description), sizeof(description) - sizeof(wchar_t),
                                          nullptr);
        found.push_back({name, name, Utf8(description)});
    }
    SetupDiDestroyDeviceInfoList(devices);
    return found;
}

}  // namespace chronivel
