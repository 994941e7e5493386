// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QThreadPool>

#include <deque>
#include <map>
#include <mutex>

#include "core/scheduler.h"

class QTimer;

namespace chronivel {

// The model's callbacks on Qt's event loop, one single-shot QTimer each; its
// work aside on one thread of a pool of its own.
class QtScheduler final : public QObject, public Scheduler {
    Q_OBJECT
public:
    explicit QtScheduler(QObject* parent = nullptr);
    ~QtScheduler() override;

    Task After(int ms, std::function<void()> callback) override;
    void Cancel(Task task) override;
    void Post(std::function<void()> callback) override;
    void Aside(std::function<void()> work, std::function<void()> done) override;
    void FinishAside() override;

private:
    // Calls the `done` of each finished work, in order, once.
    void CallFinished();

    std::map<Task, QTimer*> pending_;
    Task next_ = 0;
    QThreadPool aside_;
    std::mutex finishedMutex_;
    std::deque<std::function<void()>> finished_;
};

}  // namespace chronivel
