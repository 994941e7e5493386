// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/singlecopy.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/instancelock.h"
#include "ui/messagebox.h"

namespace chronivel {

namespace {

constexpr char Request[] = "front\n";
constexpr char Reply[] = "ok\n";
constexpr std::chrono::milliseconds Patience{3000};
constexpr int StepMs = 100;

}  // namespace

FrontRequests::FrontRequests(const QString& channel, std::function<void()> comeToFront)
    : comeToFront_(std::move(comeToFront))
{
    // Whoever listened here before us has ended, or the lock would be theirs:
    // a socket left by a crash is taken over.
    QLocalServer::removeServer(channel);
    if (!server_.listen(channel)) {
        problem_ = QObject::tr("later starts cannot bring this copy to the front: %1: %2")
                       .arg(channel, server_.errorString());
        return;
    }
    connect(&server_, &QLocalServer::newConnection, this, &FrontRequests::Answer);
}

void FrontRequests::Answer()
{
    while (QLocalSocket* caller = server_.nextPendingConnection()) {
        connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
        const auto hear = [this, caller] {
            if (!caller->canReadLine()) return;
            if (caller->readLine() == Request) {
                comeToFront_();
                caller->write(Reply);
                caller->flush();
            }
            caller->disconnectFromServer();
        };
        connect(caller, &QLocalSocket::readyRead, this, hear);
        hear();  // the request may have come with the connection
    }
}

std::optional<int> GiveWayToRunningCopy(InstanceLock& lock, const QString& title)
{
    const QString channel = QString::fromStdString(lock.ChannelName());
    const QDeadlineTimer deadline(Patience);
    QLocalSocket socket;
    do {
        // The holder may be starting still and not yet listen, or ending and
        // no longer: ask again until it answers or lets go of the lock.
        if (socket.state() != QLocalSocket::ConnectedState) {
            socket.abort();
            socket.connectToServer(channel);
            if (socket.waitForConnected(StepMs)) socket.write(Request);
            else std::this_thread::sleep_for(std::chrono::milliseconds(StepMs));
        }
        if (socket.state() == QLocalSocket::ConnectedState) socket.waitForReadyRead(StepMs);
        if (socket.canReadLine()) {
            if (socket.readLine() == Reply) return EXIT_SUCCESS;
            break;
        }
        if (lock.Retry() == InstanceLock::State::Held) return std::nullopt;
    } while (!deadline.hasExpired());

    const QString text =
        QObject::tr("%1 is already running, but it does not answer (it holds %2). This copy ends, so that the "
                    "two do not save over each other's runs. Close the other copy, or end its process, and start "
                    "%1 again.")
            .arg(title, QString::fromStdString(lock.Location()));
    std::fprintf(stderr, "%s\n", qPrintable(text));
    ShowMessage(nullptr, QMessageBox::Warning, text);
    return EXIT_FAILURE;
}

void BringToFront(QWidget& window)
{
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace chronivel
