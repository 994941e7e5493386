// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the serial adapter's tests and benchmark share: a pseudo-terminal to
// open as a port, the program's counter on the shim's clock, and a sink that
// records what the event thread delivers.
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/serialline.h"
#include "platform/bootclock.h"

namespace serialtest {

// Conditions are waited for this long; a fault shows as a miss, never as a hang.
inline constexpr std::chrono::seconds Patience{10};

// The program's counter: CLOCK_MONOTONIC ns and the offset, as on Linux.
inline std::int64_t Counter()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return chronivel::BootCounterOffset + std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Hands the adapter's findings over on its event thread itself, for tests of
// the adapter alone.
inline void RunHere(std::function<void()> call)
{
    call();
}

// The counter reading at a moment the shim reports in CLOCK_MONOTONIC ns.
inline std::int64_t CounterAt(long long ns)
{
    return chronivel::BootCounterOffset + ns;
}

// A pseudo-terminal pair; the slave is the port the adapter opens.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            char name[64] = {};
            if (ptsname_r(master_, name, sizeof name) == 0) slave_ = name;
        }
    }
    ~PseudoTerminal()
    {
        if (master_ >= 0) close(master_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Valid() const { return master_ >= 0 && !slave_.empty(); }
    // The far end goes away: the slave hangs up.
    void CloseMaster()
    {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }
    // termios requests on the master read and set the slave's settings.
    int Master() const { return master_; }
    const std::string& Slave() const { return slave_; }

private:
    int master_ = -1;
    std::string slave_;
};

// Records batches and losses. Hold() makes the next Deliver keep the event
// thread until Release(), as a slow consumer would.
class Recorder final : public chronivel::ComEventSink {
public:
    void Deliver(const chronivel::ComEventBatch& batch) override
    {
        std::unique_lock lock(mutex_);
        batches_.push_back(batch);
        changed_.notify_all();
        changed_.wait(lock, [this] { return !holding_; });
    }

    void Lost(const std::string& reason) override
    {
        std::lock_guard lock(mutex_);
        losses_.push_back(reason);
        changed_.notify_all();
    }

    void Hold()
    {
        std::lock_guard lock(mutex_);
        holding_ = true;
    }
    void Release()
    {
        std::lock_guard lock(mutex_);
        holding_ = false;
        changed_.notify_all();
    }

    // Whether `count` batches have come within the patience.
    bool WaitForBatches(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, Patience, [&] { return batches_.size() >= count; });
    }
    bool WaitForLoss()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, Patience, [&] { return !losses_.empty(); });
    }

    std::vector<chronivel::ComEventBatch> Batches()
    {
        std::lock_guard lock(mutex_);
        return batches_;
    }
    std::vector<std::string> Losses()
    {
        std::lock_guard lock(mutex_);
        return losses_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<chronivel::ComEventBatch> batches_;
    std::vector<std::string> losses_;
    bool holding_ = false;
};

// How many of this process's threads carry the names of the adapter's threads.
inline int EventThreads()
{
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* task = readdir(tasks)) {
            if (task->d_name[0] == '.') continue;
            std::ifstream comm(std::string("/proc/self/task/") + task->d_name + "/comm");
            std::string name;
            std::getline(comm, name);
            if (name == "serial lines" || name == "serial guard") ++count;
        }
        closedir(tasks);
    }
    return count;
}

// Polls `condition` until it holds or the patience runs out.
template <typename Condition>
bool Eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        usleep(200);
    }
    return true;
}

}  // namespace serialtest
