// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/serialline.h"

#include <gtest/gtest.h>

namespace chronivel {
namespace {

TEST(DeviceControl, TheLightBarrierPortRaisesDtrAndHandshakesRts)
{
    ComSettings s;
    s.flowControl = TFlowControl::fcRtsCts;
    s.events = EventBit(TEvent::evCTS) | EventBit(TEvent::evDSR) | EventBit(TEvent::evRLSD);
    const DeviceControl d = BuildDeviceControl(s);
    EXPECT_EQ(d.DCBlength, 28u);
    EXPECT_EQ(d.BaudRate, 9600u);
    EXPECT_EQ(d.flags, 0x0001u | 0x0010u | 0x0004u | 0x2000u);
    EXPECT_EQ(d.XonLim, 512);
    EXPECT_EQ(d.XoffLim, 1);
    EXPECT_EQ(d.XonChar, 0x11);
    EXPECT_EQ(d.XoffChar, 0x13);
    EXPECT_EQ(d.ByteSize, 8);
    EXPECT_EQ(d.Parity, 0);
    EXPECT_EQ(d.StopBits, 0);
    EXPECT_EQ(EventMask(s.events), 0x0038u);
}

TEST(DeviceControl, EachSettingReachesItsField)
{
    ComSettings s;
    s.flowControl = TFlowControl::fcXonXoff;
    s.enableDTR = false;
    s.parity = TParity::prSpace;
    s.stopBits = TStopBits::sbTwoStopBits;
    s.dataBits = 7;
    s.writeBufSize = 3;
    s.baudRate = TBaudRate::brUser;
    s.baudRateUser = 250'000;
    const DeviceControl d = BuildDeviceControl(s);
    EXPECT_EQ(d.flags, 0x0001u | 0x0100u | 0x0200u);
    EXPECT_EQ(d.Parity, 4);
    EXPECT_EQ(d.StopBits, 2);
    EXPECT_EQ(d.ByteSize, 7);
    EXPECT_EQ(d.XonLim, 0);
    EXPECT_EQ(d.BaudRate, 250'000u);
    EXPECT_EQ(BaudRateValue(TBaudRate::br110, 1), 110u);
    EXPECT_EQ(BaudRateValue(TBaudRate::br256000, 1), 256'000u);
}

TEST(EventMask, EveryEventHasItsBit)
{
    EXPECT_EQ(EventMask(AllEvents), 0x01FFu);
    EXPECT_EQ(EventMask(EventBit(TEvent::evRxChar)), 0x0001u);
    EXPECT_EQ(EventMask(EventBit(TEvent::evTxEmpty)), 0x0004u);
    EXPECT_EQ(EventMask(EventBit(TEvent::evRxFlag)), 0x0002u);
    EXPECT_EQ(EventMask(EventBit(TEvent::evRing)), 0x0100u);
    EXPECT_EQ(EventMask(EventBit(TEvent::evBreak)), 0x0040u);
    EXPECT_EQ(EventMask(EventBit(TEvent::evError)), 0x0080u);
    EXPECT_EQ(EventMask(0), 0u);
}

TEST(ListedPorts, SortedByNameNumberedByComOrPlaceAndCaptionedWithTheirDescription)
{
    const std::vector<SerialPortEntry> ports = ListedPorts({{"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART"},
                                                            {"COM12", "COM12", ""},
                                                            {"ttyACM0", "/dev/ttyACM0", ""}});
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].device, "COM12");
    EXPECT_EQ(ports[0].number, 12);
    EXPECT_EQ(ports[0].caption, "COM12");
    EXPECT_EQ(ports[1].device, "/dev/ttyACM0");
    EXPECT_EQ(ports[1].number, 2) << "a port without a COM number counts by its place";
    EXPECT_EQ(ports[2].caption, "ttyUSB0 \u2014 FT232R USB UART");
    EXPECT_EQ(ports[2].number, 3);
}

}  // namespace
}  // namespace chronivel
