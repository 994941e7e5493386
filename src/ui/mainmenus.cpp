// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mainmenus.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <map>

#include "core/command.h"
#include "core/lightbarriers.h"
#include "core/monitorchoice.h"
#include "ui/commandactions.h"

namespace chronivel {

namespace {

// "&&" shows "&"; a single "&" marks the mnemonic and is not read.
QString WithoutMnemonic(const QString& caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && ++i == caption.size()) break;
        text += caption[i];
    }
    return text;
}

// One choice of a menu's radio entries, to assistive technology: a radio
// item, where Qt would give a plain entry with a check mark.
class RadioEntryAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    RadioEntryAccessible(QMenu* menu, QAction* action) : menu_(menu), action_(action) {}

    bool isValid() const override { return menu_ && action_; }
    QObject* object() const override { return action_; }
    QWindow* window() const override { return menu_->windowHandle(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(menu_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? WithoutMnemonic(action_->text()) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        const QRect entry = menu_->actionGeometry(action_);
        return {menu_->mapToGlobal(entry.topLeft()), entry.size()};
    }
    QAccessible::Role role() const override { return QAccessible::RadioButton; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.checkable = true;
        state.checked = action_->isChecked();
        state.disabled = !action_->isEnabled();
        state.invisible = !action_->isVisible() || !menu_->isVisible();
        state.focusable = true;
        state.focused = menu_->activeAction() == action_;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && action_->isEnabled()) action_->trigger();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QMenu> menu_;
    QPointer<QAction> action_;
};

QAccessibleInterface* RadioEntryInterface(const QString&, QObject* object)
{
    auto* action = qobject_cast<QAction*>(object);
    if (!action || !action->isCheckable() || !action->actionGroup() || !action->actionGroup()->isExclusive())
        return nullptr;
    for (QObject* place : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(place)) return new RadioEntryAccessible(menu, action);
    return nullptr;
}

}  // namespace

MainMenus::MainMenus(QWidget* window, const CommandActions& commands) : QObject(window)
{
    QAccessible::installFactory(&RadioEntryInterface);  // once: a factory installed already is skipped
    contextMenu = new QMenu(window);
    contextMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const std::map<MenuPlace, QMenu*> menus{
        {MenuPlace::Popup, contextMenu},
        {MenuPlace::FormatMenu, Submenu("mFormat", tr("Format"))},
        {MenuPlace::ZoomMenu, Submenu("mZoom", tr("Zoom"))},
        {MenuPlace::BestMenu, Submenu("Best1", tr("Best"))},
        {MenuPlace::Ports, barrierMenu = Submenu("Hardware1", tr("Hardware"))},
        {MenuPlace::Algorithms, barrierMenu},  // below the ports, the arrangements below them, each after a separator
        {MenuPlace::Arrangements, barrierMenu},
    };

    // Ctrl+Z is the zoom's key (ZoomMain); shown beside the submenu, it fires only there.
    QAction* zoom = menus.at(MenuPlace::ZoomMenu)->menuAction();
    zoom->setShortcutContext(Qt::WidgetShortcut);
    zoom->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));

    monitorMenu = Submenu("TVaus1", tr("Multimonitor"));
    noSecondMonitor = Radio(monitorMenu, new QActionGroup(this), "Off1", tr("Off"), MonitorChoice::Off);
    noSecondMonitor->setChecked(true);
    ChoosesMonitor(noSecondMonitor);

    // The table's entries: the context menu's own above its submenus, the
    // rest in theirs, and the end of the context menu below them.
    QAction* submenus = contextMenu->actions().front();
    for (const CommandRow& row : CommandTable()) {
        if (row.place == MenuPlace::None) continue;
        QAction* action = commands.Action(row.id);
        if (row.place == MenuPlace::PopupEnd) {
            if (row.separatorBefore) contextMenu->addSeparator();
            contextMenu->addAction(action);
            continue;
        }
        QMenu* menu = menus.at(row.place);
        QAction* before = row.place == MenuPlace::Popup ? submenus : nullptr;
        if (row.separatorBefore) menu->insertSeparator(before);
        menu->insertAction(before, action);
    }
    noBarrierPort = commands.Action(Command::NoBarrierPort);
    for (const AlgorithmRow& row : AlgorithmRows)
        commands.Action(Command(int(Command::Algorithm0) + int(row.id)))->setVisible(row.offered);
}

void MainMenus::ListMonitors(const MonitorChoice& choice)
{
    const QList<QAction*> entries = monitorMenu->actions();
    for (qsizetype i = 1; i < entries.size(); ++i) delete entries[i];
    const std::vector<MonitorSize>& monitors = choice.Monitors();
    for (std::size_t n = 0; n < monitors.size(); ++n) {
        const QString caption =
            QStringLiteral("%1: %2x%3").arg(n + 1).arg(monitors[n].width).arg(monitors[n].height);
        ChoosesMonitor(Radio(monitorMenu, noSecondMonitor->actionGroup(), "", caption, static_cast<int>(n)));
    }
    monitorMenu->actions().at(choice.CheckedEntry())->setChecked(true);
    monitorMenu->setEnabled(choice.Choosable());
}

void MainMenus::ChoosesMonitor(QAction* entry)
{
    connect(entry, &QAction::triggered, this, [this, entry] { emit monitorChosen(entry->data().toInt()); });
}

QMenu* MainMenus::Submenu(const char* name, const QString& title)
{
    QMenu* menu = contextMenu->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* MainMenus::Radio(QMenu* menu, QActionGroup* group, const QByteArray& name, const QString& caption, int tag)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    action->setData(tag);
    group->addAction(action);
    return action;
}

}  // namespace chronivel
