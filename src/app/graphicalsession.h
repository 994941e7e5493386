// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace chronivel {

// Qt ends a program that finds no window system with an abort and a hint to
// reinstall it. While one of these lives (around the QApplication's
// construction), that ends instead with one line saying a graphical session
// is needed, and exit status 1. Qt's messages from the attempt are held back:
// shown after it if the window system opens, dropped if it does not.
class GraphicalSessionGuard {
public:
    // `argc` and `argv` as Qt gets them, before it takes its options out.
    GraphicalSessionGuard(const QString& title, int argc, char** argv);
    ~GraphicalSessionGuard();
    GraphicalSessionGuard(const GraphicalSessionGuard&) = delete;
    GraphicalSessionGuard& operator=(const GraphicalSessionGuard&) = delete;
};

// The line said when no window system opens. It names the platform plugin
// or the display asked for, on the command line (`arguments`, the program's
// name first; Qt's -platform and -display win) or else in the environment.
// A platform plugin that is not among `installedPlugins` is named with the
// package that brings it; `qtLog`, what Qt said while it tried, names the
// plugin it looked for when nobody chose one.
QString NoGraphicalSessionText(const QString& title, const QStringList& arguments, const QStringList& qtLog,
                               const QStringList& installedPlugins);

// The keys of the platform plugins Qt can find, before it has loaded one:
// in QT_QPA_PLATFORM_PLUGIN_PATH, and in the platforms folder of each of
// QT_PLUGIN_PATH's folders and of Qt's own. Qt's own folder follows a
// qt.conf beside the program only while a QCoreApplication exists (also
// while one is being made). Each call reads every plugin's metadata.
QStringList InstalledPlatformPlugins();

}  // namespace chronivel
