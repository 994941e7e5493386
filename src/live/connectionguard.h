// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>

#include <deque>

namespace chronivel {

struct ConnectionLimits {
    int newPerSecond = 8;  // from one address
    int mostOpen = 400;    // the viewers and what is on its way to be one
    qsizetype mostHeadBytes = 8 * 1024;
    int idleMs = 10'000;   // to complete a request
};

// The live view's listening socket, with the limits that keep a hall full of
// phones, or one hostile client, from taking the program down: new
// connections an address may open a second, connections at once, the size of
// a request's head, and how long a connection may sit without completing one.
// A WebSocket upgrade is let through only for `feedPath`; any other path's
// upgrade is answered 404 here, before the HTTP server would accept it.
class ConnectionGuard final : public QTcpServer {
    Q_OBJECT
public:

    ConnectionGuard(QByteArray feedPath, ConnectionLimits limits, QObject* parent);
    int Open() const { return open_; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    // A new connection from `address` keeps to the rate.
    bool WithinRate(const QHostAddress& address);
    void Watch(QTcpSocket* socket);

    QByteArray feedPath_;
    ConnectionLimits limits_;
    QElapsedTimer clock_;
    QHash<QHostAddress, std::deque<qint64>> recent_;
    int open_ = 0;
};

}  // namespace chronivel
