#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

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

// Asks the copy listening on `channel` to come to the front; true once it
// says it has. Gives up after `patience`: a copy that hangs holds its lock,
// but must not hold up this start for ever.
bool AskToComeToFront(const QString& channel, std::chrono::milliseconds patience);

// For a start that finds the lock of its title held elsewhere: brings that
// copy to the front, or, when it does not answer, says in a line and a
// message box that it is running. Returns the exit status.
int GiveWayToRunningCopy(const InstanceLock& lock, const QString& title);

// Shows a window, even a minimised one, above the others, with the keyboard focus.
void BringToFront(QWidget& window);

}  // namespace chronivel
