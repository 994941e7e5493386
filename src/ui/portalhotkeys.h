// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <map>
#include <string>

#include "core/hotkeys.h"

class QDBusArgument;
class QDBusObjectPath;

namespace chronivel {

// A shortcut as the portal's methods and signals carry it: its id, and
// what is bound or to bind ("description", "preferred_trigger").
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcut& shortcut);

// The hot keys under Wayland, where no program may take keys from the
// others: the desktop's global shortcuts portal binds them for us, asking
// the user if it likes. The portal answers later, and binds all of a
// session's shortcuts in one call, so a grab is collected and bound when the
// event loop next runs; until the portal has answered every grab counts as
// granted. Whatever the portal does not bind is told to the user once.
class PortalHotKeys final : public QObject, public HotKeyGrabber {
    Q_OBJECT
public:
    explicit PortalHotKeys(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~PortalHotKeys() override;

    bool Grab(int id, const HotKey& key) override;
    void Release(int id, const HotKey& key) override;

    // Tells the user, in words, which hot keys do not work and why.
    std::function<void(const std::string&)> reportInfo;

private slots:
    void SessionCreated(uint response, const QVariantMap& results);
    void ShortcutsBound(uint response, const QVariantMap& results);
    void Activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                   const QVariantMap& options);

private:
    enum class Stage { Idle, BindLater, Opening, Open };

    void Start();
    void Bind();
    void CloseSession();
    // Calls a portal method whose answer comes as the Response of a request
    // object, and hands that answer to `slot`.
    void Ask(const char* method, QList<QVariant> arguments, QVariantMap options, const char* slot);
    void StopWaiting();
    // The portal would not bind any of the keys.
    void Failed(const QString& why);
    // Once in the program's life: which keys do nothing, and why.
    void Tell(const QStringList& keys, const QString& why);

    QDBusConnection bus_;
    std::map<int, HotKey> wanted_;
    Stage stage_ = Stage::Idle;
    QString session_;
    QString request_;  // the request whose Response is awaited
    const char* requestSlot_ = nullptr;
    int tokens_ = 0;
    bool told_ = false;
};

}  // namespace chronivel

Q_DECLARE_METATYPE(chronivel::PortalShortcut)
