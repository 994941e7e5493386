// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace chronivel {

// Calls back later, on the program's main thread: the core keeps no timers
// or threads of its own.
class Scheduler {
public:
    using Task = int;

    virtual ~Scheduler() = default;
    // Calls `callback` once, `ms` from now.
    virtual Task After(int ms, std::function<void()> callback) = 0;
    // Does nothing for a task that has run or was cancelled already.
    virtual void Cancel(Task task) = 0;
    // Calls `callback` soon on the scheduler's thread; safe from any thread,
    // which is how a device's event thread hands its events over.
    virtual void Post(std::function<void()> callback) = 0;
    // Runs `work` on another thread, one work at a time in the order given,
    // and then `done` on the scheduler's thread: slow writes keep their
    // order without holding up the program.
    virtual void Aside(std::function<void()> work, std::function<void()> done) = 0;
    // Waits for all work given to Aside and calls the `done` of each, here and
    // now, also of work that those calls give: for the end of the program.
    virtual void FinishAside() = 0;
};

}  // namespace chronivel
