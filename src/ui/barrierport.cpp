// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/barrierport.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>

#include "core/chronivelapp.h"
#include "ui/mainmenus.h"

namespace chronivel {

namespace {

const char* const PortEntryProperty = "chronivelPortEntry";

}  // namespace

BarrierPort::BarrierPort(ChronivelApp& app, MainMenus& menus, const SerialPorts& ports, QObject* parent)
    : QObject(parent), app_(app), menus_(menus), ports_(ports)
{
    connect(menus_.barrierMenu, &QMenu::aboutToShow, this, &BarrierPort::ListPorts);
}

void BarrierPort::ChoosePort(const QString& device)
{
    Choose(device, app_.Kept().port);
}

void BarrierPort::Choose(const QString& device, int number)
{
    const std::string problem = app_.ChooseBarrierPort(device.toStdString(), number);
    if (!problem.empty() && reportChoiceFailed) reportChoiceFailed(QString::fromStdString(problem));
}

void BarrierPort::ListPorts()
{
    QMenu& menu = *menus_.barrierMenu;
    for (QAction* action : menu.actions())
        if (action->property(PortEntryProperty).toBool()) delete action;

    std::vector<SerialPortEntry> ports = ports_.List();
    // The ports are listed by the names that stay with their adapters; an
    // older setting may still name the device as it was called then.
    const std::string chosen = ports_.PersistentName(app_.Barriers().Device());
    const bool chosenPresent = chosen.empty() || std::any_of(ports.begin(), ports.end(), [&](const SerialPortEntry& p) {
                                   return p.device == chosen;
                               });
    if (!chosenPresent) {
        // Unplugged, it stays chosen and is opened again when it is back; a
        // pseudo-terminal or a port the system does not list may well be working.
        const QString name = QFileInfo(QString::fromStdString(chosen)).fileName();
        const QString state = app_.BarriersConnected() ? tr("open") : tr("not connected");
        ports.push_back({chosen, tr("%1 \u2014 %2").arg(name, state).toStdString(), 0});
    }

    QAction* before = menu.actions().value(menu.actions().indexOf(menus_.noBarrierPort) + 1);
    for (const SerialPortEntry& port : ports) {
        const QString device = QString::fromStdString(port.device);
        auto* entry = new QAction(QString::fromStdString(port.caption), &menu);
        entry->setProperty(PortEntryProperty, true);
        entry->setCheckable(true);
        entry->setData(device);
        menus_.noBarrierPort->actionGroup()->addAction(entry);
        entry->setChecked(port.device == chosen);
        connect(entry, &QAction::triggered, this, [this, device, number = port.number] { Choose(device, number); });
        menu.insertAction(before, entry);
    }
    menus_.noBarrierPort->setChecked(chosen.empty());
}

}  // namespace chronivel
