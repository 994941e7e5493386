// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/monitorwatch.h"

#include <QGuiApplication>
#include <QScreen>

namespace chronivel {

std::vector<MonitorSize> ScreenSizes()
{
    std::vector<MonitorSize> sizes;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
        sizes.push_back({pixels.width(), pixels.height()});
    }
    return sizes;
}

MonitorWatch::MonitorWatch(std::function<void()> changed, QObject* parent)
    : QObject(parent), changed_(std::move(changed))
{
    auto* app = qGuiApp;
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        Watch(screen);
        changed_();
    });
    // The screen is out of the list by now.
    connect(app, &QGuiApplication::screenRemoved, this, [this] { changed_(); });
    connect(app, &QGuiApplication::primaryScreenChanged, this, [this] { changed_(); });
    for (QScreen* screen : QGuiApplication::screens()) Watch(screen);
}

void MonitorWatch::Watch(QScreen* screen)
{
    connect(screen, &QScreen::geometryChanged, this, [this] { changed_(); });
}

}  // namespace chronivel
