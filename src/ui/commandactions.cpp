// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/commandactions.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

#include "core/chronivelapp.h"
#include "ui/inputmoments.h"

namespace chronivel {

CommandActions::CommandActions(ChronivelApp& app, QWidget& window, InputMoments& moments)
    : QObject(&window), app_(app), moments_(moments), active_(app.WindowActive())
{
    std::map<MenuPlace, QActionGroup*> radioGroups;
    for (const CommandRow& row : CommandTable()) {
        auto* action = new QAction(&window);
        action->setObjectName(QString::fromLatin1(row.name));
        action->setText(QCoreApplication::translate("Commands", row.caption));
        action->setCheckable(row.mark != CommandRow::Mark::None);
        if (row.mark == CommandRow::Mark::Radio) {
            QActionGroup*& group = radioGroups[row.place];
            if (!group) group = new QActionGroup(this);
            group->addAction(action);
        }
        // The twin row's key is shown beside the entry, and a screen reader tells it as
        // the entry's key, but it acts there: here it is a shortcut of the menu alone,
        // which never fires, as a menu hands its keys to its entries itself.
        const bool shownOnly = *row.shownKey;
        action->setShortcutContext(shownOnly ? Qt::WidgetShortcut : Qt::ApplicationShortcut);
        if (!shownOnly) window.addAction(action);
        connect(action, &QAction::triggered, this, [this, id = row.id] {
            app_.Perform(id, moments_.PressAt());
            Refresh();  // a check entry flipped its own mark; the model says what it is
        });
        actions_[row.id] = action;
        SetKeys(row);
    }
    qApp->installEventFilter(this);
}

bool CommandActions::eventFilter(QObject* watched, QEvent* event)
{
    // A modal dialog holds the program's keys back, so that nothing typed
    // there starts or stops a run; the manual is a key away all the same.
    if (event->type() == QEvent::KeyPress && QApplication::activeModalWidget()) {
        const QKeySequence key(static_cast<QKeyEvent*>(event)->keyCombination());
        if (actions_.at(Command::Help)->shortcuts().contains(key)) {
            app_.Perform(Command::Help);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CommandActions::Refresh()
{
    const bool keysChange = active_ != app_.WindowActive();
    active_ = app_.WindowActive();
    for (const CommandRow& row : CommandTable()) {
        QAction* action = actions_.at(row.id);
        action->setEnabled(app_.Enabled(row.id));
        if (row.checked) action->setChecked(app_.Checked(row.id));
        if (keysChange) SetKeys(row);
    }
}

void CommandActions::YieldKeysToEditor(bool editorActive)
{
    editorActive_ = editorActive;
    for (const CommandRow& row : CommandTable()) SetKeys(row);
}

void CommandActions::SetKeys(const CommandRow& row)
{
    const char* keys = !active_ && row.backgroundKeys ? row.backgroundKeys : row.keys;
    if (*row.shownKey) keys = row.shownKey;
    if (editorActive_ && row.editorNeedsKeys) keys = "";
    actions_.at(row.id)->setShortcuts(*keys ? QKeySequence::listFromString(QString::fromLatin1(keys))
                                            : QList<QKeySequence>());
}

}  // namespace chronivel
