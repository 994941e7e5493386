// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

#include "core/timerplatform.h"

namespace chronivel {

// The chronometer's clock: a monotonic 64-bit counter and how many counts make
// a microsecond. It reads the system's high-resolution counter, or on request
// the processor's time-stamp counter, calibrated against the former.
//
// It starts on the system counter: calibrating the time-stamp counter takes
// three seconds at real-time priority, so that only happens when asked for.
class THighResTimer {
public:
    static constexpr int CalibrationMs = 3000;

    explicit THighResTimer(TimerPlatform& platform);
    ~THighResTimer();

    THighResTimer(const THighResTimer&) = delete;
    THighResTimer& operator=(const THighResTimer&) = delete;

    std::int64_t ReadCounter() { return Read(platform_, useTSC_); }
    double CountSpeed() const { return countSpeed_; }

    bool TSC() const { return tsc_; }
    bool UseTSC() const { return useTSC_; }
    // Switching sources recalibrates. The time-stamp counter is taken only
    // where the processor has one and the sampling thread is not running.
    void SetUseTSC(bool use);
    void Calibrate(int ms);

    // The sampling thread, which the platform runs.
    bool Enabled() const { return sampler_ != nullptr; }
    void SetEnabled(bool enabled);
    CounterSampler* Sampler() { return sampler_.get(); }

    int Accuracy() const { return accuracy_; }
    void SetAccuracy(int ms);
    int Resolution() const { return resolution_; }
    void SetResolution(int ms);
    int MinAccuracy() const { return minAccuracy_; }
    int MinResolution() const { return minResolution_; }
    void SetThreadClass(ThreadClass threadClass);
    ThreadPriority GetThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(ThreadPriority priority);

private:
    static std::int64_t Read(TimerPlatform& platform, bool useTSC)
    {
        return useTSC ? platform.TimeStampCounter() : platform.PerformanceCounter();
    }
    SamplerSettings CurrentSamplerSettings() const;
    void RestartSamplerTimer();

    TimerPlatform& platform_;
    bool tsc_ = false;
    bool useTSC_ = false;
    double countSpeed_ = 1.0;
    int minAccuracy_;
    int minResolution_;
    int accuracy_ = 0;
    int resolution_;
    ThreadClass threadClass_ = ThreadClass::tcNormal;
    ThreadPriority threadPriority_ = ThreadPriority::Normal;
    std::unique_ptr<CounterSampler> sampler_;
};

// Whole milliseconds in a counter difference: rounded to the nearest
// microsecond (ties to even) first, then truncated toward zero.
std::int64_t CountsToMilliseconds(std::int64_t counts, double countSpeed);

// Whether the processor reports a time-stamp counter through CPUID.
bool DetectTimeStampCounter(TimerPlatform& platform);

}  // namespace chronivel
