// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

namespace chronivel {

// The live view's server: the page and its feed on one port of the local
// network. It lives in a module of its own (chronivel-live) that is loaded
// only when the view is turned on, so that the network and web libraries
// cost nothing while it is off.
class LiveServer {
public:
    struct Feed {
        std::function<QByteArray()> hello;           // for a viewer that connects
        std::function<QByteArray(qint64 id)> pong;   // the answer to a viewer's ping
        std::function<void()> viewersChanged;
    };
    // Viewers at once; the next one is told that the view is full.
    static constexpr int MostViewers = 200;

    virtual ~LiveServer() = default;
    // Serves the page under /v/<token> on `port` of every address, or of this
    // computer only. Empty when it listens; else why not, naming the port.
    virtual QString Listen(quint16 port, bool localOnly, const QString& token) = 0;
    // To every viewer.
    virtual void Broadcast(const QByteArray& message) = 0;
    virtual int Viewers() const = 0;
    // Where viewers reach it: the host part of its links, one per address.
    virtual QStringList Hosts() const = 0;
    // A QR code of `text`, one pixel a module with a quiet zone; null when it cannot be made.
    virtual QImage QrCode(const QString& text) const = 0;
};

// The module's one entry point, by this name.
using MakeLiveServer = LiveServer* (*)(LiveServer::Feed feed);
inline constexpr char MakeLiveServerSymbol[] = "chronivel_make_live_server";

}  // namespace chronivel
