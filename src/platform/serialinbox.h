// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "core/serialline.h"

namespace chronivel {

// Runs a function soon on the scheduler's thread; callable from any thread.
using PostToScheduler = std::function<void(std::function<void()>)>;

// Where a port's event thread leaves what it finds, for the scheduler's
// thread to hand to the port's sink in order: no code of the core runs on
// the event thread. Each batch keeps the counter reading of its edge,
// however late the scheduler's thread gets to it. Made with make_shared: a
// posted hand-over that comes after the port has gone finds nothing.
class SerialInbox final : public ComEventSink, public std::enable_shared_from_this<SerialInbox> {
public:
    SerialInbox(ComEventSink& sink, PostToScheduler post) : sink_(&sink), post_(std::move(post)) {}

    // The event thread.
    void Deliver(const ComEventBatch& batch) override
    {
        {
            std::lock_guard lock(mutex_);
            batches_.push_back(batch);
        }
        Wake();
    }
    void Lost(const std::string& reason) override
    {
        {
            std::lock_guard lock(mutex_);
            lost_ = reason.empty() ? std::string("the device is gone") : reason;
        }
        Wake();
    }

    // The scheduler's thread, once the event thread has ended: what it found
    // still counts; then the sink is never called again.
    void Close()
    {
        for (const ComEventBatch& batch : Take(batches_)) sink_->Deliver(batch);
        sink_ = nullptr;
    }

private:
    void Wake()
    {
        post_([self = weak_from_this()] {
            if (const auto inbox = self.lock()) inbox->Drain();
        });
    }

    void Drain()
    {
        for (const ComEventBatch& batch : Take(batches_)) {
            if (!sink_) return;  // closed by the sink: the rest belongs to no port
            sink_->Deliver(batch);
        }
        const std::string lost = Take(lost_);
        if (sink_ && !lost.empty()) sink_->Lost(lost);
    }

    template <class T>
    T Take(T& found)
    {
        std::lock_guard lock(mutex_);
        return std::exchange(found, {});
    }

    ComEventSink* sink_;  // the scheduler's thread only
    const PostToScheduler post_;
    std::mutex mutex_;
    std::deque<ComEventBatch> batches_;
    std::string lost_;
};

}  // namespace chronivel
