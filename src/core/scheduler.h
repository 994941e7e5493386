#pragma once

#include <functional>

namespace chronivel {

// Calls back later, on the thread that asked: the core keeps no timers of its own.
class Scheduler {
public:
    using Task = int;

    virtual ~Scheduler() = default;
    // Calls `callback` once, `ms` from now.
    virtual Task After(int ms, std::function<void()> callback) = 0;
    // Does nothing for a task that has run or was cancelled already.
    virtual void Cancel(Task task) = 0;
};

}  // namespace chronivel
