#pragma once

#include <QString>

namespace chronivel {

// Qt ends a program that finds no window system with an abort and a hint to
// reinstall it. While one of these lives (around the QApplication's
// construction), that ends instead with one line saying a graphical session
// is needed, and exit status 1. Qt's messages from the attempt are held back:
// shown after it if the window system opens, dropped if it does not.
class GraphicalSessionGuard {
public:
    explicit GraphicalSessionGuard(const QString& title);
    ~GraphicalSessionGuard();
    GraphicalSessionGuard(const GraphicalSessionGuard&) = delete;
    GraphicalSessionGuard& operator=(const GraphicalSessionGuard&) = delete;
};

// The line said when no window system opens, naming the display asked for.
QString NoGraphicalSessionText(const QString& title);

}  // namespace chronivel
