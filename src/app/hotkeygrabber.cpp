// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hotkeygrabber.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QGuiApplication>

#ifdef Q_OS_WIN
#include "platform/systemhotkeys.h"
#else
#include "ui/portalhotkeys.h"
#include "ui/x11hotkeys.h"
#endif

namespace chronivel {

namespace {

#ifndef Q_OS_WIN
bool WaylandSession()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

// Running, or started by the bus when first called.
bool PortalOnSessionBus()
{
    const QString portal = QStringLiteral("org.freedesktop.portal.Desktop");
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    if (bus.interface()->isServiceRegistered(portal)) return true;
    const QDBusReply<QStringList> activatable = bus.interface()->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(portal);
}
#endif

}  // namespace

std::unique_ptr<HotKeyGrabber> MakeHotKeyGrabber(const std::string& title,
                                                 std::function<void(const std::string&)> tell)
{
#ifdef Q_OS_WIN
    (void)title;
    (void)tell;  // Windows refuses only what another program holds, which is not told
    return MakeSystemHotKeyGrabber();
#else
    const QString platform = QGuiApplication::platformName();
    // Without a portal a native Wayland window still gets one: it tells the user why nothing works.
    if ((WaylandSession() && PortalOnSessionBus()) || platform.startsWith(QLatin1String("wayland"))) {
        auto grabber = std::make_unique<PortalHotKeys>(QString::fromStdString(title));
        grabber->reportInfo = std::move(tell);
        return grabber;
    }
    if (platform == QLatin1String("xcb")) return std::make_unique<X11HotKeys>();
    // Platforms without a screen have nobody to tell.
    const bool headless = platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
    if (tell && !headless)
        tell("The system-wide hot keys " + HotKeysListed().toStdString() + " do nothing: Chronivel runs on Qt's \"" +
             platform.toStdString() + "\" platform, which has no keys for the whole desktop.");
    return nullptr;
#endif
}

}  // namespace chronivel
