// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of one display tick through the core: counter read, display value,
// time text and the search for changed digits. It runs every 5 ms for as long
// as a run runs, so it must stay far below a microsecond.
#include <benchmark/benchmark.h>

#include "core/chronometer.h"
#include "platform/systemtimerplatform.h"

namespace {

using namespace chronivel;

class NoWindows final : public ChronometerObserver, public LocaleTexts {
public:
    std::uint32_t changed = 0;
    void TimeShown(std::int64_t, std::uint32_t changedDigits) override { changed |= changedDigits; }
    void ControlsChanged() override {}
    void PlaySound(EventSound) override {}
    void RestoreApplication() override {}
    void WriteProtocol(const std::vector<std::string>&) override {}
    void ShowSecondMonitorLap(std::int64_t) override {}
    void SetSecondMonitorLapLabel(const std::string&) override {}
    DateTimeTexts Now() const override { return {"12:00:00", "Mon", "07.12.26"}; }
    std::int64_t LocalMoment(std::int64_t epochMs, int, int) const override { return epochMs; }  // no alarm here
};

void DisplayTick(benchmark::State& state)
{
    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    NoWindows windows;
    Chronometer chronometer(timer, windows, windows);
    chronometer.SelectFormat(static_cast<int>(state.range(0)));
    chronometer.SetCountDown(state.range(1) != 0);
    if (chronometer.CountDown()) chronometer.SetCountDownT(2'000'000'000);
    chronometer.StartStopReset();
    for (auto _ : state) chronometer.DisplayTick();
    benchmark::DoNotOptimize(windows.changed);
}
BENCHMARK(DisplayTick)->ArgNames({"format", "countdown"})->Args({0, 0})->Args({1, 0})->Args({4, 0})->Args({0, 1});

void CounterRead(benchmark::State& state)
{
    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    for (auto _ : state) benchmark::DoNotOptimize(timer.ReadCounter());
}
BENCHMARK(CounterRead);

}  // namespace
