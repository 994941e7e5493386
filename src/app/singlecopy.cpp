#include "app/singlecopy.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

#include "platform/instancelock.h"

namespace chronivel {

namespace {

constexpr char Request[] = "front\n";
constexpr char Reply[] = "ok\n";
constexpr std::chrono::milliseconds Patience{3000};
constexpr unsigned long RetryMs = 100;

}  // namespace

FrontRequests::FrontRequests(const QString& channel, std::function<void()> comeToFront)
    : comeToFront_(std::move(comeToFront))
{
    // Whoever listened here before us has ended, or the lock would be theirs:
    // a socket left by a crash is taken over.
    QLocalServer::removeServer(channel);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
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

bool AskToComeToFront(const QString& channel, std::chrono::milliseconds patience)
{
    const QDeadlineTimer deadline(patience);
    // The holder may be starting still and not yet listen: ask again until it does.
    do {
        QLocalSocket socket;
        socket.connectToServer(channel);
        if (socket.waitForConnected(deadline.remainingTime())) {
            socket.write(Request);
            while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState &&
                   socket.waitForReadyRead(deadline.remainingTime())) {
            }
            return socket.canReadLine() && socket.readLine() == Reply;
        }
        QThread::msleep(RetryMs);
    } while (!deadline.hasExpired());
    return false;
}

int GiveWayToRunningCopy(const InstanceLock& lock, const QString& title)
{
    if (AskToComeToFront(QString::fromStdString(lock.ChannelName()), Patience)) return EXIT_SUCCESS;
    const QString text =
        QObject::tr("%1 is already running, but it does not answer (it holds %2). This copy ends, so that the "
                    "two do not save over each other's runs. Close the other copy, or end its process, and start "
                    "%1 again.")
            .arg(title, QString::fromStdString(lock.Location()));
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QMessageBox::warning(nullptr, title, text);
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
