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
#include <set>
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
// the user if it likes. The portal answers later, so a grab is collected
// and the keys are named together when the event loop next runs: in the
// session's creation, which is where some desktops (KDE Plasma 5.27) take
// them, then in a bind for whatever that left out. Until the portal has
// answered every grab counts as granted. Whatever the desktop does not bind
// is told to the user once, with where to choose other keys.
class PortalHotKeys final : public QObject, public HotKeyGrabber {
    Q_OBJECT
public:
    // `title` is the settings title: each title keeps its keys apart on the desktop.
    explicit PortalHotKeys(const QString& title, QDBusConnection bus = QDBusConnection::sessionBus(),
                           QObject* parent = nullptr);
    ~PortalHotKeys() override;

    bool Grab(int id, const HotKey& key) override;
    void Release(int id, const HotKey& key) override;

    // Tells the user, in words, which hot keys do not work and why.
    std::function<void(const std::string&)> reportInfo;

private slots:
    void SessionCreated(uint response, const QVariantMap& results);
    void ShortcutsBound(uint response, const QVariantMap& results);
    void ShortcutsListed(uint response, const QVariantMap& results);
    void Activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                   const QVariantMap& options);

private:
    enum class Stage { Idle, BindLater, Opening, Open };

    void Start();
    // Binds what the portal has not bound yet.
    void Bind();
    // Asks which of the session's shortcuts have keys; what has none is told.
    void List();
    // Takes the bound ones from a Response's "shortcuts".
    void Record(const QVariantMap& results);
    // Forgets the bound ones that kglobalaccel's list of them gives no key.
    void DropKeyless(const QDBusArgument& infos);
    // Tells what is not bound, once the desktop has said all it will.
    void TellUnbound();
    // Tells what is not bound after the portal refused a request.
    void Refused(uint response);
    QStringList Labels(bool unboundOnly) const;  // of the wanted keys
    QList<PortalShortcut> ToBind() const;  // the wanted ones not bound, in the portal's terms
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
    QString sessionToken_;
    std::map<int, HotKey> wanted_;
    std::set<QString> bound_;  // ids with a key, as the portal last listed them
    Stage stage_ = Stage::Idle;
    QString session_;
    QString request_;  // the request whose Response is awaited
    const char* requestSlot_ = nullptr;
    int requests_ = 0;
    bool told_ = false;
};

// The portal's session token for a settings title: the same at every start,
// so the desktop finds the keys it kept, and different for every title.
QString SessionToken(const QString& title);

// The system-wide hot keys of the table, as a sentence lists them: "A, B and C".
QString HotKeysListed();

}  // namespace chronivel

Q_DECLARE_METATYPE(chronivel::PortalShortcut)
