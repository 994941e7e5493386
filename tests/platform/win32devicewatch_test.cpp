// SPDX-License-Identifier: GPL-3.0-or-later
// The watch for a COM port to arrive. No adapter can be plugged in here, so
// the test sends the hidden window what the system sends; SendMessage
// returns once the watch's thread has handled it.
#ifdef _WIN32

#include "platform/win32devicewatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "platform/systemserialports.h"

namespace chronivel {
namespace {

struct Arrival {
    const char* watched;
    WPARAM event;
    DWORD deviceType;
    const wchar_t* name;  // of a port
    bool calls;
};

// Sends WM_DEVICECHANGE as the system does: the broadcast structure, a
// port's name after its header.
void Send(HWND window, const Arrival& arrival)
{
    std::vector<char> bytes(sizeof(DEV_BROADCAST_PORT_W) + sizeof(wchar_t) * (std::wcslen(arrival.name) + 1));
    auto* port = reinterpret_cast<DEV_BROADCAST_PORT_W*>(bytes.data());
    port->dbcp_size = static_cast<DWORD>(bytes.size());
    port->dbcp_devicetype = arrival.deviceType;
    std::memcpy(port->dbcp_name, arrival.name, sizeof(wchar_t) * (std::wcslen(arrival.name) + 1));
    DWORD_PTR result = 0;
    ASSERT_NE(::SendMessageTimeoutW(window, WM_DEVICECHANGE, arrival.event, reinterpret_cast<LPARAM>(port),
                                    SMTO_BLOCK, 10000, &result),
              0)
        << "the watch's window did not answer";
    EXPECT_EQ(result, static_cast<DWORD_PTR>(TRUE));
}

class Win32DeviceWatchArrival : public ::testing::TestWithParam<Arrival> {};

TEST_P(Win32DeviceWatchArrival, CallsForThePortItWatchesOrAnyPortInterface)
{
    const Arrival& arrival = GetParam();
    std::atomic<int> calls = 0;
    Win32DeviceWatch watch(arrival.watched, [&calls] { ++calls; });
    ASSERT_TRUE(watch.Watching());
    EXPECT_FALSE(::IsWindowVisible(watch.Window()));
    Send(watch.Window(), arrival);
    EXPECT_EQ(calls, arrival.calls ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Arrivals, Win32DeviceWatchArrival,
    ::testing::Values(Arrival{"COM7", DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, L"COM7", true},
                      Arrival{"\\\\.\\COM7", DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, L"com7", true},
                      Arrival{"COM7", DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, L"COM17", false},
                      Arrival{"COM7", DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_PORT, L"COM7", false},
                      Arrival{"COM7", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, L"\\\\?\\USB#VID_0403", true},
                      Arrival{"COM7", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, L"", false},
                      Arrival{"\\\\.\\CNCA0", DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, L"COM3", true}));

TEST(Win32DeviceWatch, TheSystemsPortsWatchAndKeepTheirNameAndTheWindowGoesWithTheWatch)
{
    const auto ports = MakeSystemSerialPorts({}, {});
    EXPECT_EQ(ports->PersistentName("COM3"), "COM3");
    std::atomic<int> calls = 0;
    auto watch = ports->WatchFor("COM3", [&calls] { ++calls; });
    ASSERT_NE(watch, nullptr);
    const HWND window = dynamic_cast<Win32DeviceWatch&>(*watch).Window();
    Send(window, {"COM3", DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, L"COM3", true});
    EXPECT_EQ(calls, 1);
    watch.reset();
    EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
}  // namespace chronivel

#endif  // _WIN32
