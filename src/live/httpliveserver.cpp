// SPDX-License-Identifier: GPL-3.0-or-later
#include "live/httpliveserver.h"

#include <QDir>
#include <QFile>
#include <QHttpServerResponse>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QPainter>
#include <QWebSocket>

#include <qrencode.h>

#include <memory>


namespace chronivel {

namespace {

// What a file of the page is, by its name's ending.
QByteArray TypeOf(const QString& name)
{
    if (name.endsWith(QLatin1String(".html"))) return "text/html; charset=utf-8";
    if (name.endsWith(QLatin1String(".js"))) return "text/javascript; charset=utf-8";
    if (name.endsWith(QLatin1String(".css"))) return "text/css; charset=utf-8";
    if (name.endsWith(QLatin1String(".svg"))) return "image/svg+xml";
    return {};
}

// The page loads nothing from elsewhere and tells nothing of where it was.
QHttpServerResponse Secured(QHttpServerResponse response)
{
    response.setHeader("Content-Security-Policy",
                       "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
                       "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'");
    response.setHeader("Referrer-Policy", "no-referrer");
    response.setHeader("X-Content-Type-Options", "nosniff");
    response.setHeader("Cache-Control", "no-store");
    return response;
}

QHttpServerResponse NotFound()
{
    return Secured(QHttpServerResponse(QHttpServerResponder::StatusCode::NotFound));
}

// Compares in a time that does not tell how much of a guessed token was right.
bool SameToken(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size()) return false;
    char differ = 0;
    for (qsizetype i = 0; i < a.size(); ++i) differ |= a[i] ^ b[i];
    return differ == 0;
}

}  // namespace

HttpLiveServer::HttpLiveServer(Feed feed, LiveLimits limits) : feed_(std::move(feed)), limits_(limits)
{
    // The feed's own route comes first. Qt hands a WebSocket upgrade over only
    // when a route takes the request, and only cleanly if that route writes
    // nothing: the guard has let through only upgrades to this path with the token.
    http_.route("/v/<arg>/feed", [this](const QString&, const QHttpServerRequest& request,
                                        QHttpServerResponder&& responder) {
        if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
            NotFound().write(std::move(responder));
    });
    http_.route("/v/<arg>", [this](const QString& token) { return File(token, {}); });
    http_.route("/v/<arg>/<arg>", [this](const QString& token, const QString& name) { return File(token, name); });
    connect(&http_, &QAbstractHttpServer::newWebSocketConnection, this, &HttpLiveServer::Welcome);
    clock_.start();
    silence_.setInterval(SilentMs / 3);
    connect(&silence_, &QTimer::timeout, this, &HttpLiveServer::DropSilent);
}

HttpLiveServer::~HttpLiveServer()
{
    for (QWebSocket* viewer : std::exchange(viewers_, {})) {
        viewer->disconnect(this);
        viewer->abort();
        delete viewer;
    }
}

QString HttpLiveServer::Listen(quint16 port, bool localOnly, const QString& token)
{
    token_ = token.toLatin1();
    localOnly_ = localOnly;
    guard_ = new ConnectionGuard("/v/" + token_ + "/feed", limits_.connections, this);
    if (!guard_->listen(localOnly ? QHostAddress::LocalHost : QHostAddress::Any, port))
        return tr("The live view cannot listen on port %1: %2. Choose another port.")
            .arg(port)
            .arg(guard_->errorString());
    http_.bind(guard_);
    // Only what the program carries: the page itself (under no name, its own
    // path in it) and the files of its folder of resources, read once here.
    for (const QString& name : QDir(QStringLiteral(":/live")).entryList(QDir::Files)) {
        QFile source(QStringLiteral(":/live/") + name);
        if (TypeOf(name).isEmpty() || !source.open(QIODevice::ReadOnly)) continue;
        if (name == QLatin1String("index.html"))
            files_.insert({}, source.readAll().replace("{{base}}", "/v/" + token_));
        else
            files_.insert(name, source.readAll());
    }
    silence_.start();
    return {};
}

QHttpServerResponse HttpLiveServer::File(const QString& token, const QString& name) const
{
    const auto file = files_.constFind(name);
    if (!SameToken(token.toLatin1(), token_) || file == files_.constEnd()) return NotFound();
    return Secured(QHttpServerResponse(TypeOf(name.isEmpty() ? QStringLiteral(".html") : name), *file));
}

void HttpLiveServer::Welcome()
{
    while (std::unique_ptr<QWebSocket> socket = http_.nextPendingWebSocketConnection()) {
        QWebSocket* viewer = socket.release();
        viewer->setParent(this);
        if (viewer->requestUrl().path().toLatin1() != "/v/" + token_ + "/feed") {
            viewer->abort();
            viewer->deleteLater();
            continue;
        }
        if (viewers_.size() >= limits_.mostViewers) {
            viewer->sendTextMessage(QStringLiteral("{\"type\":\"full\"}"));
            viewer->close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("full"));
            connect(viewer, &QWebSocket::disconnected, viewer, &QObject::deleteLater);
            continue;
        }
        viewer->setMaxAllowedIncomingFrameSize(MostIncomingBytes);
        viewer->setMaxAllowedIncomingMessageSize(MostIncomingBytes);
        viewer->setProperty("heard", clock_.elapsed());
        connect(viewer, &QWebSocket::textMessageReceived, this,
                [this, viewer](const QString& message) { Answer(viewer, message); });
        connect(viewer, &QWebSocket::binaryMessageReceived, viewer, [viewer] { viewer->abort(); });
        connect(viewer, &QWebSocket::disconnected, this, [this, viewer] { Drop(viewer); });
        viewers_.append(viewer);
        viewer->sendTextMessage(QString::fromUtf8(feed_.hello()));
        if (feed_.viewersChanged) feed_.viewersChanged();
    }
}

void HttpLiveServer::Answer(QWebSocket* viewer, const QString& message)
{
    viewer->setProperty("heard", clock_.elapsed());
    const QJsonObject ping = QJsonDocument::fromJson(message.toUtf8()).object();
    // Pings only: nothing a viewer says changes the chronometer.
    if (ping.value(QLatin1String("type")).toString() != QLatin1String("ping")) return;
    viewer->sendTextMessage(QString::fromUtf8(feed_.pong(ping.value(QLatin1String("id")).toInteger())));
}

void HttpLiveServer::Broadcast(const QByteArray& message)
{
    const QString text = QString::fromUtf8(message);
    for (QWebSocket* viewer : QList<QWebSocket*>(viewers_)) {
        if (viewer->bytesToWrite() > MostUnsentBytes) {
            viewer->abort();  // one that stopped reading; it comes back for a new hello
            continue;
        }
        viewer->sendTextMessage(text);
    }
}

void HttpLiveServer::Drop(QWebSocket* viewer)
{
    if (!viewers_.removeOne(viewer)) return;
    viewer->deleteLater();
    if (feed_.viewersChanged) feed_.viewersChanged();
}

void HttpLiveServer::DropSilent()
{
    const qint64 now = clock_.elapsed();
    for (QWebSocket* viewer : QList<QWebSocket*>(viewers_))
        if (now - viewer->property("heard").toLongLong() > SilentMs) viewer->abort();
}

QStringList HttpLiveServer::Hosts() const
{
    if (localOnly_) return {QStringLiteral("127.0.0.1")};
    // The addresses of the interfaces that are up, IPv4 first: what a phone's camera or a hand types.
    QStringList v4, v6;
    for (const QNetworkInterface& net : QNetworkInterface::allInterfaces()) {
        if (!(net.flags() & QNetworkInterface::IsUp) || (net.flags() & QNetworkInterface::IsLoopBack)) continue;
        for (const QNetworkAddressEntry& entry : net.addressEntries()) {
            const QHostAddress a = entry.ip();
            if (a.protocol() == QAbstractSocket::IPv4Protocol) v4 << a.toString();
            else if (!a.isLinkLocal()) v6 << QLatin1Char('[') + a.toString() + QLatin1Char(']');
        }
    }
    return v4.isEmpty() && v6.isEmpty() ? QStringList{QStringLiteral("127.0.0.1")} : v4 + v6;
}

QImage HttpLiveServer::QrCode(const QString& text) const
{
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
    if (!code) return {};
    constexpr int quiet = 4;  // modules of white around it, as readers expect
    QImage image(code->width + 2 * quiet, code->width + 2 * quiet, QImage::Format_Mono);
    image.fill(1);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1) image.setPixel(x + quiet, y + quiet, 0);
    return image;
}

}  // namespace chronivel
