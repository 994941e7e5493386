// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <map>

#include "ui/portalhotkeys.h"

namespace chronivel::testing {

// A session bus of the test's own: a dbus-daemon that knows no services,
// so that nothing on the machine answers in the stand-in's place.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // A connection of its own, as another program on the bus would have.
    QDBusConnection Connect(const QString& who);
    // Returns once every message sent on `bus` so far has been answered and
    // handed to its receivers.
    static void Settle(const QDBusConnection& bus);

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QStringList connections_;
};

// The desktop's global shortcuts portal as far as hot keys use it: it opens
// sessions, binds and lists shortcuts, answering each call on a request
// object the way the real one does, and records what it was asked.
class FakePortal final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
public:
    explicit FakePortal(QDBusConnection bus);
    ~FakePortal() override;

    // A shortcut pressed, as the portal reports it for a session.
    void Activate(const QString& shortcut, const QString& session);

    // How it answers. Plasma 5.27 binds the shortcuts named in CreateSession's
    // options and nothing that BindShortcuts names; newer desktops the other
    // way round. Shortcuts held elsewhere are listed without a trigger.
    bool bindsOnCreate = true;
    QStringList heldElsewhere;
    uint bindResponse = 0;

    QStringList sessions;  // the handles of the sessions it opened
    QStringList closed;    // the sessions closed
    struct Bind {
        QString session;
        QList<PortalShortcut> shortcuts;
        QString parentWindow;
    };
    QList<Bind> binds;
    int lists = 0;  // ListShortcuts calls

public slots:
    // Its type fully named: QtDBus finds a slot's marshalling by the name as written.
    Q_SCRIPTABLE QDBusObjectPath CreateSession(const QVariantMap& options);
    Q_SCRIPTABLE QDBusObjectPath BindShortcuts(const QDBusObjectPath& session,
                                               const QList<chronivel::PortalShortcut>& shortcuts,
                                               const QString& parentWindow, const QVariantMap& options);
    Q_SCRIPTABLE QDBusObjectPath ListShortcuts(const QDBusObjectPath& session, const QVariantMap& options);

private:
    // The path of the request object for the caller's `handle_token`.
    QString RequestPath(const QString& kind, const QVariantMap& options);
    void Respond(const QString& request, uint response, const QVariantMap& results);
    // Binds `shortcuts` in `session`, and answers with the session's list.
    QVariantMap Take(const QString& session, const QList<PortalShortcut>& shortcuts);

    QDBusConnection bus_;
    QList<QObject*> sessionObjects_;
    std::map<QString, QList<PortalShortcut>> bound_;  // by session
};

// One of kglobalaccel's shortcuts as its components list them: its id and keys.
struct KeyInfo {
    QString id;
    QList<int> keys;
};
QDBusArgument& operator<<(QDBusArgument& out, const KeyInfo& info);
const QDBusArgument& operator>>(const QDBusArgument& in, KeyInfo& info);

// KWin's kglobalaccel as far as hot keys look at it: the keys of one component.
class FakeKGlobalAccel final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kglobalaccel.Component")
public:
    FakeKGlobalAccel(QDBusConnection bus, const QString& component, QList<KeyInfo> infos);
    ~FakeKGlobalAccel() override;

    int asked = 0;  // allShortcutInfos calls

public slots:
    Q_SCRIPTABLE QList<chronivel::testing::KeyInfo> allShortcutInfos();

private:
    QDBusConnection bus_;
    QString path_;
    QList<KeyInfo> infos_;
};

}  // namespace chronivel::testing

Q_DECLARE_METATYPE(chronivel::testing::KeyInfo)
