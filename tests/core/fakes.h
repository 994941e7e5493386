// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/chronometerobserver.h"
#include "core/inputtime.h"
#include "core/localetexts.h"
#include "core/protocol.h"
#include "core/protocollog.h"
#include "core/runnumbers.h"
#include "core/scheduler.h"
#include "core/timerplatform.h"

namespace chronivel::testing {

// A machine whose clocks move only when the test says so. Sleeping moves
// them by the time slept; the sampler's timer fires on SamplerTick().
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

    // The sampling thread, without a thread: the test takes its samples with
    // SamplerTick(), and every sampler started stays here with what it was told.
    struct Sampler {
        CounterReader readCounter;
        SamplerSettings settings;  // as started, then as changed
        std::int64_t lastCount = 0;
        int unseenTicks = 0;
        bool running = true;
    };
    std::vector<Sampler> samplers;

    std::unique_ptr<CounterSampler> StartSampler(CounterReader readCounter, const SamplerSettings& settings) override
    {
        samplers.push_back({std::move(readCounter), settings});
        return std::make_unique<FakeSampler>(*this, samplers.size() - 1);
    }
    // One period of the running sampler's timer passes.
    void SamplerTick()
    {
        Sampler& sampler = samplers.back();
        sampler.lastCount = sampler.readCounter();
        ++sampler.unseenTicks;
    }

private:
    class FakeSampler final : public CounterSampler {
    public:
        FakeSampler(FakeTimerPlatform& platform, std::size_t index) : platform_(platform), index_(index) {}
        ~FakeSampler() override { Get().running = false; }

        void SetTimer(int periodMs, int accuracyMs) override
        {
            Get().settings.periodMs = periodMs;
            Get().settings.accuracyMs = accuracyMs;
        }
        void SetPriority(ThreadClass threadClass, ThreadPriority priority) override
        {
            Get().settings.threadClass = threadClass;
            Get().settings.priority = priority;
        }
        std::int64_t LastCount() const override { return platform_.samplers[index_].lastCount; }
        void WaitForTick() override
        {
            // A real sampler would block for good: nothing ticks while the test waits.
            if (Get().unseenTicks == 0) throw std::logic_error("WaitForTick without a SamplerTick");
            Get().unseenTicks = 0;
        }

    private:
        Sampler& Get() { return platform_.samplers[index_]; }

        FakeTimerPlatform& platform_;
        const std::size_t index_;
    };
};

// The local clock of the fakes: UTC, with no change of daylight saving time.
inline std::int64_t UtcMoment(std::int64_t epochMs, int days, int secondOfDay)
{
    constexpr std::int64_t dayMs = 86'400'000;
    const std::int64_t midnight = epochMs - (epochMs % dayMs + dayMs) % dayMs;
    return midnight + days * dayMs + secondOfDay * std::int64_t{1000};
}

class FixedLocale final : public LocaleTexts {
public:
    std::int64_t epochMs = 1'796'652'309'000;  // the wall clock, which moves only when the test sets it
    std::string shortDate = "07.12.26";
    DateTimeTexts Now() const override { return {"14:05:09", "Mo", shortDate, epochMs}; }
    std::int64_t LocalMoment(std::int64_t epochMs, int days, int secondOfDay) const override
    {
        return UtcMoment(epochMs, days, secondOfDay);
    }
};

// The window system's input clock, which moves only when the test says so.
class FakeInputClock final : public InputEventClock {
public:
    std::int64_t now = 0;  // microseconds
    std::int64_t step = 1000;
    std::int64_t NowMicroseconds() override { return now; }
    std::int64_t StepMicroseconds() override { return step; }
};

// Remembers everything the chronometer asked of its windows.
class RecordingObserver final : public ChronometerObserver {
public:
    std::int64_t shownValue = -1;
    std::uint32_t changedDigits = 0;
    std::vector<EventSound> sounds;
    int restores = 0;
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
    void RestoreApplication() override { ++restores; }
    void WriteProtocol(const std::vector<std::string>& lines) override { protocol.push_back(lines); }
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
    // Work aside waits for the next Advance too, or for RunAside while the test holds it.
    void Aside(std::function<void()> work, std::function<void()> done) override
    {
        aside.emplace_back(std::move(work), std::move(done));
    }
    void FinishAside() override { RunAside(); }
    // Runs the work given aside, in order, each `done` right after its work,
    // and the work that those give.
    void RunAside()
    {
        while (RunAsideOnce()) {
        }
    }
    // Runs the first work given aside and its `done`; false when there was none.
    bool RunAsideOnce()
    {
        if (aside.empty()) return false;
        auto [work, done] = std::move(aside.front());
        aside.pop_front();
        work();
        done();
        return true;
    }
    // Runs the work aside unless held, then, in the order they fall due, the callbacks due within `ms`.
    void Advance(std::int64_t ms)
    {
        const std::int64_t until = now + ms;
        for (;;) {
            if (!holdAside) RunAside();
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
    std::deque<std::pair<std::function<void()>, std::function<void()>>> aside;
    bool holdAside = false;  // a slow disk: nothing written aside until RunAside
};

// A protocol file in memory.
class MemoryProtocol final : public ProtocolLog {
public:
    std::string failure;  // the system's reason while the file cannot be written
    std::string unwritable;  // a path whose folder is missing or read-only
    std::vector<std::pair<std::string, std::vector<std::string>>> runs;  // path, lines
    std::map<std::string, std::string> replaced;  // what Replace put before a file's runs

    std::string Append(const std::string& path, const std::vector<std::string>& run) override
    {
        if (path == unwritable) return "Permission denied";
        if (failure.empty()) runs.emplace_back(path, run);
        return failure;
    }
    bool EndsWith(const std::string& path, const std::vector<std::string>& run) const override
    {
        for (auto kept = runs.rbegin(); kept != runs.rend(); ++kept)
            if (kept->first == path) return kept->second == run;
        return false;
    }
    std::string Read(const std::string& path) const override
    {
        const auto found = replaced.find(path);
        std::string bytes = found != replaced.end() ? found->second : std::string();
        for (const auto& [kept, run] : runs)
            if (kept == path) bytes += ProtocolBlock(run);
        return bytes;
    }
    void Replace(const std::string& path, std::string_view bytes) override
    {
        std::erase_if(runs, [&](const auto& kept) { return kept.first == path; });
        replaced[path] = bytes;
    }
    bool Exists(const std::string& path) const override
    {
        return replaced.contains(path) || std::any_of(runs.begin(), runs.end(), [&](const auto& kept) { return kept.first == path; });
    }
    std::string WriteProblem(const std::string& path) const override
    {
        return path == unwritable ? "Permission denied" : failure;
    }
    std::int32_t HighestRunNumberOn(const std::string& path, const std::string& shortDate) const override
    {
        std::int32_t highest = 0;
        for (const auto& [kept, run] : runs)
            if (kept == path && !run.empty())
                highest = std::max(highest, RunNumberOn(run.front(), shortDate).value_or(0));
        return highest;
    }
};

// A wall clock that moves with the scheduler's time, and jumps when the test
// says so (a suspend, the user setting the clock). Local time is UTC here.
class WallClockLocale final : public LocaleTexts {
public:
    WallClockLocale(const FakeScheduler& scheduler, std::int64_t startMs) : scheduler_(scheduler), start_(startMs) {}
    std::int64_t jumped = 0;  // ms the wall clock moved without the scheduler

    std::int64_t EpochMs() const { return start_ + scheduler_.now + jumped; }
    DateTimeTexts Now() const override { return {"", "", "", EpochMs()}; }
    std::int64_t LocalMoment(std::int64_t epochMs, int days, int secondOfDay) const override
    {
        return UtcMoment(epochMs, days, secondOfDay);
    }

private:
    const FakeScheduler& scheduler_;
    const std::int64_t start_;
};

}  // namespace chronivel::testing
