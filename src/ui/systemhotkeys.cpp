#include "ui/systemhotkeys.h"

#include <QGuiApplication>

#ifdef Q_OS_WIN
#include "platform/systemhotkeys.h"
#else
#include "ui/x11hotkeys.h"
#endif

namespace chronivel {

std::unique_ptr<HotKeyGrabber> MakeHotKeyGrabber()
{
#ifdef Q_OS_WIN
    return MakeSystemHotKeyGrabber();
#else
    if (QGuiApplication::platformName() == QLatin1String("xcb")) return std::make_unique<X11HotKeys>();
    return nullptr;
#endif
}

}  // namespace chronivel
