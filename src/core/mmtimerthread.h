#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <thread>

#include "core/timerplatform.h"

namespace chronivel {

// The time source's sampling thread: at every period of a periodic timer it
// reads the counter and keeps the reading for other threads. Stopping it
// takes up to one period, because it only looks for the request between waits.
class TMMTimerThread {
public:
    TMMTimerThread(TimerPlatform& platform, bool useTimeStampCounter, int periodMs, int accuracyMs,
                   ThreadClass threadClass, ThreadPriority priority);
    ~TMMTimerThread();  // stops the thread and waits for it

    TMMTimerThread(const TMMTimerThread&) = delete;
    TMMTimerThread& operator=(const TMMTimerThread&) = delete;

    // Take effect at the thread's next pass.
    void SetPeriod(int ms);
    void SetAccuracy(int ms);
    void SetPriority(ThreadClass threadClass, ThreadPriority priority);

    std::int64_t LastCount() const;
    // Blocks until the thread has taken a sample since the last call.
    void WaitForTick();

private:
    void Run();
    std::int64_t ReadCounter();

    TimerPlatform& platform_;
    const bool useTimeStampCounter_;

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
