// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/ui/fakeportal.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace chronivel::testing {

namespace {

const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// One session object: Close() is all a client calls on it.
class FakeSession final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")
public:
    FakeSession(QString path, QStringList& closed) : path_(std::move(path)), closed_(closed) {}
public slots:
    Q_SCRIPTABLE void Close() { closed_ << path_; }

private:
    QString path_;
    QStringList& closed_;
};

}  // namespace

PrivateBus::PrivateBus()
{
    QFile config(dir_.filePath(QStringLiteral("bus.conf")));
    EXPECT_TRUE(config.open(QIODevice::WriteOnly)) << config.fileName().toStdString();
    config.write(QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                     .arg(dir_.path())
                     .toUtf8());
    config.close();
    daemon_.setStandardErrorFile(QProcess::nullDevice());  // that it may not raise its file limit
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--print-address"),
                   QStringLiteral("--nofork")});
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(30'000)) {}
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    EXPECT_FALSE(address_.isEmpty()) << "dbus-daemon gave no address: " << daemon_.errorString().toStdString();
}

PrivateBus::~PrivateBus()
{
    for (const QString& name : connections_) QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();
    daemon_.waitForFinished();
}

QDBusConnection PrivateBus::Connect(const QString& who)
{
    const QString name = address_ + u'#' + who;
    connections_ << name;
    QDBusConnection bus = QDBusConnection::connectToBus(address_, name);
    EXPECT_TRUE(bus.isConnected()) << who.toStdString() << ": " << bus.lastError().message().toStdString();
    return bus;
}

void PrivateBus::Settle(const QDBusConnection& bus)
{
    // Replies and signals reach their receivers in the order the bus sent
    // them: once the bus daemon has answered this, the earlier ones are in.
    QDBusPendingCallWatcher ping(bus.asyncCall(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"))));
    bool answered = false;
    QObject::connect(&ping, &QDBusPendingCallWatcher::finished, [&answered] { answered = true; });
    EXPECT_TRUE(QTest::qWaitFor([&answered] { return answered; }, 30'000)) << "the bus did not answer";
    QCoreApplication::processEvents();
}

FakePortal::FakePortal(QDBusConnection bus) : bus_(std::move(bus))
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    EXPECT_TRUE(bus_.registerObject(PortalPath, this, QDBusConnection::ExportScriptableSlots));
    EXPECT_TRUE(bus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
}

FakePortal::~FakePortal()
{
    bus_.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    bus_.unregisterObject(PortalPath);
    qDeleteAll(sessionObjects_);
}

QString FakePortal::RequestPath(const QString& kind, const QVariantMap& options)
{
    QString sender = message().service().mid(1);
    sender.replace(u'.', u'_');
    return PortalPath + u'/' + kind + u'/' + sender + u'/' + options.value(QStringLiteral("handle_token")).toString();
}

QDBusObjectPath FakePortal::CreateSession(const QVariantMap& options)
{
    QVariantMap sessionOptions = options;
    sessionOptions[QStringLiteral("handle_token")] = options.value(QStringLiteral("session_handle_token"));
    const QString session = RequestPath(QStringLiteral("session"), sessionOptions);
    sessions << session;
    auto* object = new FakeSession(session, closed);
    sessionObjects_ << object;
    EXPECT_TRUE(bus_.registerObject(session, object, QDBusConnection::ExportScriptableSlots)) << session.toStdString();
    QVariantMap results =
        Take(session, bindsOnCreate ? qdbus_cast<QList<PortalShortcut>>(options.value(QStringLiteral("shortcuts")))
                                    : QList<PortalShortcut>{});
    results.insert(QStringLiteral("session_handle"), session);
    const QString request = RequestPath(QStringLiteral("request"), options);
    Respond(request, 0, results);
    return QDBusObjectPath(request);
}

QDBusObjectPath FakePortal::BindShortcuts(const QDBusObjectPath& session,
                                          const QList<chronivel::PortalShortcut>& shortcuts,
                                          const QString& parentWindow, const QVariantMap& options)
{
    const QString request = RequestPath(QStringLiteral("request"), options);
    if (!sessions.contains(session.path()) || closed.contains(session.path())) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no such session: ") + session.path());
        return {};
    }
    binds.append({session.path(), shortcuts, parentWindow});
    const QVariantMap results = Take(session.path(), bindsOnCreate ? QList<PortalShortcut>{} : shortcuts);
    Respond(request, bindResponse, bindResponse == 0 ? results : QVariantMap{});
    return QDBusObjectPath(request);
}

QDBusObjectPath FakePortal::ListShortcuts(const QDBusObjectPath& session, const QVariantMap& options)
{
    ++lists;
    const QString request = RequestPath(QStringLiteral("request"), options);
    Respond(request, 0, Take(session.path(), {}));
    return QDBusObjectPath(request);
}

QVariantMap FakePortal::Take(const QString& session, const QList<PortalShortcut>& shortcuts)
{
    QList<PortalShortcut>& bound = bound_[session];
    for (const PortalShortcut& shortcut : shortcuts) {
        const QString trigger = heldElsewhere.contains(shortcut.id)
                                    ? QString()
                                    : shortcut.properties.value(QStringLiteral("preferred_trigger")).toString();
        bound.append({shortcut.id,
                      {{QStringLiteral("description"), shortcut.properties.value(QStringLiteral("description"))},
                       {QStringLiteral("trigger_description"), trigger}}});
    }
    return {{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}};
}

void FakePortal::Respond(const QString& request, uint response, const QVariantMap& results)
{
    // After the method's own reply, as the real portal answers once the user has.
    QTimer::singleShot(0, this, [this, request, response, results] {
        QDBusMessage signal = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                         QStringLiteral("Response"));
        signal << response << results;
        bus_.send(signal);
    });
}

void FakePortal::Activate(const QString& shortcut, const QString& session)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        PortalPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QStringLiteral("Activated"));
    signal << QVariant::fromValue(QDBusObjectPath(session)) << shortcut << qulonglong(1234) << QVariantMap();
    bus_.send(signal);
}

QDBusArgument& operator<<(QDBusArgument& out, const KeyInfo& info)
{
    // id, its name, the component's and the context's unique and friendly names, keys, default keys
    out.beginStructure();
    out << info.id << info.id << QString() << QString() << QString() << QString() << info.keys << info.keys;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, KeyInfo& info)
{
    QString ignored;
    QList<int> defaultKeys;
    in.beginStructure();
    in >> info.id >> ignored >> ignored >> ignored >> ignored >> ignored >> info.keys >> defaultKeys;
    in.endStructure();
    return in;
}

FakeKGlobalAccel::FakeKGlobalAccel(QDBusConnection bus, const QString& component, QList<KeyInfo> infos)
    : bus_(std::move(bus)), path_(QStringLiteral("/component/") + component), infos_(std::move(infos))
{
    qDBusRegisterMetaType<KeyInfo>();
    qDBusRegisterMetaType<QList<KeyInfo>>();
    EXPECT_TRUE(bus_.registerObject(path_, this, QDBusConnection::ExportScriptableSlots));
    EXPECT_TRUE(bus_.registerService(QStringLiteral("org.kde.kglobalaccel")));
}

QList<KeyInfo> FakeKGlobalAccel::allShortcutInfos()
{
    ++asked;
    return infos_;
}

FakeKGlobalAccel::~FakeKGlobalAccel()
{
    bus_.unregisterService(QStringLiteral("org.kde.kglobalaccel"));
    bus_.unregisterObject(path_);
}

}  // namespace chronivel::testing

#include "fakeportal.moc"
