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
    // `argc` and `argv` as main() got them, before Qt takes its options out.
    GraphicalSessionGuard(const QString& title, int argc, char** argv);
    ~GraphicalSessionGuard();
    GraphicalSessionGuard(const GraphicalSessionGuard&) = delete;
    GraphicalSessionGuard& operator=(const GraphicalSessionGuard&) = delete;
};

// The line said when no window system opens. It names the platform plugin
// or the display asked for, on the command line (`arguments`, the program's
// name first; Qt's -platform and -display win) or else in the environment.
// `qtLog`, what Qt said while it tried, tells a plugin it did not find, and
// the ones it has, from one that could not open its display.
QString NoGraphicalSessionText(const QString& title, const QStringList& arguments, const QStringList& qtLog);

}  // namespace chronivel
