#include "ui/barrierport.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

#include <algorithm>

#include "ui/led.h"
#include "ui/mainmenus.h"
#include "ui/settingskeeper.h"

namespace chronivel {

namespace {

const char* const PortEntryProperty = "chronivelPortEntry";

}  // namespace

BarrierPort::BarrierPort(Chronometer& clock, SettingsKeeper& keeper, MainMenus& menus, SerialPorts& ports,
                         TLed& lockLed, QObject* parent)
    : QObject(parent),
      keeper_(keeper),
      menus_(menus),
      lockLed_(lockLed),
      ports_(ports),
      pipeline_(clock, ports, [this](std::function<void()> call) {
          QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
      })
{
    pipeline_.connectedChanged = [this](bool open) {
        lockLed_.setVisible(open);
        if (!open) return;
        for (QAction* algorithm : menus_.mALG) algorithm->setEnabled(true);
        for (QAction* arrangement : menus_.mLS) arrangement->setEnabled(menus_.mALG[0]->isEnabled());
        menus_.mALG[5]->setVisible(false);
    };
    pipeline_.reportError = [this](const std::string& message) {
        if (reportError) reportError(QString::fromStdString(message));
    };
    pipeline_.reportInfo = [this](const std::string& message) {
        if (reportInfo) reportInfo(QString::fromStdString(message));
    };

    connect(menus_.Hardware1, &QMenu::aboutToShow, this, &BarrierPort::ListPorts);
    connect(menus_.mNoHard, &QAction::triggered, this, [this] { mCOM1Click({}); });
    for (int algorithm = 0; algorithm < 6; ++algorithm)
        connect(menus_.mALG[algorithm], &QAction::triggered, this, [this, algorithm] { mALG_Click(algorithm); });
    for (int arrangement = 1; arrangement <= 3; ++arrangement)
        connect(menus_.mLS[arrangement - 1], &QAction::triggered, this,
                [this, arrangement] { mLS1Click(arrangement); });
}

BarrierPort::~BarrierPort() = default;

void BarrierPort::Restore()
{
    const Settings& s = keeper_.Kept();
    pipeline_.SetAlgorithm(s.alg);
    pipeline_.SetArrangement(s.lsCount);
    pipeline_.SetLaps(s.laps);
    pipeline_.SetMinLap(s.minLap);
    pipeline_.SetDevice(s.portName);
    pipeline_.SetPortNumber(s.port);
    ShowMarks();
    pipeline_.Restore();
}

void BarrierPort::mCOM1Click(const QString& device)
{
    Choose(device, keeper_.Kept().port);
}

void BarrierPort::Choose(const QString& device, int number)
{
    pipeline_.Choose(device.toStdString(), number);
    Remember();
}

void BarrierPort::mALG_Click(int algorithm)
{
    pipeline_.SetAlgorithm(algorithm);
    Remember();
    ShowMarks();
}

void BarrierPort::mLS1Click(int arrangement)
{
    pipeline_.SetArrangement(arrangement);
    Remember();
    ShowMarks();
}

void BarrierPort::ListPorts()
{
    QMenu& menu = *menus_.Hardware1;
    for (QAction* action : menu.actions())
        if (action->property(PortEntryProperty).toBool()) delete action;

    std::vector<SerialPortEntry> ports = ports_.List();
    const std::string& chosen = pipeline_.Device();
    const bool chosenPresent = chosen.empty() || std::any_of(ports.begin(), ports.end(), [&](const SerialPortEntry& p) {
                                   return p.device == chosen;
                               });
    if (!chosenPresent)  // unplugged: it stays chosen, and is opened again when it is back
        ports.push_back(
            {chosen, tr("%1 \u2014 not connected").arg(QFileInfo(QString::fromStdString(chosen)).fileName()).toStdString(), 0});

    QAction* before = menu.actions().value(menu.actions().indexOf(menus_.mNoHard) + 1);
    for (const SerialPortEntry& port : ports) {
        const QString device = QString::fromStdString(port.device);
        auto* entry = new QAction(QString::fromStdString(port.caption), &menu);
        entry->setProperty(PortEntryProperty, true);
        entry->setCheckable(true);
        entry->setData(device);
        menus_.mNoHard->actionGroup()->addAction(entry);
        entry->setChecked(port.device == chosen);
        connect(entry, &QAction::triggered, this, [this, device, number = port.number] { Choose(device, number); });
        menu.insertAction(before, entry);
    }
    menus_.mNoHard->setChecked(chosen.empty());
}

void BarrierPort::ShowMarks()
{
    menus_.mNoHard->setChecked(pipeline_.Device().empty());
    menus_.mALG[pipeline_.Algorithm()]->setChecked(true);
    menus_.mLS[pipeline_.Arrangement() - 1]->setChecked(true);
}

void BarrierPort::Remember()
{
    Settings& s = keeper_.Kept();
    s.port = pipeline_.PortNumber();
    s.portName = pipeline_.Device();
    s.alg = pipeline_.Algorithm();
    s.lsCount = pipeline_.Arrangement();
    keeper_.ControlsChanged();
}

}  // namespace chronivel
