// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qtscheduler.h"

#include <QTimer>

namespace chronivel {

QtScheduler::QtScheduler(QObject* parent) : QObject(parent)
{
    // One thread, kept: work runs in the order it was given.
    aside_.setMaxThreadCount(1);
    aside_.setExpiryTimeout(-1);
}

QtScheduler::~QtScheduler()
{
    aside_.waitForDone();
    for (const auto& [task, timer] : pending_) delete timer;
}

Scheduler::Task QtScheduler::After(int ms, std::function<void()> callback)
{
    const Task task = ++next_;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this, task, timer, callback = std::move(callback)] {
        pending_.erase(task);
        timer->deleteLater();
        callback();
    });
    pending_[task] = timer;
    timer->start(ms);
    return task;
}

void QtScheduler::Cancel(Task task)
{
    const auto found = pending_.find(task);
    if (found == pending_.end()) return;
    delete found->second;
    pending_.erase(found);
}

void QtScheduler::Post(std::function<void()> callback)
{
    QMetaObject::invokeMethod(this, std::move(callback), Qt::QueuedConnection);
}

void QtScheduler::Aside(std::function<void()> work, std::function<void()> done)
{
    aside_.start([this, work = std::move(work), done = std::move(done)]() mutable {
        work();
        {
            const std::lock_guard lock(finishedMutex_);
            finished_.push_back(std::move(done));
        }
        QMetaObject::invokeMethod(this, &QtScheduler::CallFinished, Qt::QueuedConnection);
    });
}

void QtScheduler::CallFinished()
{
    for (;;) {
        std::function<void()> done;
        {
            const std::lock_guard lock(finishedMutex_);
            if (finished_.empty()) return;
            done = std::move(finished_.front());
            finished_.pop_front();
        }
        done();
    }
}

void QtScheduler::FinishAside()
{
    for (;;) {
        aside_.waitForDone();
        {
            const std::lock_guard lock(finishedMutex_);
            if (finished_.empty()) return;
        }
        CallFinished();  // may give more work
    }
}

}  // namespace chronivel
