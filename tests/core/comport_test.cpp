// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/comport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakeserial.h"

namespace chronivel {
namespace {

using testing::FakePorts;

class ComPortTest : public ::testing::Test {
protected:
    ComPortTest()
    {
        port.OnOpen = [this] { ports.log.push_back("OnOpen"); };
        port.OnClose = [this] { ports.log.push_back("OnClose"); };
        port.OnCTS = [this](const ComEventBatch& b) { ports.log.push_back("CTS " + std::to_string(b.counter)); };
        port.OnRLSD = [this](const ComEventBatch& b) { ports.log.push_back("DCD " + std::to_string(b.counter)); };
        port.OnDSR = [this](const ComEventBatch&) { ports.log.push_back("DSR"); };
        port.OnLost = [this](const std::string& reason) { ports.log.push_back("lost: " + reason); };
    }
    std::vector<std::string> Log() { return std::exchange(ports.log, {}); }

    FakePorts ports;
    TComPort port{ports};
};

TEST_F(ComPortTest, OpenAndCloseRunInOrder)
{
    port.device = "COM3";
    port.settings.events = EventBit(TEvent::evCTS) | EventBit(TEvent::evDSR) | EventBit(TEvent::evRLSD);
    port.Open();
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(Log(), (std::vector<std::string>{"open COM3 at 9600", "watch 56", "OnOpen"}));

    port.Open();  // again: closed first
    EXPECT_EQ(Log(), (std::vector<std::string>{"stop watching", "device closed", "OnClose", "open COM3 at 9600",
                                               "watch 56", "OnOpen"}));
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(Log(), (std::vector<std::string>{"stop watching", "device closed", "OnClose"}));
    port.Close();
    EXPECT_TRUE(Log().empty()) << "closing a closed port calls nothing";
}

TEST_F(ComPortTest, AFailedOpenClosesTheOldPortFirstAndLeavesItClosed)
{
    port.Open();
    Log();
    port.device = "COM0";
    EXPECT_THROW(port.Open(), EComHandle);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(Log(), (std::vector<std::string>{"stop watching", "device closed", "OnClose"}));
}

TEST_F(ComPortTest, BatchesKeepTheirMomentCtsFirst)
{
    port.Open();
    Log();
    ports.last->sink_->Deliver({ev::Rlsd | ev::Cts, ms::CtsOn | ms::RlsdOn, 1111});
    ports.last->sink_->Deliver({ev::Dsr, ms::DsrOn, 2222});
    EXPECT_EQ(Log(), (std::vector<std::string>{"CTS 1111", "DCD 1111", "DSR"}));
}

TEST_F(ComPortTest, ALostDeviceClosesThePortAndSaysWhy)
{
    port.device = "/dev/ttyUSB0";
    port.Open();
    Log();
    ports.last->sink_->Deliver({ev::Rlsd, ms::RlsdOn, 9});
    ports.last->sink_->Lost("/dev/ttyUSB0: Input/output error");
    EXPECT_EQ(Log(), (std::vector<std::string>{"DCD 9", "stop watching", "device closed", "OnClose",
                                               "lost: /dev/ttyUSB0: Input/output error"}));
    EXPECT_FALSE(port.Connected());
    port.Open();
    EXPECT_TRUE(port.Connected()) << "plugged in again, it opens again";
}

TEST_F(ComPortTest, DestroyingAnOpenPortClosesIt)
{
    std::vector<std::string> log;
    {
        TComPort local{ports};
        local.OnClose = [&] { log.push_back("OnClose"); };
        local.Open();
    }
    EXPECT_EQ(log, std::vector<std::string>{"OnClose"});
    EXPECT_EQ(Log().back(), "device closed");
}

}  // namespace
}  // namespace chronivel
