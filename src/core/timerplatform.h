// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace chronivel {

// Priority class of the time source's sampling thread.
enum class ThreadClass { tcIdle, tcNormal, tcHigh, tcRealTime };

// Priority of that thread within its class.
enum class ThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

struct CpuidResult {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// How the sampling thread runs: the period and accuracy of its periodic timer
// and its priority.
struct SamplerSettings {
    int periodMs = 1;    // at least 1: a shorter period would make the timer spin
    int accuracyMs = 0;  // at least 0
    ThreadClass threadClass = ThreadClass::tcNormal;
    ThreadPriority priority = ThreadPriority::Normal;
};

// Reads the counter for the sampling thread, on that thread.
using CounterReader = std::function<std::int64_t()>;

// The time source's sampling thread: at every period of a periodic timer it
// reads the counter and keeps the reading for other threads. Destroying it
// stops the thread and waits for it, which takes up to one period, because the
// thread only looks for the request between waits.
class CounterSampler {
public:
    virtual ~CounterSampler() = default;

    // Take effect at the thread's next pass.
    virtual void SetTimer(int periodMs, int accuracyMs) = 0;
    virtual void SetPriority(ThreadClass threadClass, ThreadPriority priority) = 0;

    virtual std::int64_t LastCount() const = 0;
    // Blocks until the thread has taken a sample since the last call.
    virtual void WaitForTick() = 0;
};

// What the operating system and the processor give the time source. Reading
// the counters must be safe from any thread; the rest is called from the
// thread that owns the time source.
class TimerPlatform {
public:
    virtual ~TimerPlatform() = default;

    // The system's high-resolution monotonic counter and its counts per second.
    virtual std::int64_t PerformanceCounter() = 0;
    virtual std::int64_t PerformanceFrequency() = 0;

    // Processor identification, for detecting the time-stamp counter.
    // CpuidUsable is false where the processor has no CPUID instruction.
    virtual bool CpuidUsable() = 0;
    virtual CpuidResult Cpuid(std::uint32_t leaf) = 0;
    virtual std::int64_t TimeStampCounter() = 0;

    // Calibration, on the calling thread: a plain sleep, and the highest
    // priority the system grants for the measurement, then the old one back.
    virtual void SleepMilliseconds(int ms) = 0;
    virtual void RaisePriorityForCalibration() = 0;
    virtual void RestorePriorityAfterCalibration() = 0;

    // Limits of the periodic timer, in milliseconds.
    virtual int MinAccuracy() = 0;
    virtual int MinResolution() = 0;

    // Starts the sampling thread on a thread of the platform's own. It applies
    // its priority at its first pass.
    virtual std::unique_ptr<CounterSampler> StartSampler(CounterReader readCounter,
                                                         const SamplerSettings& settings) = 0;
};

}  // namespace chronivel
