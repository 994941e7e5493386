// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QAction;
class QByteArray;
class QActionGroup;
class QMenu;
class QWidget;

namespace chronivel {

class CommandActions;
class MonitorChoice;

// The main window's context menu, made of the command table's entries, with
// the two submenus whose entries come from the system: the light barriers'
// ports and the monitors. Entries are named as the commands they are, so
// tests and later features find them by objectName.
class MainMenus final : public QObject {
    Q_OBJECT
public:
    MainMenus(QWidget* window, const CommandActions& commands);

    QMenu* contextMenu;
    QMenu* barrierMenu;
    QAction* noBarrierPort;
    QMenu* monitorMenu;
    QAction* noSecondMonitor;

    // The "Multimonitor" entries afresh from the model's monitors, the
    // chosen one checked; enabled only when there is a second monitor.
    void ListMonitors(const MonitorChoice& choice);

signals:
    // An entry of "Multimonitor": MonitorChoice::Off or the monitor's number.
    void monitorChosen(int index);

private:
    QMenu* Submenu(const char* name, const QString& title);
    void ChoosesMonitor(QAction* entry);
    QAction* Radio(QMenu* menu, QActionGroup* group, const QByteArray& name, const QString& caption, int tag);
};

}  // namespace chronivel
