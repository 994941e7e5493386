// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stand-in for the UI thread of TComPort: a thread that runs what is
// posted to it, one function after another.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace serialtest {

class UiThread {
public:
    UiThread() : thread_([this] { Run(); }) {}
    ~UiThread()
    {
        Post({});
        thread_.join();
    }
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    // An empty function ends the thread once what came before has run.
    void Post(std::function<void()> function)
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(function));
        changed_.notify_one();
    }

    // Runs `function` on the thread and waits for it.
    void Call(const std::function<void()>& function)
    {
        std::mutex doneMutex;
        std::condition_variable doneChanged;
        bool done = false;
        Post([&] {
            function();
            std::lock_guard lock(doneMutex);
            done = true;
            doneChanged.notify_one();
        });
        std::unique_lock lock(doneMutex);
        doneChanged.wait(lock, [&] { return done; });
    }

private:
    void Run()
    {
        for (;;) {
            std::function<void()> function;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return !queue_.empty(); });
                function = std::move(queue_.front());
                queue_.pop_front();
            }
            if (!function) return;
            function();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    std::thread thread_;
};

}  // namespace serialtest
