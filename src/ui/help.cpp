// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#ifndef CHRONIVEL_HELP_SUBDIR
#define CHRONIVEL_HELP_SUBDIR "share/chronivel/help"
#endif

namespace chronivel {

namespace {

constexpr const char* kStartPage = "index.html";
// bin/ under the prefix, or src/app/ and tests/ under the build folder.
constexpr int kLevelsUp = 3;

bool IsPage(const QString& path)
{
    return QFileInfo(path).isFile();
}

// A copy of the program that is not installed carries its manual beside itself.
QString PortableManual(const QDir& programDir)
{
    return QDir::cleanPath(programDir.absoluteFilePath(QStringLiteral("help/") + QLatin1String(kStartPage)));
}

}  // namespace

QString FindManual(const QString& programDir)
{
    if (programDir.isEmpty()) return {};
    QDir dir(programDir);
    const QString portable = PortableManual(dir);
    if (IsPage(portable)) return portable;
    const QString below = QStringLiteral(CHRONIVEL_HELP_SUBDIR "/") + QLatin1String(kStartPage);
    for (int level = 0; level <= kLevelsUp; ++level) {
        const QString candidate = dir.absoluteFilePath(below);
        if (IsPage(candidate)) return QDir::cleanPath(candidate);
        if (!dir.cdUp()) break;
    }
    return {};
}

QString OpenManual(const QString& programDir)
{
    const QString path = FindManual(programDir);
    if (path.isEmpty()) {
        // Both places it is looked for: where an installed program has it, and
        // the help/ folder a portable copy carries beside the program.
        const QDir dir(programDir);
        const QString installed =
            dir.absoluteFilePath(QStringLiteral("../" CHRONIVEL_HELP_SUBDIR "/") + QLatin1String(kStartPage));
        return QCoreApplication::translate("Help",
                                           "The manual is not installed: neither \"%1\" nor \"%2\" exists. "
                                           "A copy of the program can carry it in a help folder beside itself.")
            .arg(QDir::toNativeSeparators(QDir::cleanPath(installed)),
                 QDir::toNativeSeparators(PortableManual(dir)));
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return QCoreApplication::translate("Help", "The manual \"%1\" could not be opened: no web browser is set up.")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

QString OpenInTextEditor(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return QCoreApplication::translate(
                   "Help", "The protocol file \"%1\" does not exist yet: it is written when the first run stops.")
            .arg(QDir::toNativeSeparators(path));
    // The desktop's own editor for the file, on every system: a user who set
    // one for text files gets it, and no shell ever sees the name.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return QCoreApplication::translate("Help", "No text editor could be started for the protocol file \"%1\".")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

}  // namespace chronivel
