#pragma once

#include <cstdint>
#include <memory>

namespace chronivel {

// Priority class of the time source's sampling thread.
enum class ThreadClass { tcIdle, tcNormal, tcHigh, tcRealTime };

// Priority of that thread within its class.
enum class ThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

struct CpuidResult {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// A periodic wake-up for the sampling thread: each Wait() returns at the next
// period boundary. Boundaries are absolute, so a late pass does not shift the
// ones after it, and missed boundaries are skipped, never made up in a burst.
class PeriodicWait {
public:
    virtual ~PeriodicWait() = default;
    virtual void Wait() = 0;
};

// What the operating system and the processor give the time source. Reading
// the counters must be safe from any thread; the rest is called from the
// thread named in each comment.
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

    // Called on the sampling thread itself.
    virtual void ApplyCurrentThreadPriority(ThreadClass threadClass, ThreadPriority priority) = 0;
    virtual std::unique_ptr<PeriodicWait> StartPeriodicWait(int periodMs, int accuracyMs) = 0;
};

}  // namespace chronivel
