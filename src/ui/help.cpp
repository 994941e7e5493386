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

}  // namespace

QString FindManual(const QString& programDir)
{
    if (programDir.isEmpty()) return {};
    QDir dir(programDir);
    const QString portable = dir.filePath(QStringLiteral("help/") + QLatin1String(kStartPage));
    if (IsPage(portable)) return QDir::cleanPath(dir.absoluteFilePath(portable));
    const QString below = QStringLiteral(CHRONIVEL_HELP_SUBDIR "/") + QLatin1String(kStartPage);
    for (int level = 0; level <= kLevelsUp; ++level) {
        const QString candidate = dir.absoluteFilePath(below);
        if (IsPage(candidate)) return QDir::cleanPath(candidate);
        if (!dir.cdUp()) break;
    }
    return {};
}

QString ManualPath()
{
    return FindManual(QCoreApplication::applicationDirPath());
}

bool OpenManual()
{
    const QString path = ManualPath();
    if (path.isEmpty()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace chronivel
