// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHttpServer>
#include <QList>
#include <QObject>
#include <QTimer>

#include "live/connectionguard.h"
#include "ui/liveserver.h"

class QWebSocket;

namespace chronivel {

struct LiveLimits {
    ConnectionLimits connections;
    int mostViewers = LiveServer::MostViewers;
};

// The page and its feed with Qt's HTTP server and WebSockets. Every path but
// the page's own, with the token, answers 404; a viewer can only ping.
class HttpLiveServer final : public QObject, public LiveServer {
    Q_OBJECT
public:
    // A viewer's message and the bytes waiting to reach it are small; more is
    // a viewer that is not one, or one that no longer reads.
    static constexpr qint64 MostIncomingBytes = 1024;
    static constexpr qint64 MostUnsentBytes = 4 * 1024 * 1024;
    // The page pings every half minute: a viewer silent for longer is gone.
    static constexpr int SilentMs = 95'000;

    explicit HttpLiveServer(Feed feed, LiveLimits limits = {});
    ~HttpLiveServer() override;

    QString Listen(quint16 port, bool localOnly, const QString& token) override;
    void Broadcast(const QByteArray& message) override;
    int Viewers() const override { return static_cast<int>(viewers_.size()); }
    QStringList Hosts() const override;
    QImage QrCode(const QString& text) const override;

private:
    QHttpServerResponse File(const QString& token, const QString& name) const;
    void Welcome();
    void Answer(QWebSocket* viewer, const QString& message);
    void Drop(QWebSocket* viewer);
    void DropSilent();

    Feed feed_;
    LiveLimits limits_;
    QHttpServer http_;
    ConnectionGuard* guard_ = nullptr;
    QByteArray token_;
    QHash<QString, QByteArray> files_;  // the page's, by the name asked for
    bool localOnly_ = false;
    QList<QWebSocket*> viewers_;
    QTimer silence_;
    QElapsedTimer clock_;  // when a viewer was last heard from, on a clock that never jumps
};

}  // namespace chronivel
