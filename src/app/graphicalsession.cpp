// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/graphicalsession.h"

#include <QObject>
#include <QRegularExpression>
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
QStringList heldArguments;
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
    QStringList log;
    {
        const std::lock_guard lock(heldMutex);
        for (const HeldMessage& message : held) log.append(message.text);
    }
    log.append(text);
    std::fprintf(stderr, "%s\n", qPrintable(NoGraphicalSessionText(heldTitle, heldArguments, log)));
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);  // inside Qt's start-up: nothing of ours to save or close
}

QString Quoted(const QString& value)
{
    return QStringLiteral("\"%1\"").arg(value);
}

// A value of the window system's: from its option on the command line, where
// Qt takes it from first (the last of `-name value` or `--name value`), or
// from the environment; `where` says which, for the message.
struct Asked {
    QString value;
    QString where;
};

Asked AskedFor(const QStringList& arguments, const QString& option, const char* variable)
{
    Asked asked;
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u'-' + option || argument == QStringLiteral("--") + option)
            asked = {arguments[++i], QObject::tr(" given with -%1").arg(option)};
    }
    if (asked.where.isEmpty()) asked.value = qEnvironmentVariable(variable);
    return asked;
}

// The names in Qt's lines of the form `<words> "<name>"...`.
QStringList NamesAfter(const QStringList& log, const QString& words)
{
    const QRegularExpression pattern(QRegularExpression::escape(words) + QStringLiteral(" \"([^\"]*)\""));
    QStringList names;
    for (const QString& line : log)
        if (const QRegularExpressionMatch match = pattern.match(line); match.hasMatch()) names.append(match.captured(1));
    return names;
}

// Qt's list of the plugins it has, from its last words; empty when it gave none.
QString AvailablePlugins(const QStringList& log)
{
    static const QRegularExpression listed(QStringLiteral("Available platform plugins are: ([^\n]*)\\."));
    const QRegularExpressionMatch match = listed.match(log.isEmpty() ? QString() : log.last());
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace

GraphicalSessionGuard::GraphicalSessionGuard(const QString& title, int argc, char** argv)
{
    heldTitle = title;
    heldArguments.clear();
    for (int i = 0; i < argc; ++i) heldArguments.append(QString::fromLocal8Bit(argv[i]));
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

QString NoGraphicalSessionText(const QString& title, const QStringList& arguments, const QStringList& qtLog)
{
    const Asked platform = AskedFor(arguments, QStringLiteral("platform"), "QT_QPA_PLATFORM");
    const QStringList missing = NamesAfter(qtLog, QStringLiteral("Could not find the Qt platform plugin"));
    QString why;
    // A plugin that is there but cannot start has its display to blame.
    if (!missing.isEmpty() && NamesAfter(qtLog, QStringLiteral("Could not load the Qt platform plugin")).isEmpty()) {
        why = QObject::tr("the platform plugin %1%2 was not found").arg(Quoted(missing.join(u';')), platform.where);
        if (const QString available = AvailablePlugins(qtLog); !available.isEmpty())
            why += QObject::tr(" (available: %1)").arg(available);
        return QObject::tr("%1: a graphical session is needed, but %2.").arg(title, why);
    }
    const Asked x11 = AskedFor(arguments, QStringLiteral("display"), "DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (x11.value.isEmpty() && wayland.isEmpty())
        why = QObject::tr("neither DISPLAY nor WAYLAND_DISPLAY is set");
    else if (wayland.isEmpty())
        why = QObject::tr("the display %1%2 cannot be opened").arg(Quoted(x11.value), x11.where);
    else if (x11.value.isEmpty())
        why = QObject::tr("the Wayland display %1 cannot be opened").arg(Quoted(wayland));
    else
        why = QObject::tr("neither the display %1%2 nor the Wayland display %3 can be opened")
                  .arg(Quoted(x11.value), x11.where, Quoted(wayland));
    if (!platform.value.isEmpty())
        why += QObject::tr(" (window system %1%2)").arg(Quoted(platform.value), platform.where);
    return QObject::tr("%1: a graphical session is needed, but %2.").arg(title, why);
}

}  // namespace chronivel
