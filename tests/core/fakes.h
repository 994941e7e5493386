#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/chronometerobserver.h"
#include "core/localetexts.h"
#include "core/protocollog.h"
#include "core/scheduler.h"
#include "core/timerplatform.h"

namespace chronivel::testing {

// A machine whose clocks move only when the test says so. Sleeping moves
// them by the time slept; the periodic timer fires on Tick().
class FakeTimerPlatform final : public TimerPlatform {
public:
    std::atomic<std::int64_t> counter{1'000'000'000};
    std::int64_t frequency = 1'000'000;  // one count a microsecond
    std::atomic<std::int64_t> tsc{5'000'000'000};
    std::int64_t tscPerMillisecond = 2'400'000;

    bool cpuidUsable = true;
    std::uint32_t maxLeaf = 13;
    std::uint32_t leaf1Edx = 1u << 4;  // time-stamp counter present

    std::vector<std::string> calls;  // sleeps and priority changes, in order

    void Advance(std::int64_t ms)
    {
        counter += ms * frequency / 1000;
        tsc += ms * tscPerMillisecond;
    }

    std::int64_t PerformanceCounter() override { return counter; }
    std::int64_t PerformanceFrequency() override { return frequency; }
    bool CpuidUsable() override { return cpuidUsable; }
    CpuidResult Cpuid(std::uint32_t leaf) override
    {
        CpuidResult r;
        if (leaf == 0) r.eax = maxLeaf;
        if (leaf == 1) r.edx = leaf1Edx;
        return r;
    }
    std::int64_t TimeStampCounter() override { return tsc; }
    void SleepMilliseconds(int ms) override
    {
        calls.push_back("sleep " + std::to_string(ms));
        Advance(ms);
    }
    void RaisePriorityForCalibration() override { calls.push_back("raise"); }
    void RestorePriorityAfterCalibration() override { calls.push_back("restore"); }
    int MinAccuracy() override { return 1; }
    int MinResolution() override { return 2; }

    // The sampling thread's side.
    void ApplyCurrentThreadPriority(ThreadClass threadClass, ThreadPriority priority) override
    {
        std::lock_guard lock(mutex_);
        applied_.emplace_back(threadClass, priority);
        changed_.notify_all();
    }
    std::unique_ptr<PeriodicWait> StartPeriodicWait(int periodMs, int accuracyMs) override
    {
        std::lock_guard lock(mutex_);
        timers_.emplace_back(periodMs, accuracyMs);
        changed_.notify_all();
        return std::make_unique<FakeWait>(*this);
    }

    // One period of the periodic timer passes.
    void Tick()
    {
        std::lock_guard lock(mutex_);
        ++pendingTicks_;
        changed_.notify_all();
    }
    // From now on every wait returns at once, so a sampling thread can always end.
    void Open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    std::vector<std::pair<int, int>> TimersStarted()
    {
        std::lock_guard lock(mutex_);
        return timers_;
    }
    std::vector<std::pair<ThreadClass, ThreadPriority>> PrioritiesApplied()
    {
        std::lock_guard lock(mutex_);
        return applied_;
    }
    // Waits until the sampling thread has started `count` timers.
    void AwaitTimers(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return timers_.size() >= count; });
    }

private:
    class FakeWait final : public PeriodicWait {
    public:
        explicit FakeWait(FakeTimerPlatform& platform) : platform_(platform) {}
        void Wait() override
        {
            std::unique_lock lock(platform_.mutex_);
            platform_.changed_.wait(lock, [&] { return platform_.pendingTicks_ > 0 || platform_.open_; });
            if (platform_.pendingTicks_ > 0) --platform_.pendingTicks_;
        }

    private:
        FakeTimerPlatform& platform_;
    };

    std::mutex mutex_;
    std::condition_variable changed_;
    int pendingTicks_ = 0;
    bool open_ = false;
    std::vector<std::pair<int, int>> timers_;
    std::vector<std::pair<ThreadClass, ThreadPriority>> applied_;
};

class FixedLocale final : public LocaleTexts {
public:
    DateTimeTexts Now() const override { return {"14:05:09", "Mo", "07.12.26"}; }
};

// Remembers everything the chronometer asked of its windows.
class RecordingObserver final : public ChronometerObserver {
public:
    std::int64_t shownValue = -1;
    std::uint32_t changedDigits = 0;
    std::vector<EventSound> sounds;
    int beeps = 0;
    int restores = 0;
    bool protocolOpens = true;
    std::vector<std::vector<std::string>> protocol;
    std::vector<std::int64_t> secondMonitorLaps;
    std::vector<std::string> secondMonitorLabels;

    void TimeShown(std::int64_t value, std::uint32_t changed) override
    {
        shownValue = value;
        changedDigits = changed;
    }
    void ControlsChanged() override {}
    void PlaySound(EventSound sound) override { sounds.push_back(sound); }
    void WarningBeep() override { ++beeps; }
    void RestoreApplication() override { ++restores; }
    bool WriteProtocol(const std::vector<std::string>& lines) override
    {
        if (protocolOpens) protocol.push_back(lines);
        return protocolOpens;
    }
    void ShowSecondMonitorLap(std::int64_t value) override { secondMonitorLaps.push_back(value); }
    void SetSecondMonitorLapLabel(const std::string& caption) override { secondMonitorLabels.push_back(caption); }
};

// Callbacks that run when the test moves the time on.
class FakeScheduler final : public Scheduler {
public:
    std::int64_t now = 0;  // ms

    Task After(int ms, std::function<void()> callback) override
    {
        pending[++last] = {now + ms, std::move(callback)};
        return last;
    }
    void Cancel(Task task) override { pending.erase(task); }
    // The test is every thread here: a post waits for the next Advance.
    void Post(std::function<void()> callback) override { After(0, std::move(callback)); }
    // Runs, in the order they fall due, the callbacks due within `ms`.
    void Advance(std::int64_t ms)
    {
        const std::int64_t until = now + ms;
        for (;;) {
            auto next = pending.end();
            for (auto it = pending.begin(); it != pending.end(); ++it)
                if (it->second.first <= until && (next == pending.end() || it->second.first < next->second.first))
                    next = it;
            if (next == pending.end()) break;
            now = next->second.first;
            const std::function<void()> callback = std::move(next->second.second);
            pending.erase(next);
            callback();
        }
        now = until;
    }

    std::map<Task, std::pair<std::int64_t, std::function<void()>>> pending;
    Task last = 0;
};

// A protocol file in memory.
class MemoryProtocol final : public ProtocolLog {
public:
    bool opens = true;
    std::vector<std::pair<std::string, std::vector<std::string>>> runs;  // path, lines

    bool Append(const std::string& path, const std::vector<std::string>& run) override
    {
        if (opens) runs.emplace_back(path, run);
        return opens;
    }
    bool Exists(const std::string& path) const override
    {
        return std::any_of(runs.begin(), runs.end(), [&](const auto& kept) { return kept.first == path; });
    }
};

}  // namespace chronivel::testing
