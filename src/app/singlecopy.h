// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace chronivel {

class InstanceLock;

// The copy that holds the lock of its title listens on the lock's channel: a
// later start of the same title asks it to come to the front there, as
// desktop programs do, and ends.
class FrontRequests final : public QObject {
public:
    FrontRequests(const QString& channel, std::function<void()> comeToFront);
    // Why later starts cannot reach this copy; empty while it listens.
    QString Problem() const { return problem_; }

private:
    void Answer();

    QLocalServer server_;
    std::function<void()> comeToFront_;
    QString problem_;
};

// For a start that finds the lock of its title held elsewhere: asks that copy
// to come to the front, and returns the exit status once it says it has. A
// copy that hangs keeps its lock but must not hold up this start for ever:
// after a short wait, a line and a message box say that it runs, and the
// status is a failure. Returns nothing if the lock comes free meanwhile (the
// other copy was ending): this start then runs.
std::optional<int> GiveWayToRunningCopy(InstanceLock& lock, const QString& title);

// Shows a window, even a minimised one, above the others, with the keyboard focus.
void BringToFront(QWidget& window);

}  // namespace chronivel
