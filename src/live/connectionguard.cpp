// SPDX-License-Identifier: GPL-3.0-or-later
#include "live/connectionguard.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace chronivel {

namespace {

void Refuse(QTcpSocket* socket, const char* status)
{
    // Nothing more of this connection reaches the HTTP server.
    QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    socket->write(QByteArray("HTTP/1.1 ") + status + "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
    socket->disconnectFromHost();
}

// Whether the request head asks for an upgrade, and to which path.
bool UpgradeElsewhere(const QByteArray& head, const QByteArray& feedPath)
{
    const QList<QByteArray> lines = head.split('\n');
    bool upgrade = false;
    for (qsizetype i = 1; i < lines.size(); ++i)
        upgrade |= lines[i].trimmed().toLower().startsWith("upgrade:");
    if (!upgrade) return false;
    const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
    return request.size() != 3 || request[1] != feedPath;
}

}  // namespace

ConnectionGuard::ConnectionGuard(QByteArray feedPath, ConnectionLimits limits, QObject* parent)
    : QTcpServer(parent), feedPath_(std::move(feedPath)), limits_(limits)
{
    clock_.start();
}

bool ConnectionGuard::WithinRate(const QHostAddress& address)
{
    const qint64 now = clock_.elapsed();
    // Addresses quiet for a second are forgotten, so that the table stays small.
    for (auto it = recent_.begin(); it != recent_.end();)
        it = it->empty() || now - it->back() >= 1000 ? recent_.erase(it) : std::next(it);
    std::deque<qint64>& times = recent_[address];
    while (!times.empty() && now - times.front() >= 1000) times.pop_front();
    if (static_cast<int>(times.size()) >= limits_.newPerSecond) return false;
    times.push_back(now);
    return true;
}

void ConnectionGuard::incomingConnection(qintptr descriptor)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor) || open_ >= limits_.mostOpen || !WithinRate(socket->peerAddress())) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++open_;
    connect(socket, &QObject::destroyed, this, [this] { --open_; });
    Watch(socket);
    addPendingConnection(socket);  // the HTTP server connects its own reading after ours
}

void ConnectionGuard::Watch(QTcpSocket* socket)
{
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
    idle->start(limits_.idleMs);
    // The head of the request under way: the HTTP server reads what comes in
    // after this has looked at it, so each arrival is seen once.
    auto head = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, idle, head] {
        head->append(socket->peek(socket->bytesAvailable()));
        const qsizetype end = head->indexOf("\r\n\r\n");
        if (end < 0) {
            if (head->size() > limits_.mostHeadBytes) Refuse(socket, "431 Request Header Fields Too Large");
            return;
        }
        if (end > limits_.mostHeadBytes) return Refuse(socket, "431 Request Header Fields Too Large");
        const QByteArray request = head->left(end);
        if (UpgradeElsewhere(request, feedPath_)) return Refuse(socket, "404 Not Found");
        if (request.toLower().contains("\nupgrade:")) {
            idle->stop();  // a viewer now, watched by the server
            return;
        }
        head->remove(0, end + 4);  // anything after it is the next request's
        idle->start(limits_.idleMs);
    });
}

}  // namespace chronivel
