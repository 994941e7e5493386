// SPDX-License-Identifier: GPL-3.0-or-later
// Time services on Linux: CLOCK_MONOTONIC as the high-resolution counter,
// the x86 time-stamp counter where there is one, and clock_nanosleep on
// absolute deadlines for the periodic wake-up.
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <utility>

#include "platform/bootclock.h"
#include "platform/samplingthread.h"
#include "platform/systemtimerplatform.h"
#include "platform/x86processor.h"

namespace chronivel {
namespace {

constexpr std::int64_t NanosecondsPerSecond = 1'000'000'000;

std::int64_t Nanoseconds(const timespec& t)
{
    return std::int64_t{t.tv_sec} * NanosecondsPerSecond + t.tv_nsec;
}

timespec Timespec(std::int64_t ns)
{
    return timespec{static_cast<time_t>(ns / NanosecondsPerSecond), static_cast<long>(ns % NanosecondsPerSecond)};
}

std::int64_t MonotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Nanoseconds(now);
}

class ClockNanosleepWait final : public PeriodicWait {
public:
    ClockNanosleepWait(int periodMs, int accuracyMs)
        : period_(std::int64_t{periodMs} * 1'000'000), next_(MonotonicNow() + period_)
    {
        // The accuracy becomes the thread's timer slack: how late the kernel
        // may wake it to batch wake-ups. Zero asks for the least it allows.
        prctl(PR_SET_TIMERSLACK, accuracyMs > 0 ? static_cast<unsigned long>(accuracyMs) * 1'000'000ul : 1ul);
    }

    void Wait() override
    {
        const timespec deadline = Timespec(next_);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
        }
        // Skip boundaries already past, as a periodic timer's event would.
        const std::int64_t now = MonotonicNow();
        do next_ += period_; while (next_ <= now);
    }

private:
    const std::int64_t period_;
    std::int64_t next_;
};

class LinuxTimerPlatform final : public TimerPlatform, private SamplingSystem {
public:
    std::int64_t PerformanceCounter() override { return BootCounterOffset + MonotonicNow(); }
    std::int64_t PerformanceFrequency() override { return NanosecondsPerSecond; }

    bool CpuidUsable() override { return x86::CpuidUsable(); }
    CpuidResult Cpuid(std::uint32_t leaf) override { return x86::Cpuid(leaf); }
    std::int64_t TimeStampCounter() override { return x86::TimeStampCounter(); }

    void SleepMilliseconds(int ms) override
    {
        const timespec deadline = Timespec(MonotonicNow() + std::int64_t{ms} * 1'000'000);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
        }
    }

    // Real-time scheduling needs a privilege most users lack; without it the
    // calibration runs at normal priority, only a little less exact.
    void RaisePriorityForCalibration() override
    {
        pthread_getschedparam(pthread_self(), &savedPolicy_, &savedParam_);
        sched_param top{};
        top.sched_priority = sched_get_priority_max(SCHED_FIFO);
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &top);
    }
    void RestorePriorityAfterCalibration() override
    {
        pthread_setschedparam(pthread_self(), savedPolicy_, &savedParam_);
    }

    // Linux has no periodic multimedia timer; clock_nanosleep reaches 1 ms.
    int MinAccuracy() override { return 1; }
    int MinResolution() override { return 1; }

    std::unique_ptr<CounterSampler> StartSampler(CounterReader readCounter, const SamplerSettings& settings) override
    {
        SamplingSystem& system = *this;  // a private base: only this class hands it out
        return std::make_unique<SamplingThread>(system, std::move(readCounter), settings);
    }

private:
    // The sampling thread's side, called on that thread.
    //
    // The class picks the scheduling policy, the priority a place within it.
    // What the system refuses (raising without privilege) stays as it was.
    void ApplyCurrentThreadPriority(ThreadClass threadClass, ThreadPriority priority) override
    {
        const int level = static_cast<int>(priority) - static_cast<int>(ThreadPriority::Normal);  // -3..3
        sched_param param{};
        if (threadClass == ThreadClass::tcRealTime) {
            param.sched_priority = priority == ThreadPriority::TimeCritical ? sched_get_priority_max(SCHED_FIFO)
                                                                            : 50 + 10 * level;
            if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0) return;
        }
        const int policy = threadClass == ThreadClass::tcIdle ? SCHED_IDLE : SCHED_OTHER;
        param.sched_priority = 0;
        pthread_setschedparam(pthread_self(), policy, &param);
        const int classNice = threadClass == ThreadClass::tcHigh ? -5 : 0;
        static constexpr int niceOfLevel[] = {19, 10, 5, 0, -5, -10, -20};
        const int nice = std::max(-20, std::min(19, classNice + niceOfLevel[level + 3]));
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), nice);
    }

    std::unique_ptr<PeriodicWait> StartPeriodicWait(int periodMs, int accuracyMs) override
    {
        return std::make_unique<ClockNanosleepWait>(periodMs, accuracyMs);
    }

    int savedPolicy_ = SCHED_OTHER;
    sched_param savedParam_{};
};

}  // namespace

std::unique_ptr<TimerPlatform> MakeSystemTimerPlatform()
{
    return std::make_unique<LinuxTimerPlatform>();
}

}  // namespace chronivel
