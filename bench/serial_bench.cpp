// SPDX-License-Identifier: GPL-3.0-or-later
// How far the counter of a light barrier's edge lies from the edge itself:
// the test shim makes DCD edges on a pseudo-terminal and notes the moment of
// each; the real adapter and TComPort deliver them to a UI thread, idle or
// busy 50 ms at a time, and the counter in each batch is compared with that
// moment. The target is a p99 under 0.1 ms either way.
//
// The shim must be preloaded: `cmake --build <build> --target run_serial_bench`,
// or LD_PRELOAD=<build>/tests/serialshim/libchronivel_serialshim.so bench/serial_bench.
#include <benchmark/benchmark.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <vector>

#include "core/comport.h"
#include "core/highrestimer.h"
#include "platform/systemserialports.h"
#include "platform/systemtimerplatform.h"
#include "ptyport.h"
#include "serialshim.h"
#include "uithread.h"

namespace {

using namespace chronivel;
using namespace serialtest;

void SleepNs(long ns)
{
    const timespec pause{0, ns};
    clock_nanosleep(CLOCK_MONOTONIC, 0, &pause, nullptr);
}

// Keeps the UI thread computing 50 ms at a time, with a moment for what was
// posted meanwhile in between, until told to stop.
class BusyUi {
public:
    explicit BusyUi(UiThread& ui) : ui_(ui) { Next(); }
    ~BusyUi()
    {
        stop_ = true;
        ui_.Call([] {});
    }

private:
    void Next()
    {
        if (stop_) return;
        ui_.Post([this] {
            const std::int64_t until = Counter() + 50'000'000;
            while (Counter() < until) {
            }
            Next();
        });
    }

    UiThread& ui_;
    std::atomic<bool> stop_{false};
};

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void EdgeToCounter(benchmark::State& state)
{
    const serialshim::Control shim = serialshim::Find();
    if (!shim.Loaded()) {
        state.SkipWithError("the serial shim is not preloaded: cmake --build <build> --target run_serial_bench");
        return;
    }
    shim.reset();
    PseudoTerminal pty;
    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    UiThread ui;
    const auto ports = MakeSystemSerialPorts([&timer] { return timer.ReadCounter(); },
                                             [&ui](std::function<void()> f) { ui.Post(std::move(f)); });
    TComPort port(*ports);
    std::vector<std::pair<std::int64_t, std::int64_t>> seen;  // batch counter, counter at dispatch
    ui.Call([&] {
        port.device = pty.Slave();
        port.settings.events = EventBit(TEvent::evRLSD);
        port.OnRLSD = [&](const ComEventBatch& batch) { seen.emplace_back(batch.counter, Counter()); };
        port.Open();
    });
    std::unique_ptr<BusyUi> busy;
    if (state.range(0) != 0) busy = std::make_unique<BusyUi>(ui);

    std::vector<long long> edges;
    std::uint32_t random = 12345;
    int level = 0;
    for (auto _ : state) {
        level ^= TIOCM_CD;
        edges.push_back(shim.setLines(TIOCM_CD, level));
        // 1 to 3 ms apart, never in step with anything.
        random = random * 1664525u + 1013904223u;
        SleepNs(1'000'000 + static_cast<long>(random >> 11) % 2'000'000);
    }
    busy.reset();
    std::size_t delivered = 0;
    Eventually([&] {
        ui.Call([&] { delivered = seen.size(); });
        return delivered >= edges.size();
    });
    ui.Call([&] { port.Close(); });
    if (delivered != edges.size()) {
        state.SkipWithError("edges went missing");
        return;
    }

    std::vector<double> errorUs, uiMs;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        errorUs.push_back(static_cast<double>(seen[i].first - CounterAt(edges[i])) / 1e3);
        uiMs.push_back(static_cast<double>(seen[i].second - CounterAt(edges[i])) / 1e6);
    }
    state.counters["p50_us"] = Percentile(errorUs, 0.50);
    state.counters["p99_us"] = Percentile(errorUs, 0.99);
    state.counters["max_us"] = Percentile(errorUs, 1.0);
    state.counters["min_us"] = Percentile(errorUs, 0.0);
    // How late the UI thread got the batches: the stamps must not depend on it.
    state.counters["ui_p50_ms"] = Percentile(uiMs, 0.50);
    state.counters["ui_max_ms"] = Percentile(uiMs, 1.0);
}
BENCHMARK(EdgeToCounter)->ArgName("busy_ui")->Arg(0)->Arg(1)->Iterations(3000)->Unit(benchmark::kMillisecond);

}  // namespace
