#include "ui/barrierport.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QWidget>

#include <algorithm>

#include "ui/led.h"
#include "ui/mainmenus.h"
#include "ui/settingskeeper.h"

namespace chronivel {

namespace {

const char* const PortEntryProperty = "chronivelPortEntry";

}  // namespace

QList<PortChoice> AvailablePorts()
{
    QList<QSerialPortInfo> found = QSerialPortInfo::availablePorts();
    std::sort(found.begin(), found.end(),
              [](const QSerialPortInfo& a, const QSerialPortInfo& b) { return a.portName() < b.portName(); });
    QList<PortChoice> ports;
    static const QRegularExpression comNumber(QStringLiteral("^COM(\\d+)$"));
    for (const QSerialPortInfo& info : found) {
        PortChoice port;
#ifdef Q_OS_WIN
        port.device = info.portName();
#else
        port.device = info.systemLocation();
#endif
        port.caption = info.description().isEmpty() ? info.portName()
                                                    : info.portName() + QStringLiteral(" \u2014 ") + info.description();
        const QRegularExpressionMatch com = comNumber.match(info.portName());
        port.number = com.hasMatch() ? com.captured(1).toInt() : static_cast<int>(ports.size()) + 1;
        ports.append(port);
    }
    return ports;
}

BarrierPort::BarrierPort(Chronometer& clock, SettingsKeeper& keeper, MainMenus& menus, SerialPorts& ports,
                         TLed& lockLed, QObject* parent)
    : QObject(parent),
      keeper_(keeper),
      menus_(menus),
      lockLed_(lockLed),
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

    QList<PortChoice> ports = AvailablePorts();
    const QString chosen = QString::fromStdString(pipeline_.Device());
    const bool chosenPresent =
        chosen.isEmpty() || std::any_of(ports.begin(), ports.end(), [&](const PortChoice& p) { return p.device == chosen; });
    if (!chosenPresent)  // unplugged: it stays chosen, and is opened again when it is back
        ports.append({chosen, tr("%1 \u2014 not connected").arg(QFileInfo(chosen).fileName()), 0});

    QAction* before = menu.actions().value(menu.actions().indexOf(menus_.mNoHard) + 1);
    for (const PortChoice& port : ports) {
        auto* entry = new QAction(port.caption, &menu);
        entry->setProperty(PortEntryProperty, true);
        entry->setCheckable(true);
        entry->setData(port.device);
        menus_.mNoHard->actionGroup()->addAction(entry);
        entry->setChecked(port.device == chosen);
        connect(entry, &QAction::triggered, this,
                [this, device = port.device, number = port.number] { Choose(device, number); });
        menu.insertAction(before, entry);
    }
    menus_.mNoHard->setChecked(chosen.isEmpty());
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
