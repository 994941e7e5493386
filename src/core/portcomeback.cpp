// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/portcomeback.h"

#include <utility>

namespace chronivel {

PortComeback::PortComeback(SerialPorts& ports, Scheduler& scheduler, std::function<bool()> tryOpen)
    : ports_(ports), scheduler_(scheduler), tryOpen_(std::move(tryOpen))
{
}

PortComeback::~PortComeback()
{
    Stop();
}

void PortComeback::Await(const std::string& device)
{
    Stop();
    waiting_ = true;
    self_ = std::make_shared<PortComeback*>(this);
    std::weak_ptr<PortComeback*> self = self_;
    Scheduler& scheduler = scheduler_;
    watch_ = ports_.WatchFor(device, [&scheduler, self] {
        // On the watch's thread: the rest is done on the scheduler's.
        scheduler.Post([self] {
            if (const std::shared_ptr<PortComeback*> alive = self.lock()) (*alive)->Changed();
        });
    });
    // One look a moment later as well: the device may have come between the
    // failed open and the watch's start, which no event would then tell.
    triesLeft_ = 1;
    LookLater();
}

void PortComeback::Stop()
{
    watch_.reset();  // its thread has ended when this returns
    self_.reset();   // what it posted finds nobody
    if (look_) scheduler_.Cancel(*look_);
    look_.reset();
    waiting_ = false;
}

void PortComeback::Changed()
{
    triesLeft_ = TriesAfterChange;
    if (look_) scheduler_.Cancel(*look_);
    look_.reset();
    Try();
}

void PortComeback::Try()
{
    if (!waiting_) return;
    if (tryOpen_()) {
        Stop();
        return;
    }
    if (!watch_ || --triesLeft_ > 0) LookLater();
}

void PortComeback::LookLater()
{
    look_ = scheduler_.After(LookMs, [this] {
        look_.reset();
        Try();
    });
}

}  // namespace chronivel
