// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <thread>

#include "core/timerplatform.h"

namespace chronivel {

// A periodic wake-up for the sampling thread: each Wait() returns at the next
// period boundary. Boundaries are absolute, so a late pass does not shift the
// ones after it, and missed boundaries are skipped, never made up in a burst.
class PeriodicWait {
public:
    virtual ~PeriodicWait() = default;
    virtual void Wait() = 0;
};

// What the sampling thread needs of the system, asked on that thread itself.
class SamplingSystem {
public:
    virtual ~SamplingSystem() = default;
    virtual void ApplyCurrentThreadPriority(ThreadClass threadClass, ThreadPriority priority) = 0;
    virtual std::unique_ptr<PeriodicWait> StartPeriodicWait(int periodMs, int accuracyMs) = 0;
};

// The sampling thread of every system: only its timer and its priorities
// differ from one system to the next.
class SamplingThread final : public CounterSampler {
public:
    SamplingThread(SamplingSystem& system, CounterReader readCounter, const SamplerSettings& settings);
    ~SamplingThread() override;

    SamplingThread(const SamplingThread&) = delete;
    SamplingThread& operator=(const SamplingThread&) = delete;

    void SetTimer(int periodMs, int accuracyMs) override;
    void SetPriority(ThreadClass threadClass, ThreadPriority priority) override;
    std::int64_t LastCount() const override;
    void WaitForTick() override;

private:
    void Run();

    SamplingSystem& system_;
    const CounterReader readCounter_;

    std::atomic<int> period_;
    std::atomic<int> accuracy_;
    std::atomic<bool> restartPending_{true};
    std::atomic<ThreadClass> threadClass_;
    std::atomic<ThreadPriority> threadPriority_;
    std::atomic<bool> priorityPending_{true};
    std::atomic<bool> terminated_{false};

    mutable std::shared_mutex countLock_;
    std::int64_t lastCount_ = 0;

    std::mutex tickLock_;
    std::condition_variable tickSignal_;
    bool ticked_ = false;

    std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace chronivel
