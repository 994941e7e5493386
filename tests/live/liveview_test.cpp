// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/liveview.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>

#include <gtest/gtest.h>

#include "core/chronivelapp.h"
#include "live/httpliveserver.h"
#include "platform/protocolfile.h"
#include "tests/core/fakes.h"
#include "tests/core/fakeserial.h"
#include "tests/core/memorystore.h"
#include "tests/core/toldnotices.h"
#include "ui/livecard.h"
#include "ui/qtscheduler.h"

namespace chronivel::testing {
namespace {

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// The server's answer to `request` sent as it stands: its head, and for a
// page its whole body; the server runs on this thread, so the test waits in
// the event loop.
QByteArray Raw(quint16 port, const QByteArray& request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    QByteArray answer;
    (void)QTest::qWaitFor(
        [&] {
            answer += socket.readAll();
            const qsizetype head = answer.indexOf("\r\n\r\n");
            if (head < 0) return socket.state() == QAbstractSocket::UnconnectedState;
            const qsizetype length = answer.indexOf("Content-Length: ");
            return length < 0 || answer.size() - head - 4 >= answer.mid(length + 16, 12).split('\r')[0].toLongLong();
        },
        5000);
    return answer;
}

QByteArray Get(quint16 port, const QByteArray& path)
{
    return Raw(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}

QJsonObject NextMessage(QSignalSpy& heard)
{
    if (heard.isEmpty() && !heard.wait(5000)) return {};
    return QJsonDocument::fromJson(heard.takeFirst().at(0).toString().toUtf8()).object();
}

class LiveViewTest : public ::testing::Test {
protected:
    LiveViewTest() { store.exists = false; }

    // The view on, serving on a free port of this computer.
    void TurnOn()
    {
        port = FreePort();
        app.SetLiveView(true, port, {}, true);
        ASSERT_TRUE(live.Serving()) << live.Problem().toStdString();
        token = QByteArray::fromStdString(app.Kept().liveToken);
    }
    void Connect(QWebSocket& viewer, const QByteArray& path)
    {
        viewer.open(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(port).arg(QString::fromLatin1(path))));
    }

    FakeTimerPlatform platform;
    THighResTimer timer{platform};
    FixedLocale locale;
    MemoryStore store;
    FakePorts serial;
    QtScheduler scheduler;
    ProtocolFile protocolFile;
    ChronivelApp app{timer, locale, store, scheduler, protocolFile, serial, "boot-1"};
    std::vector<std::string> told;
    ToldNotices notices{app, told};
    LiveView live{app, timer, protocolFile, scheduler, locale, {QStringLiteral(CHRONIVEL_LIVE_MODULE_FOLDER)}};
    quint16 port = 0;
    QByteArray token;
};

TEST_F(LiveViewTest, IsOffUntilTurnedOnAndThenMakesASecretLink)
{
    EXPECT_FALSE(live.Serving());
    TurnOn();
    EXPECT_TRUE(UsableLiveToken(app.Kept().liveToken));
    EXPECT_EQ(app.Kept().liveToken.size(), 32u);
    EXPECT_EQ(live.Links(), QStringList{QStringLiteral("http://127.0.0.1:%1/v/%2").arg(port).arg(QString(token))});
    EXPECT_FALSE(live.QrCode(live.Links().first()).isNull());
}

TEST_F(LiveViewTest, ServesThePageOnlyUnderItsToken)
{
    TurnOn();
    const QByteArray page = Get(port, "/v/" + token);
    ASSERT_TRUE(page.startsWith("HTTP/1.1 200")) << page.left(200).toStdString();
    EXPECT_TRUE(page.contains("/v/" + token + "/page.js"));
    EXPECT_FALSE(page.contains("{{base}}"));
    EXPECT_TRUE(page.contains("Content-Security-Policy: default-src 'none'"));
    EXPECT_TRUE(page.contains("Referrer-Policy: no-referrer"));
    EXPECT_FALSE(page.toLower().contains("set-cookie"));
    EXPECT_TRUE(Get(port, "/v/" + token + "/page.js").contains("Content-Type: text/javascript"));
    for (const QByteArray& path :
         {QByteArray("/"), QByteArray("/v/"), QByteArray("/v/0123456789abcdef0123456789abcdef"), "/v/" + token + "x",
          "/v/" + token.left(31), "/v/" + token + "/../" + token, "/v/" + token + "/%2e%2e/page.js",
          "/v/" + token + "/missing.js", "/v/" + token + "/index.html", "/v/" + token + "/page.js/x",
          "/v/" + token + "/feed"})
    {
        QTest::qWait(130);  // within the connections an address may open a second
        EXPECT_TRUE(Get(port, path).startsWith("HTTP/1.1 404")) << path.toStdString();
    }
}

TEST_F(LiveViewTest, AViewerHearsTheRunAsItHappensAndCanOnlyPing)
{
    TurnOn();
    QWebSocket viewer;
    QSignalSpy heard(&viewer, &QWebSocket::textMessageReceived);
    Connect(viewer, "/v/" + token + "/feed");
    EXPECT_EQ(NextMessage(heard).value("type").toString(), "hello");
    EXPECT_EQ(live.Viewers(), 1);

    app.Perform(Command::StartStopReset);
    const QJsonObject started = NextMessage(heard);
    EXPECT_EQ(started.value("state").toObject().value("phase").toString(), "running");
    platform.Advance(1'500);
    app.Perform(Command::Lap);
    const QJsonObject lap = NextMessage(heard).value("lap").toObject();
    EXPECT_EQ(lap.value("n").toInt(), 1);
    EXPECT_EQ(lap.value("split").toString(), "1,500");

    viewer.sendTextMessage(QStringLiteral("{\"type\":\"lap\"}"));  // nothing a viewer says takes a lap
    viewer.sendTextMessage(QStringLiteral("{\"type\":\"ping\",\"id\":41}"));
    const QJsonObject pong = NextMessage(heard);
    EXPECT_EQ(pong.value("type").toString(), "pong");
    EXPECT_EQ(pong.value("id").toInt(), 41);
    EXPECT_EQ(app.Clock().Lines().Lines().size(), 2u);  // START and the one lap
}

TEST_F(LiveViewTest, AViewerSeesTheDaysRunsFromTheProtocolAndNotYesterdays)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("Protocol.txt")).toStdString();
    app.Load(path);
    ASSERT_EQ(protocolFile.Append(path, {"START 4 = 23:00:00 = Su. 06.12.26", "STOP: = 1,000"}), "");
    ASSERT_EQ(protocolFile.Append(path, {"START 1 = 08:00:00 = Mo. 07.12.26", "STOP: = 2,000"}), "");
    TurnOn();
    scheduler.FinishAside();  // the protocol is read aside
    const auto runsSeen = [this] {
        QWebSocket viewer;
        QSignalSpy heard(&viewer, &QWebSocket::textMessageReceived);
        Connect(viewer, "/v/" + token + "/feed");
        return NextMessage(heard).value("runs").toArray();
    };
    const QJsonArray runs = runsSeen();
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].toObject().value("lines").toArray().last().toString(), "STOP: = 2,000");
    locale.shortDate = "08.12.26";  // past midnight
    EXPECT_TRUE(runsSeen().isEmpty());
}

TEST_F(LiveViewTest, ANewLinkEndsEveryOpenView)
{
    TurnOn();
    QWebSocket viewer;
    QSignalSpy heard(&viewer, &QWebSocket::textMessageReceived);
    QSignalSpy closed(&viewer, &QWebSocket::disconnected);
    Connect(viewer, "/v/" + token + "/feed");
    NextMessage(heard);
    app.SetLiveView(true, port, LiveView::NewToken(), true);
    EXPECT_TRUE(closed.wait(5000));
    EXPECT_TRUE(Get(port, "/v/" + token).startsWith("HTTP/1.1 404"));
}

TEST_F(LiveViewTest, AFeedWithoutTheTokenIsNotFound)
{
    TurnOn();
    const QByteArray upgrade = " HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
    EXPECT_TRUE(Raw(port, "GET /v/" + token + "/feed" + upgrade).startsWith("HTTP/1.1 101"));
    for (const QByteArray& path : {QByteArray("/feed"), QByteArray("/v/x/feed"), "/v/" + token})
        EXPECT_TRUE(Raw(port, "GET " + path + upgrade).startsWith("HTTP/1.1 404")) << path.toStdString();
}

TEST_F(LiveViewTest, APortInUseIsToldByNumberAndTheViewStaysOff)
{
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
    app.SetLiveView(true, taken.serverPort(), {}, true);
    EXPECT_FALSE(live.Serving());
    EXPECT_FALSE(app.Kept().liveView);
    EXPECT_TRUE(live.Problem().contains(QString::number(taken.serverPort()))) << live.Problem().toStdString();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(QString::fromStdString(told[0]), live.Problem());
}

TEST_F(LiveViewTest, TheCardTurnsItOnShowsTheLinkAndMakesANewOne)
{
    LiveCard card(app, live);
    auto* on = card.findChild<QCheckBox*>(QStringLiteral("liveOn"));
    auto* local = card.findChild<QCheckBox*>(QStringLiteral("liveLocalOnly"));
    auto* portField = card.findChild<QSpinBox*>(QStringLiteral("livePort"));
    ASSERT_TRUE(on && local && portField);
    portField->setValue(FreePort());
    local->setChecked(true);
    on->setChecked(true);
    ASSERT_TRUE(live.Serving()) << live.Problem().toStdString();
    const QString link = live.Links().first();
    EXPECT_EQ(card.findChild<QLabel*>(QStringLiteral("liveLinks"))->text(), link);
    EXPECT_FALSE(card.findChild<QLabel*>(QStringLiteral("liveQr"))->pixmap().isNull());
    card.findChild<QPushButton*>(QStringLiteral("liveNewLink"))->click();
    EXPECT_NE(live.Links().first(), link);
    on->setChecked(false);
    EXPECT_FALSE(live.Serving());
    EXPECT_FALSE(app.Kept().liveView);
}

// The limits, small enough to reach in a test.
class LiveLimitsTest : public ::testing::Test {
protected:
    void Listen(LiveLimits limits)
    {
        server = std::make_unique<HttpLiveServer>(
            LiveServer::Feed{[] { return QByteArray("{\"type\":\"hello\"}"); }, [](qint64) { return QByteArray(); }, {}},
            limits);
        port = FreePort();
        ASSERT_EQ(server->Listen(port, true, QString::fromLatin1(token)), QString());
    }
    QByteArray token = "0123456789abcdef0123456789abcdef";
    std::unique_ptr<HttpLiveServer> server;
    quint16 port = 0;
};

TEST_F(LiveLimitsTest, ALargeRequestHeadIsRefused)
{
    Listen({});
    const QByteArray padding(9 * 1024, 'a');
    EXPECT_TRUE(Raw(port, "GET /v/" + token + " HTTP/1.1\r\nX-Pad: " + padding + "\r\n\r\n").startsWith("HTTP/1.1 431"));
    // Nearly as large, it is served.
    const QByteArray some(7 * 1024, 'a');
    EXPECT_TRUE(Raw(port, "GET /v/" + token + " HTTP/1.1\r\nX-Pad: " + some + "\r\n\r\n").startsWith("HTTP/1.1 200"));
}

TEST_F(LiveLimitsTest, AClientThatSendsItsRequestSlowlyIsCut)
{
    Listen({.connections = {.idleMs = 300}});
    QTcpSocket slow;
    QSignalSpy closed(&slow, &QTcpSocket::disconnected);
    slow.connectToHost(QHostAddress::LocalHost, port);
    slow.write("GET /v/");
    EXPECT_TRUE(closed.wait(5000));
    // One that asks in time is answered, a byte at a time.
    QTcpSocket typing;
    typing.connectToHost(QHostAddress::LocalHost, port);
    for (const char c : "GET /v/" + token + " HTTP/1.1\r\n\r\n") {
        typing.write(&c, 1);
        QTest::qWait(5);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return typing.bytesAvailable() > 0; }, 5000));
    EXPECT_TRUE(typing.readAll().startsWith("HTTP/1.1 200"));
}

TEST_F(LiveLimitsTest, AnAddressOpensOnlySoManyConnectionsASecond)
{
    Listen({.connections = {.newPerSecond = 3}});
    int answered = 0;
    for (int i = 0; i < 5; ++i) answered += Get(port, "/v/" + token).startsWith("HTTP/1.1 200");
    EXPECT_EQ(answered, 3);
}

TEST_F(LiveLimitsTest, HostileInputIsClosedAndTheServerKeepsServing)
{
    Listen({});
    // Random bytes, a header of 1 MB, and a WebSocket frame that says it carries 100 MB.
    QByteArray noise(4096, 0);
    for (qsizetype i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    const QByteArray frame = QByteArray("\x82\xff", 2) + QByteArray::fromHex("0000000006400000") + QByteArray(4, 'm');
    for (const QByteArray& hostile : {noise, "GET /v/" + token + " HTTP/1.1\r\nX: " + QByteArray(1 << 20, 'x')}) {
        QTest::qWait(130);
        EXPECT_FALSE(Raw(port, hostile).startsWith("HTTP/1.1 200"));
    }
    // The 100 MB frame comes on a feed of its own, after its handshake.
    QTcpSocket raw;
    QSignalSpy gone(&raw, &QTcpSocket::disconnected);
    raw.connectToHost(QHostAddress::LocalHost, port);
    raw.write("GET /v/" + token + "/feed HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
              "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return raw.readAll().startsWith("HTTP/1.1 101"); }, 5000));
    raw.write(frame + QByteArray(64 * 1024, 'm'));
    EXPECT_TRUE(gone.wait(5000));
    // A thousand connections at once from one address are turned away at the
    // door, and another address is served meanwhile.
    std::vector<std::unique_ptr<QTcpSocket>> crowd;
    for (int i = 0; i < 1000; ++i) {
        crowd.push_back(std::make_unique<QTcpSocket>());
        crowd.back()->bind(QHostAddress(QStringLiteral("127.0.0.2")));
        crowd.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    QTest::qWait(200);
    EXPECT_TRUE(Get(port, "/v/" + token).startsWith("HTTP/1.1 200"));
}

TEST_F(LiveLimitsTest, TheViewerPastTheLastIsToldTheViewIsFull)
{
    Listen({.connections = {}, .mostViewers = 2});
    std::vector<std::unique_ptr<QWebSocket>> viewers;
    QStringList first;
    for (int i = 0; i < 3; ++i) {
        auto& viewer = viewers.emplace_back(std::make_unique<QWebSocket>());
        QSignalSpy heard(viewer.get(), &QWebSocket::textMessageReceived);
        viewer->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/v/%2/feed").arg(port).arg(QString(token))));
        ASSERT_TRUE(heard.wait(5000));
        first << heard.first().at(0).toString();
    }
    EXPECT_EQ(first, (QStringList{"{\"type\":\"hello\"}", "{\"type\":\"hello\"}", "{\"type\":\"full\"}"}));
    EXPECT_EQ(server->Viewers(), 2);
}

}  // namespace
}  // namespace chronivel::testing
