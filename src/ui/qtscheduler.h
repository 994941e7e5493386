#pragma once

#include <QObject>

#include <map>

#include "core/scheduler.h"

class QTimer;

namespace chronivel {

// The model's callbacks on Qt's event loop, one single-shot QTimer each.
class QtScheduler final : public QObject, public Scheduler {
    Q_OBJECT
public:
    using QObject::QObject;
    ~QtScheduler() override;

    Task After(int ms, std::function<void()> callback) override;
    void Cancel(Task task) override;
    void Post(std::function<void()> callback) override;

private:
    std::map<Task, QTimer*> pending_;
    Task next_ = 0;
};

}  // namespace chronivel
