// SPDX-License-Identifier: GPL-3.0-or-later
// Windows time services: the performance counter, the multimedia timer and
// the process and thread priorities.
#include "platform/win32.h"
#include <mmsystem.h>

#include <algorithm>
#include <utility>

#include "platform/bootclock.h"
#include "platform/samplingthread.h"
#include "platform/systemtimerplatform.h"
#include "platform/x86processor.h"

namespace chronivel {
namespace {

// Wakes the sampling thread at each period boundary. The multimedia timer sets
// an auto-reset event, so boundaries missed while the thread was busy collapse
// into one signal instead of a burst of them.
class Win32PeriodicWait final : public PeriodicWait {
public:
    Win32PeriodicWait(UINT periodMs, UINT accuracyMs) : periodMs_(periodMs)
    {
        event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (event_ == nullptr)
            return;  // Wait() falls back to sleeping.
        timerId_ = timeSetEvent(periodMs, accuracyMs,
                                reinterpret_cast<LPTIMECALLBACK>(reinterpret_cast<DWORD_PTR>(event_)), 0,
                                TIME_PERIODIC | TIME_CALLBACK_EVENT_SET);
        if (timerId_ != 0)
            return;
        // The multimedia timer can run out (there are only so many per process)
        // or refuse a period above its maximum; a waitable timer keeps the same
        // absolute, non-accumulating boundaries, only with coarser timing.
        CloseHandle(event_);
        event_ = CreateWaitableTimerW(nullptr, FALSE, nullptr);
        if (event_ == nullptr)
            return;
        LARGE_INTEGER due;
        due.QuadPart = -static_cast<LONGLONG>(periodMs) * 10000;  // relative, in 100 ns
        if (!SetWaitableTimer(event_, &due, static_cast<LONG>(periodMs), nullptr, nullptr, FALSE)) {
            CloseHandle(event_);
            event_ = nullptr;
        }
    }

    ~Win32PeriodicWait() override
    {
        if (timerId_ != 0)
            timeKillEvent(timerId_);
        else if (event_ != nullptr)
            CancelWaitableTimer(event_);
        if (event_ != nullptr)
            CloseHandle(event_);
    }

    Win32PeriodicWait(const Win32PeriodicWait&) = delete;
    Win32PeriodicWait& operator=(const Win32PeriodicWait&) = delete;

    void Wait() override
    {
        // With no timer at all, a plain sleep at least never blocks for good;
        // its boundaries drift by the time spent between waits.
        if (event_ == nullptr || WaitForSingleObject(event_, INFINITE) != WAIT_OBJECT_0)
            Sleep(periodMs_);
    }

private:
    UINT periodMs_;
    HANDLE event_ = nullptr;
    UINT timerId_ = 0;
};

// Both in the order of the enums.
constexpr int kThreadPriorities[] = {
    THREAD_PRIORITY_IDLE,   THREAD_PRIORITY_LOWEST,       THREAD_PRIORITY_BELOW_NORMAL,
    THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
    THREAD_PRIORITY_TIME_CRITICAL,
};
constexpr DWORD kPriorityClasses[] = {
    IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS, REALTIME_PRIORITY_CLASS,
};

class Win32TimerPlatform final : public TimerPlatform, private SamplingSystem {
public:
    Win32TimerPlatform()
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);  // cannot fail since Windows XP
        frequency_ = frequency.QuadPart;
    }

    std::int64_t PerformanceCounter() override
    {
        LARGE_INTEGER count;
        QueryPerformanceCounter(&count);
        return BootCounterOffset + count.QuadPart;
    }

    std::int64_t PerformanceFrequency() override { return frequency_; }

    bool CpuidUsable() override { return x86::CpuidUsable(); }
    CpuidResult Cpuid(std::uint32_t leaf) override { return x86::Cpuid(leaf); }
    std::int64_t TimeStampCounter() override { return x86::TimeStampCounter(); }

    void SleepMilliseconds(int ms) override { Sleep(static_cast<DWORD>(std::max(ms, 0))); }

    void RaisePriorityForCalibration() override
    {
        savedClass_ = GetPriorityClass(GetCurrentProcess());
        savedPriority_ = GetThreadPriority(GetCurrentThread());
        raised_ = true;
        SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    }

    void RestorePriorityAfterCalibration() override
    {
        if (!raised_)
            return;
        raised_ = false;
        // The thread first, so it never runs time-critical in a lowered class.
        if (savedPriority_ != THREAD_PRIORITY_ERROR_RETURN)
            SetThreadPriority(GetCurrentThread(), savedPriority_);
        if (savedClass_ != 0)
            SetPriorityClass(GetCurrentProcess(), savedClass_);
    }

    // The NT family's multimedia timer honours an accuracy of 1 ms.
    int MinAccuracy() override { return 1; }

    int MinResolution() override
    {
        TIMECAPS caps;
        if (timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR || caps.wPeriodMin == 0)
            return 1;
        return static_cast<int>(caps.wPeriodMin);
    }

    std::unique_ptr<CounterSampler> StartSampler(CounterReader readCounter, const SamplerSettings& settings) override
    {
        SamplingSystem& system = *this;  // a private base: only this class hands it out
        return std::make_unique<SamplingThread>(system, std::move(readCounter), settings);
    }

private:
    // The sampling thread's side, called on that thread.
    void ApplyCurrentThreadPriority(ThreadClass threadClass, ThreadPriority priority) override
    {
        // Windows gives a priority class only to a whole process. A refusal (no
        // right to run real-time, say) only leaves the thread a little slower.
        SetPriorityClass(GetCurrentProcess(), kPriorityClasses[static_cast<int>(threadClass)]);
        SetThreadPriority(GetCurrentThread(), kThreadPriorities[static_cast<int>(priority)]);
    }

    std::unique_ptr<PeriodicWait> StartPeriodicWait(int periodMs, int accuracyMs) override
    {
        const int period = std::max(periodMs, MinResolution());
        const int accuracy = std::max(accuracyMs, 0);
        return std::make_unique<Win32PeriodicWait>(static_cast<UINT>(period), static_cast<UINT>(accuracy));
    }

    std::int64_t frequency_ = 0;
    bool raised_ = false;
    DWORD savedClass_ = 0;
    int savedPriority_ = THREAD_PRIORITY_ERROR_RETURN;
};

}  // namespace

std::unique_ptr<TimerPlatform> MakeSystemTimerPlatform()
{
    return std::make_unique<Win32TimerPlatform>();
}

}  // namespace chronivel
