// SPDX-License-Identifier: GPL-3.0-or-later
// The sampling thread on a system whose timer fires only when the test says so.
#include "platform/samplingthread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

namespace chronivel {
namespace {

class FakeSamplingSystem final : public SamplingSystem {
public:
    using Timers = std::vector<std::pair<int, int>>;  // period, accuracy
    using Priorities = std::vector<std::pair<ThreadClass, ThreadPriority>>;

    void ApplyCurrentThreadPriority(ThreadClass threadClass, ThreadPriority priority) override
    {
        std::lock_guard lock(mutex_);
        applied_.emplace_back(threadClass, priority);
    }
    std::unique_ptr<PeriodicWait> StartPeriodicWait(int periodMs, int accuracyMs) override
    {
        std::lock_guard lock(mutex_);
        timers_.emplace_back(periodMs, accuracyMs);
        return std::make_unique<FakeWait>(*this);
    }

    // One period of the periodic timer passes.
    void Tick()
    {
        std::lock_guard lock(mutex_);
        ++pendingTicks_;
        changed_.notify_all();
    }
    // From now on every wait returns at once, so the thread can always end.
    void Open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

    Timers TimersStarted()
    {
        std::lock_guard lock(mutex_);
        return timers_;
    }
    Priorities PrioritiesApplied()
    {
        std::lock_guard lock(mutex_);
        return applied_;
    }

private:
    class FakeWait final : public PeriodicWait {
    public:
        explicit FakeWait(FakeSamplingSystem& system) : system_(system) {}
        void Wait() override
        {
            std::unique_lock lock(system_.mutex_);
            system_.changed_.wait(lock, [&] { return system_.pendingTicks_ > 0 || system_.open_; });
            if (system_.pendingTicks_ > 0) --system_.pendingTicks_;
        }

    private:
        FakeSamplingSystem& system_;
    };

    std::mutex mutex_;
    std::condition_variable changed_;
    int pendingTicks_ = 0;
    bool open_ = false;
    Timers timers_;
    Priorities applied_;
};

using Timers = FakeSamplingSystem::Timers;
using Priorities = FakeSamplingSystem::Priorities;

TEST(SamplingThread, ReadsTheCounterEachPeriodAndTakesNewSettingsBetweenWaits)
{
    FakeSamplingSystem system;
    std::atomic<std::int64_t> counter{0};
    {
        // Made after the thread, so the waits are open before it is stopped.
        struct OpenOnExit {
            FakeSamplingSystem& system;
            ~OpenOnExit() { system.Open(); }
        };
        SamplingThread thread(system, [&] { return counter.load(); },
                              SamplerSettings{1, 0, ThreadClass::tcNormal, ThreadPriority::Higher});
        OpenOnExit open{system};

        EXPECT_EQ(thread.LastCount(), 0) << "no sample before the first period";
        counter = 123'456'789;
        system.Tick();
        thread.WaitForTick();
        EXPECT_EQ(thread.LastCount(), 123'456'789);
        EXPECT_EQ(system.TimersStarted(), (Timers{{1, 0}}));
        EXPECT_EQ(system.PrioritiesApplied(), (Priorities{{ThreadClass::tcNormal, ThreadPriority::Higher}}));

        thread.SetTimer(5, 2);
        thread.SetPriority(ThreadClass::tcHigh, ThreadPriority::Higher);
        counter = 987'654'321;
        system.Tick();
        thread.WaitForTick();
        EXPECT_EQ(thread.LastCount(), 987'654'321);
        system.Tick();  // a pass later the thread has seen both changes, whenever it saw them
        thread.WaitForTick();
        EXPECT_EQ(system.TimersStarted(), (Timers{{1, 0}, {5, 2}}));
        EXPECT_EQ(system.PrioritiesApplied(), (Priorities{{ThreadClass::tcNormal, ThreadPriority::Higher},
                                                          {ThreadClass::tcHigh, ThreadPriority::Higher}}));
    }  // the thread looks for the stop request between waits
}

}  // namespace
}  // namespace chronivel
