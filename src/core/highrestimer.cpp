// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/highrestimer.h"

#include <algorithm>
#include <cmath>

namespace chronivel {

bool DetectTimeStampCounter(TimerPlatform& platform)
{
    if (!platform.CpuidUsable()) return false;
    if (platform.Cpuid(0).eax == 0) return false;  // no leaf 1 to ask
    constexpr std::uint32_t tscFeatureBit = 1u << 4;
    return (platform.Cpuid(1).edx & tscFeatureBit) != 0;
}

std::int64_t CountsToMilliseconds(std::int64_t counts, double countSpeed)
{
    // nearbyint rounds ties to even in the default rounding mode.
    const auto microseconds = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(counts) / countSpeed));
    return microseconds / 1000;
}

THighResTimer::THighResTimer(TimerPlatform& platform)
    : platform_(platform),
      minAccuracy_(platform.MinAccuracy()),
      minResolution_(platform.MinResolution()),
      resolution_(minAccuracy_)
{
    tsc_ = DetectTimeStampCounter(platform);
    Calibrate(CalibrationMs);  // on the system counter: no waiting
}

THighResTimer::~THighResTimer()
{
    SetEnabled(false);
}

void THighResTimer::SetUseTSC(bool use)
{
    if (use == useTSC_) return;
    if (!tsc_)
        useTSC_ = false;
    else if (!Enabled())
        useTSC_ = use;
    Calibrate(CalibrationMs);
}

void THighResTimer::Calibrate(int ms)
{
    const double systemSpeed = static_cast<double>(platform_.PerformanceFrequency()) / 1'000'000.0;
    countSpeed_ = systemSpeed;
    if (!useTSC_) return;

    platform_.RaisePriorityForCalibration();
    platform_.SleepMilliseconds(10);  // start the measurement on a fresh time slice
    const std::int64_t t0 = platform_.TimeStampCounter();
    const std::int64_t q0 = platform_.PerformanceCounter();
    platform_.SleepMilliseconds(ms);
    const std::int64_t t1 = platform_.TimeStampCounter();
    const std::int64_t q1 = platform_.PerformanceCounter();
    platform_.RestorePriorityAfterCalibration();

    const double elapsedMicroseconds = static_cast<double>(q1 - q0) / systemSpeed;
    countSpeed_ = static_cast<double>(t1 - t0) / elapsedMicroseconds;
}

SamplerSettings THighResTimer::CurrentSamplerSettings() const
{
    // A period of zero or less would make the timer spin.
    return {std::max(resolution_, 1), std::max(accuracy_, 0), threadClass_, threadPriority_};
}

void THighResTimer::SetEnabled(bool enabled)
{
    if (enabled == Enabled()) return;
    if (enabled)
        // The counter is fixed while the thread runs (SetUseTSC), so it gets a copy of the choice.
        sampler_ = platform_.StartSampler([&platform = platform_, useTSC = useTSC_] { return Read(platform, useTSC); },
                                          CurrentSamplerSettings());
    else
        sampler_.reset();
}

void THighResTimer::RestartSamplerTimer()
{
    if (!sampler_) return;
    const SamplerSettings settings = CurrentSamplerSettings();
    sampler_->SetTimer(settings.periodMs, settings.accuracyMs);
}

void THighResTimer::SetAccuracy(int ms)
{
    accuracy_ = ms;
    RestartSamplerTimer();
}

void THighResTimer::SetResolution(int ms)
{
    resolution_ = ms;
    RestartSamplerTimer();
}

void THighResTimer::SetThreadClass(ThreadClass threadClass)
{
    threadClass_ = threadClass;
    if (sampler_) sampler_->SetPriority(threadClass_, threadPriority_);
}

void THighResTimer::SetThreadPriority(ThreadPriority priority)
{
    threadPriority_ = priority;
    if (sampler_) sampler_->SetPriority(threadClass_, threadPriority_);
}

}  // namespace chronivel
