#include "ui/mainmenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

#include <map>

#include "core/command.h"
#include "core/monitorchoice.h"
#include "ui/commandactions.h"

namespace chronivel {

MainMenus::MainMenus(QWidget* window, const CommandActions& commands) : QObject(window)
{
    PopupMenu1 = new QMenu(window);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const std::map<MenuPlace, QMenu*> menus{
        {MenuPlace::Popup, PopupMenu1},
        {MenuPlace::FormatMenu, Submenu("mFormat", tr("Format"))},
        {MenuPlace::ZoomMenu, Submenu("mZoom", tr("Zoom             Ctrl+Z"))},
        {MenuPlace::BestMenu, Submenu("Best1", tr("Best"))},
    };

    Hardware1 = Submenu("Hardware1", tr("Hardware"));
    auto* ports = new QActionGroup(this);
    mNoHard = Radio(Hardware1, ports, "mNoHard", tr("None"), 0);
    mNoHard->setChecked(true);
    Hardware1->addSeparator();
    auto* algorithms = new QActionGroup(this);
    const std::array<const char*, 6> algorithmCaptions{"0   On/Off", "1   Off/On", "2   On",
                                                       "3   Off",    "4   With LAP", "5   With Toogle"};
    for (int algorithm = 0; algorithm < 6; ++algorithm) {
        const QByteArray name = "mALG_" + QByteArray::number(algorithm);
        mALG[algorithm] = Radio(Hardware1, algorithms, name.constData(),
                                QString::fromLatin1(algorithmCaptions[algorithm]), algorithm);
        mALG[algorithm]->setEnabled(false);  // until a port is open
    }
    mALG[0]->setChecked(true);
    mALG[5]->setVisible(false);
    Hardware1->addSeparator();
    auto* arrangements = new QActionGroup(this);
    // "&&" is how a menu shows a single "&".
    mLS[0] = Radio(Hardware1, arrangements, "mLS1", tr("1 LS (4+6=Start && Stop)"), 1);
    mLS[1] = Radio(Hardware1, arrangements, "mLS2", tr("2/3 LS (4+6=Start, 7+8=Stop, 4+1=Lap)"), 2);
    mLS[2] = Radio(Hardware1, arrangements, "mLS3", tr("2/3 LS (4+6=Start, 7+8=Stop, 4+1=Toggle)"), 3);
    mLS[0]->setChecked(true);
    for (QAction* arrangement : mLS) arrangement->setEnabled(false);  // until a port is open

    TVaus1 = Submenu("TVaus1", tr("Multimonitor"));
    Off1 = Radio(TVaus1, new QActionGroup(this), "Off1", tr("Off"), MonitorChoice::Off);
    Off1->setChecked(true);
    ChoosesMonitor(Off1);

    // The table's entries: the context menu's own above its submenus, the
    // rest in theirs, and the end of the context menu below them.
    QAction* submenus = PopupMenu1->actions().front();
    for (const CommandRow& row : CommandTable()) {
        if (row.place == MenuPlace::None) continue;
        QAction* action = commands.Action(row.id);
        if (row.place == MenuPlace::PopupEnd) {
            if (row.separatorBefore) PopupMenu1->addSeparator();
            PopupMenu1->addAction(action);
            continue;
        }
        QMenu* menu = menus.at(row.place);
        QAction* before = row.place == MenuPlace::Popup ? submenus : nullptr;
        if (row.separatorBefore) menu->insertSeparator(before);
        menu->insertAction(before, action);
    }
}

void MainMenus::ListMonitors(const MonitorChoice& choice)
{
    const QList<QAction*> entries = TVaus1->actions();
    for (qsizetype i = 1; i < entries.size(); ++i) delete entries[i];
    const std::vector<MonitorSize>& monitors = choice.Monitors();
    for (std::size_t n = 0; n < monitors.size(); ++n) {
        const QString caption =
            QStringLiteral("%1: %2x%3").arg(n + 1).arg(monitors[n].width).arg(monitors[n].height);
        ChoosesMonitor(Radio(TVaus1, Off1->actionGroup(), "", caption, static_cast<int>(n)));
    }
    TVaus1->actions().at(choice.CheckedEntry())->setChecked(true);
    TVaus1->setEnabled(choice.Choosable());
}

void MainMenus::ChoosesMonitor(QAction* entry)
{
    connect(entry, &QAction::triggered, this, [this, entry] { emit monitorChosen(entry->data().toInt()); });
}

QMenu* MainMenus::Submenu(const char* name, const QString& title)
{
    QMenu* menu = PopupMenu1->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* MainMenus::Radio(QMenu* menu, QActionGroup* group, const char* name, const QString& caption, int tag)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    action->setData(tag);
    group->addAction(action);
    return action;
}

}  // namespace chronivel
