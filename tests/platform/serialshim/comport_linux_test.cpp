// SPDX-License-Identifier: GPL-3.0-or-later
// TComPort on the Linux adapter, with its UI thread: a batch keeps the
// counter of its edge however late the UI thread runs, and an unplugged
// device closes the port, which then opens again.
#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <atomic>

#include "core/comport.h"
#include "platform/systemserialports.h"
#include "serialshim/ptyport.h"
#include "serialshim/serialshim.h"
#include "serialshim/uithread.h"

namespace chronivel {
namespace {

using namespace serialtest;

TEST(LinuxSerialComPort, BatchesKeepTheirEdgeCounterAndAnUnplugClosesThePort)
{
    const serialshim::Control shim = serialshim::Find();
    ASSERT_TRUE(shim.Loaded()) << "run with the serial shim preloaded (ctest does)";
    shim.reset();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Valid());
    UiThread ui;
    std::atomic<int> posts{0};
    const auto ports = MakeSystemSerialPorts(Counter, [&](std::function<void()> f) {
        ui.Post(std::move(f));
        ++posts;
    });
    auto port = std::make_unique<TComPort>(*ports);

    std::vector<std::pair<ComEventBatch, std::int64_t>> dcd;  // with the counter at dispatch
    std::vector<std::string> lost;
    int closes = 0;
    ui.Call([&] {
        port->device = pty.Slave();
        port->OnRLSD = [&](const ComEventBatch& batch) { dcd.emplace_back(batch, Counter()); };
        port->OnLost = [&](const std::string& reason) { lost.push_back(reason + (port->Connected() ? " (open)" : "")); };
        port->OnClose = [&] { ++closes; };
        port->Open();
    });

    // The UI thread is busy until the event thread has posted the batch.
    std::int64_t busyUntil = 0;
    const int postsBefore = posts;
    ui.Post([&] {
        Eventually([&] { return posts > postsBefore; });
        busyUntil = Counter();
    });
    const long long edge = shim.setLines(TIOCM_CD, TIOCM_CD);
    ASSERT_TRUE(Eventually([&] {
        bool seen = false;
        ui.Call([&] { seen = !dcd.empty(); });
        return seen;
    }));
    ui.Call([&] {
        EXPECT_EQ(dcd[0].first.status & ms::RlsdOn, ms::RlsdOn);
        EXPECT_GE(dcd[0].first.counter, CounterAt(edge));
        EXPECT_LE(dcd[0].first.counter, busyUntil) << "stamped at the edge, not when the UI thread got to it";
        EXPECT_GE(dcd[0].second, busyUntil);
    });

    shim.unplug(1);
    ASSERT_TRUE(Eventually([&] {
        bool seen = false;
        ui.Call([&] { seen = !lost.empty(); });
        return seen;
    }));
    ui.Call([&] {
        EXPECT_EQ(lost, std::vector<std::string>{pty.Slave() + ": Input/output error"}) << "once, and closed first";
        EXPECT_FALSE(port->Connected());
        EXPECT_EQ(closes, 1);
    });

    shim.unplug(0);
    ui.Call([&] { port->Open(); });
    shim.setLines(TIOCM_CD, 0);
    EXPECT_TRUE(Eventually([&] {
        bool seen = false;
        ui.Call([&] { seen = dcd.size() == 2; });
        return seen;
    }));
    ui.Call([&] {
        EXPECT_EQ(dcd.back().first.status & ms::RlsdOn, 0u);
        port.reset();
    });
    EXPECT_EQ(closes, 2);
}

}  // namespace
}  // namespace chronivel
