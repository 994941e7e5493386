#include "core/mmtimerthread.h"

#include <algorithm>
#include <memory>

namespace chronivel {

TMMTimerThread::TMMTimerThread(TimerPlatform& platform, bool useTimeStampCounter, int periodMs,
                               int accuracyMs, ThreadClass threadClass, ThreadPriority priority)
    : platform_(platform),
      useTimeStampCounter_(useTimeStampCounter),
      period_(periodMs),
      accuracy_(accuracyMs),
      threadClass_(threadClass),
      threadPriority_(priority),
      thread_([this] { Run(); })
{
}

TMMTimerThread::~TMMTimerThread()
{
    terminated_ = true;
    thread_.join();
}

void TMMTimerThread::SetPeriod(int ms)
{
    period_ = ms;
    restartPending_ = true;
}

void TMMTimerThread::SetAccuracy(int ms)
{
    accuracy_ = ms;
    restartPending_ = true;
}

void TMMTimerThread::SetPriority(ThreadClass threadClass, ThreadPriority priority)
{
    threadClass_ = threadClass;
    threadPriority_ = priority;
    priorityPending_ = true;
}

std::int64_t TMMTimerThread::LastCount() const
{
    std::shared_lock lock(countLock_);
    return lastCount_;
}

void TMMTimerThread::WaitForTick()
{
    std::unique_lock lock(tickLock_);
    tickSignal_.wait(lock, [this] { return ticked_; });
    ticked_ = false;
}

std::int64_t TMMTimerThread::ReadCounter()
{
    return useTimeStampCounter_ ? platform_.TimeStampCounter() : platform_.PerformanceCounter();
}

void TMMTimerThread::Run()
{
    std::unique_ptr<PeriodicWait> timer;
    while (!terminated_) {
        if (priorityPending_.exchange(false))
            platform_.ApplyCurrentThreadPriority(threadClass_, threadPriority_);
        if (restartPending_.exchange(false)) {
            timer.reset();
            // A period of zero or less would make the timer spin.
            timer = platform_.StartPeriodicWait(std::max(period_.load(), 1), std::max(accuracy_.load(), 0));
        }
        timer->Wait();
        const std::int64_t count = ReadCounter();
        {
            std::unique_lock lock(countLock_);
            lastCount_ = count;
        }
        {
            std::lock_guard lock(tickLock_);
            ticked_ = true;
        }
        tickSignal_.notify_all();
    }
}

}  // namespace chronivel
