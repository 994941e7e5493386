// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/samplingthread.h"

#include <utility>

namespace chronivel {

SamplingThread::SamplingThread(SamplingSystem& system, CounterReader readCounter, const SamplerSettings& settings)
    : system_(system),
      readCounter_(std::move(readCounter)),
      period_(settings.periodMs),
      accuracy_(settings.accuracyMs),
      threadClass_(settings.threadClass),
      threadPriority_(settings.priority),
      thread_([this] { Run(); })
{
}

SamplingThread::~SamplingThread()
{
    terminated_ = true;
    thread_.join();
}

void SamplingThread::SetTimer(int periodMs, int accuracyMs)
{
    period_ = periodMs;
    accuracy_ = accuracyMs;
    restartPending_ = true;
}

void SamplingThread::SetPriority(ThreadClass threadClass, ThreadPriority priority)
{
    threadClass_ = threadClass;
    threadPriority_ = priority;
    priorityPending_ = true;
}

std::int64_t SamplingThread::LastCount() const
{
    std::shared_lock lock(countLock_);
    return lastCount_;
}

void SamplingThread::WaitForTick()
{
    std::unique_lock lock(tickLock_);
    tickSignal_.wait(lock, [this] { return ticked_; });
    ticked_ = false;
}

void SamplingThread::Run()
{
    std::unique_ptr<PeriodicWait> timer;
    while (!terminated_) {
        if (priorityPending_.exchange(false)) system_.ApplyCurrentThreadPriority(threadClass_, threadPriority_);
        if (restartPending_.exchange(false)) {
            timer.reset();
            timer = system_.StartPeriodicWait(period_, accuracy_);
        }
        timer->Wait();
        const std::int64_t count = readCounter_();
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
