#include "ui/qtscheduler.h"

#include <QTimer>

namespace chronivel {

QtScheduler::~QtScheduler()
{
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

}  // namespace chronivel
