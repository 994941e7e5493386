// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <map>

#include "core/command.h"

class QAction;
class QWidget;

namespace chronivel {

class ChronivelApp;
class InputMoments;

// The command table as the main window's actions: one QAction a command,
// named as the table names it, handing its trigger to the model. Its keys
// act in every window of the program; while a modal dialog shows, only the
// manual's do. The menus place the actions that have an entry. A command
// given by key counts from the key's press (`moments`).
class CommandActions final : public QObject {
    Q_OBJECT
public:
    CommandActions(ChronivelApp& app, QWidget& window, InputMoments& moments);

    QAction* Action(Command command) const { return actions_.at(command); }

    // Enabling, marks and keys as the model has them now: while the main
    // window is in the background the lap moves to Alt+Space.
    void Refresh();
    // The protocol window's editor takes the keys it needs while it is active.
    void YieldKeysToEditor(bool editorActive);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetKeys(const CommandRow& row);

    ChronivelApp& app_;
    InputMoments& moments_;
    std::map<Command, QAction*> actions_;
    bool active_;  // the keys are those of the window in front
    bool editorActive_ = false;
};

}  // namespace chronivel
