// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/portalhotkeys.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cctype>

#include "core/command.h"

namespace chronivel {

QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcut& shortcut)
{
    out.beginStructure();
    out << shortcut.id << shortcut.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcut& shortcut)
{
    in.beginStructure();
    in >> shortcut.id >> shortcut.properties;
    in.endStructure();
    return in;
}

namespace {

const QString Portal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Shortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

QString LabelOf(const HotKey& key)
{
    return QString::fromStdString(HotKeyText(key));
}

// What the desktop's shortcut settings show beside the combination.
QString DescriptionOf(const HotKey& key)
{
    for (const HotKeyRow& row : HotKeyTable()) {
        if (!(row.key == key)) continue;
        if (row.command == Command::StartStopReset) return QObject::tr("Start, stop or reset");
        if (row.command == Command::Lap) return QObject::tr("Take a lap");
        if (row.command == Command::Minimize) return QObject::tr("Minimise Chronivel");
    }
    return LabelOf(key);
}

// "A", "A and B", "A, B and C".
QString Listed(const QStringList& items)
{
    if (items.size() < 2) return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QObject::tr(" and ") + items.last();
}

QString Refusal(uint response)
{
    return response == 1 ? QObject::tr("the request was declined")
                         : QObject::tr("the request was refused (response %1)").arg(response);
}

// Where the user gives the program's session other keys.
QString ShortcutSettings(const QString& sessionToken)
{
    // Plasma lists a session's shortcuts under its token.
    if (qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':').contains(QLatin1String("KDE")))
        return QObject::tr("System Settings, Shortcuts, \"%1\"").arg(sessionToken);
    return QObject::tr("the desktop's keyboard shortcut settings");
}

}  // namespace

QString HotKeysListed()
{
    QStringList keys;
    for (const HotKeyRow& row : HotKeyTable()) keys << LabelOf(row.key);
    return Listed(keys);
}

QString SessionToken(const QString& title)
{
    // Tokens are made of [A-Za-z0-9_]; every other byte, and '_' itself, is
    // written as _XX, so that no two titles share a token.
    QString token = QStringLiteral("chronivel_");
    for (const char byte : title.toUtf8()) {
        const auto c = static_cast<unsigned char>(byte);
        if (std::isalnum(c) && c < 0x80)
            token += QLatin1Char(byte);
        else
            token += QStringLiteral("_%1").arg(c, 2, 16, QLatin1Char('0')).toUpper();
    }
    return token;
}

PortalHotKeys::PortalHotKeys(const QString& title, QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), sessionToken_(SessionToken(title))
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalHotKeys::~PortalHotKeys()
{
    CloseSession();
}

bool PortalHotKeys::Grab(int id, const HotKey& key)
{
    wanted_[id] = key;
    if (stage_ == Stage::Idle) {
        // RegisterHotKeys grabs one key after the other: one session for all.
        stage_ = Stage::BindLater;
        QTimer::singleShot(0, this, &PortalHotKeys::Start);
    } else if (stage_ == Stage::Open) {
        Bind();
    }
    return true;
}

void PortalHotKeys::Release(int id, const HotKey&)
{
    wanted_.erase(id);
    // The portal unbinds nothing on its own: a released id is just no longer acted on.
    if (wanted_.empty() && stage_ == Stage::Open) CloseSession();
}

QList<PortalShortcut> PortalHotKeys::ToBind() const
{
    QList<PortalShortcut> shortcuts;
    for (const auto& [id, key] : wanted_)
        if (!bound_.contains(QString::number(id)))
            shortcuts.append({QString::number(id),
                              {{QStringLiteral("description"), DescriptionOf(key)},
                               {QStringLiteral("preferred_trigger"), QString::fromStdString(HotKeyText(key, true))}}});
    return shortcuts;
}

void PortalHotKeys::Start()
{
    if (wanted_.empty()) {
        stage_ = Stage::Idle;
        return;
    }
    stage_ = Stage::Opening;
    Ask("CreateSession", {},
        {{QStringLiteral("session_handle_token"), sessionToken_},
         {QStringLiteral("shortcuts"), QVariant::fromValue(ToBind())}},
        SLOT(SessionCreated(uint, QVariantMap)));
}

void PortalHotKeys::SessionCreated(uint response, const QVariantMap& results)
{
    StopWaiting();
    if (response != 0)
        return Failed(tr("the desktop's global shortcuts portal opened no session: %1").arg(Refusal(response)));
    // Documented as a string, though it names an object.
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    session_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path() : handle.toString();
    stage_ = Stage::Open;
    bus_.connect(Portal, PortalPath, Shortcuts, QStringLiteral("Activated"), this,
                 SLOT(Activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    Record(results);
    if (wanted_.empty())
        CloseSession();  // everything was released while the portal opened it
    else if (ToBind().isEmpty())
        List();
    else
        Bind();
}

void PortalHotKeys::Bind()
{
    Ask("BindShortcuts", {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(ToBind()), QString()},
        {}, SLOT(ShortcutsBound(uint, QVariantMap)));
}

void PortalHotKeys::ShortcutsBound(uint response, const QVariantMap&)
{
    StopWaiting();
    if (response != 0) return Refused(response);
    // What a bind answers may be only what was asked for (or nothing, where it
    // merely showed the desktop's shortcut settings): the list says what holds.
    List();
}

void PortalHotKeys::List()
{
    Ask("ListShortcuts", {QVariant::fromValue(QDBusObjectPath(session_))}, {},
        SLOT(ShortcutsListed(uint, QVariantMap)));
}

void PortalHotKeys::ShortcutsListed(uint response, const QVariantMap& results)
{
    StopWaiting();
    if (response != 0) return Refused(response);
    Record(results);
    // Plasma's portal lists the keys a new session asked for before its
    // kglobalaccel has given them: what kglobalaccel has with no key is not
    // bound either. Never started where it is not already running.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/component/") + sessionToken_,
        QStringLiteral("org.kde.kglobalaccel.Component"), QStringLiteral("allShortcutInfos"));
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        if (!watcher->isError()) DropKeyless(watcher->reply().arguments().value(0).value<QDBusArgument>());
        TellUnbound();
    });
}

void PortalHotKeys::DropKeyless(const QDBusArgument& infos)
{
    // a(ssssssaiai): id, names of it, of its component and context, its keys, its default keys.
    infos.beginArray();
    while (!infos.atEnd()) {
        QString id, name, component, componentName, context, contextName;
        QList<int> keys, defaultKeys;
        infos.beginStructure();
        infos >> id >> name >> component >> componentName >> context >> contextName >> keys >> defaultKeys;
        infos.endStructure();
        if (std::all_of(keys.cbegin(), keys.cend(), [](int key) { return key == 0; })) bound_.erase(id);
    }
    infos.endArray();
}

void PortalHotKeys::TellUnbound()
{
    const QStringList unbound = Labels(true);
    Tell(unbound, (unbound.size() == 1 ? tr("the desktop gave it no key (another program may hold it). Choose "
                                            "another key for it in %1")
                                       : tr("the desktop gave them no keys (another program may hold them). "
                                            "Choose other keys for them in %1"))
                      .arg(ShortcutSettings(sessionToken_)));
}

void PortalHotKeys::Record(const QVariantMap& results)
{
    // A shortcut that another one already holds is listed with no trigger:
    // it is there, and nothing presses it.
    bound_.clear();
    for (const PortalShortcut& shortcut : qdbus_cast<QList<PortalShortcut>>(results.value(QStringLiteral("shortcuts"))))
        if (!shortcut.properties.value(QStringLiteral("trigger_description")).toString().isEmpty())
            bound_.insert(shortcut.id);
}

QStringList PortalHotKeys::Labels(bool unboundOnly) const
{
    QStringList keys;
    for (const auto& [id, key] : wanted_)
        if (!unboundOnly || !bound_.contains(QString::number(id))) keys << LabelOf(key);
    return keys;
}

void PortalHotKeys::Refused(uint response)
{
    const QStringList unbound = Labels(true);
    Tell(unbound, (unbound.size() == 1 ? tr("the desktop's global shortcuts portal did not bind it: %1")
                                       : tr("the desktop's global shortcuts portal did not bind them: %1"))
                      .arg(Refusal(response)));
}

void PortalHotKeys::Activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong, const QVariantMap&)
{
    if (session.path() != session_) return;
    for (const auto& [id, key] : wanted_)
        if (QString::number(id) == shortcut && pressed) return pressed(id);
}

void PortalHotKeys::CloseSession()
{
    StopWaiting();
    if (!session_.isEmpty()) {
        bus_.disconnect(Portal, PortalPath, Shortcuts, QStringLiteral("Activated"), this,
                        SLOT(Activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        bus_.asyncCall(QDBusMessage::createMethodCall(
            Portal, session_, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
        session_.clear();
    }
    stage_ = Stage::Idle;
}

void PortalHotKeys::Ask(const char* method, QList<QVariant> arguments, QVariantMap options, const char* slot)
{
    // One request at a time: a later one asks for all that the earlier would have.
    StopWaiting();
    // The answer comes on a request object whose path we choose: listen
    // there before asking, so that no answer can come first.
    const QString token = QStringLiteral("chronivel%1").arg(++requests_);
    options.insert(QStringLiteral("handle_token"), token);
    QString sender = bus_.baseService().mid(1);
    sender.replace(u'.', u'_');
    request_ = PortalPath + QStringLiteral("/request/") + sender + u'/' + token;
    requestSlot_ = slot;
    bus_.connect(Portal, request_, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"), this,
                 slot);

    QDBusMessage call = QDBusMessage::createMethodCall(Portal, PortalPath, Shortcuts, QLatin1String(method));
    call.setArguments(arguments << options);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, path = request_] {
        watcher->deleteLater();
        if (!watcher->isError() || path != request_) return;
        StopWaiting();
        const QDBusError error = watcher->error();
        const QDBusError::ErrorType type = error.type();
        const bool absent = type == QDBusError::ServiceUnknown || type == QDBusError::UnknownInterface ||
                            type == QDBusError::UnknownMethod || type == QDBusError::UnknownObject;
        Failed(absent ? tr("the desktop has no global shortcuts portal (%1): system-wide keys need a newer desktop")
                            .arg(Shortcuts)
                      : tr("the global shortcuts portal (%1) answered %2: %3")
                            .arg(Shortcuts, error.name(), error.message()));
    });
}

void PortalHotKeys::StopWaiting()
{
    if (request_.isEmpty()) return;
    bus_.disconnect(Portal, request_, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                    this, requestSlot_);
    request_.clear();
}

void PortalHotKeys::Failed(const QString& why)
{
    const QStringList keys = Labels(false);
    CloseSession();
    Tell(keys, why);
}

void PortalHotKeys::Tell(const QStringList& keys, const QString& why)
{
    if (told_ || keys.isEmpty()) return;
    told_ = true;
    const QString text = keys.size() == 1 ? tr("The system-wide hot key %1 does nothing: %2.")
                                          : tr("The system-wide hot keys %1 do nothing: %2.");
    if (reportInfo)
        reportInfo((text.arg(Listed(keys), why) + u' ' + tr("Chronivel's own keys work while its window is in front."))
                       .toStdString());
}

}  // namespace chronivel
