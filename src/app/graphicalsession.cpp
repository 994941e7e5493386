#include "app/graphicalsession.h"

#include <QObject>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace chronivel {

namespace {

// What a message handler hears; the context's strings are literals of the code that logs.
struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

QString heldTitle;
std::mutex heldMutex;  // the window system may log from a thread of its own
std::vector<HeldMessage> held;
QtMessageHandler previousHandler = nullptr;

void HoldOrLeave(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        const std::lock_guard lock(heldMutex);
        held.push_back({type, context.file, context.line, context.function, context.category, text});
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(NoGraphicalSessionText(heldTitle)));
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);  // inside Qt's start-up: nothing of ours to save or close
}

QString Quoted(const QByteArray& value)
{
    return QStringLiteral("\"%1\"").arg(QString::fromLocal8Bit(value));
}

}  // namespace

GraphicalSessionGuard::GraphicalSessionGuard(const QString& title)
{
    heldTitle = title;
    previousHandler = qInstallMessageHandler(HoldOrLeave);
}

GraphicalSessionGuard::~GraphicalSessionGuard()
{
    qInstallMessageHandler(previousHandler);
    const std::lock_guard lock(heldMutex);
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(message.file, message.line, message.function, message.category);
        previousHandler(message.type, context, message.text);
    }
    held.clear();
}

QString NoGraphicalSessionText(const QString& title)
{
    const QByteArray x11 = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    QString why;
    if (x11.isEmpty() && wayland.isEmpty())
        why = QObject::tr("neither DISPLAY nor WAYLAND_DISPLAY is set");
    else if (wayland.isEmpty())
        why = QObject::tr("the display %1 cannot be opened").arg(Quoted(x11));
    else if (x11.isEmpty())
        why = QObject::tr("the Wayland display %1 cannot be opened").arg(Quoted(wayland));
    else
        why = QObject::tr("neither the display %1 nor the Wayland display %2 can be opened").arg(Quoted(x11), Quoted(wayland));
    if (!platform.isEmpty()) why += QObject::tr(" (window system %1)").arg(Quoted(platform));
    return QObject::tr("%1: a graphical session is needed, but %2.").arg(title, why);
}

}  // namespace chronivel
