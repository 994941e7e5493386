#include "ui/barrierport.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QWidget>

#include <algorithm>

#include "core/chronometer.h"
#include "ui/led.h"
#include "ui/mainmenus.h"
#include "core/chronivelapp.h"

namespace chronivel {

namespace {

const char* const PortEntryProperty = "chronivelPortEntry";

QString EventNames(std::uint32_t events)
{
    QStringList names;
    if (events & ev::Cts) names << QStringLiteral("CTS");
    if (events & ev::Dsr) names << QStringLiteral("DSR");
    if (events & ev::Rlsd) names << QStringLiteral("DCD");
    if (events & ev::Ring) names << QStringLiteral("RI");
    return names.join(QStringLiteral(", "));
}

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

BarrierPort::BarrierPort(Chronometer& clock, ChronivelApp& app, MainMenus& menus, SerialPorts& ports,
                         QWidget& pauseButton, TLed& lockLed, QObject* parent)
    : QObject(parent), clock_(clock), app_(app), menus_(menus), pauseButton_(pauseButton), lockLed_(lockLed)
{
    port_ = std::make_unique<TComPort>(ports, [this](std::function<void()> call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    });
    TComPort& port = *port_;
    // The barriers feed on DTR and RTS; the driver raises both while the port is open.
    port.settings.flowControl = TFlowControl::fcRtsCts;
    port.settings.events = EventBit(TEvent::evCTS) | EventBit(TEvent::evDSR) | EventBit(TEvent::evRLSD);
    port.OnCTS = [this](const ComEventBatch& b) { Carry(rules_.Cts(b.status, Context(b.counter)), b.counter); };
    port.OnRLSD = [this](const ComEventBatch& b) { Carry(rules_.Dcd(b.status, Context(b.counter)), b.counter); };
    port.OnDSR = [this](const ComEventBatch& b) { Carry(rules_.Dsr(b.status, Context(b.counter)), b.counter); };
    port.OnOpen = [this] { lockLed_.show(); };
    port.OnClose = [this] { lockLed_.hide(); };
    port.OnLost = [this](const std::string& reason) {
        if (reportError)
            reportError(tr("The light barriers' serial port is gone (%1). Plug the adapter in again and choose "
                           "its port in the Hardware menu.")
                            .arg(QString::fromStdString(reason)));
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
    const Settings& s = app_.Kept();
    rules_.SetAlgorithm(s.alg);
    rules_.SetArrangement(s.lsCount);
    rules_.SetLapLimit(s.laps);
    rules_.SetMinLapMs(s.minLap);
    device_ = QString::fromStdString(s.portName);
#ifdef Q_OS_WIN
    if (device_.isEmpty() && s.port > 0) device_ = QStringLiteral("COM%1").arg(s.port);
#endif
    ShowMarks();
    if (!device_.isEmpty())
        Open(tr("\n\nChronivel opens the light barriers' port chosen when it last ran. If the barriers are not "
                "in use, choose \"None\" in the Hardware menu."));
}

void BarrierPort::mCOM1Click(const QString& device)
{
    device_ = device;
    Remember();
    if (device_.isEmpty()) {
        port_->Close();
        return;
    }
    Open();
}

void BarrierPort::mALG_Click(int algorithm)
{
    rules_.SetAlgorithm(algorithm);
    Remember();
    ShowMarks();
}

void BarrierPort::mLS1Click(int arrangement)
{
    rules_.SetArrangement(arrangement);
    Remember();
    ShowMarks();
}

void BarrierPort::Open(const QString& hint)
{
    port_->device = device_.toStdString();
    try {
        port_->Open();
    } catch (const std::runtime_error& error) {  // EComHandle, EComState
        QString message = QString::fromUtf8(error.what());
#ifndef Q_OS_WIN
        const QFileInfo file(device_);
        if (file.exists() && !file.isWritable())
            message += tr("\n\nThis user may not use %1. On Linux, serial ports belong to the group \"dialout\": "
                          "add yourself with \"sudo usermod -aG dialout $USER\", then log out and in again.")
                           .arg(device_);
#endif
        if (reportError) reportError(message + hint);
        return;
    }
    for (QAction* algorithm : menus_.mALG) algorithm->setEnabled(true);
    for (QAction* arrangement : menus_.mLS) arrangement->setEnabled(menus_.mALG[0]->isEnabled());
    menus_.mALG[5]->setVisible(false);

    const std::uint32_t polled = port_->PolledEvents();
    if (polled != 0 && !toldPolled_.contains(device_) && reportInfo) {
        toldPolled_.insert(device_);
        reportInfo(tr("The adapter of %1 cannot report changes of %2 by itself. Chronivel looks at %3 every "
                      "millisecond instead, so barrier times there may be up to a millisecond late.")
                       .arg(device_, EventNames(polled), polled & (polled - 1) ? tr("these lines") : tr("this line")));
    }
}

void BarrierPort::ListPorts()
{
    QMenu& menu = *menus_.Hardware1;
    for (QAction* action : menu.actions())
        if (action->property(PortEntryProperty).toBool()) delete action;

    QList<PortChoice> ports = AvailablePorts();
    const bool chosenPresent =
        device_.isEmpty() || std::any_of(ports.begin(), ports.end(), [this](const PortChoice& p) { return p.device == device_; });
    if (!chosenPresent)  // unplugged: it stays chosen, and is opened again when it is back
        ports.append({device_, tr("%1 \u2014 not connected").arg(QFileInfo(device_).fileName()), 0});

    QAction* before = menu.actions().value(menu.actions().indexOf(menus_.mNoHard) + 1);
    for (const PortChoice& port : ports) {
        auto* entry = new QAction(port.caption, &menu);
        entry->setProperty(PortEntryProperty, true);
        entry->setCheckable(true);
        entry->setData(port.device);
        menus_.mNoHard->actionGroup()->addAction(entry);
        entry->setChecked(port.device == device_);
        const int number = port.number;
        connect(entry, &QAction::triggered, this, [this, device = port.device, number] {
            app_.ChoosePortNumber(number);
            mCOM1Click(device);
        });
        menu.insertAction(before, entry);
    }
    menus_.mNoHard->setChecked(device_.isEmpty());
}

void BarrierPort::ShowMarks()
{
    menus_.mNoHard->setChecked(device_.isEmpty());
    menus_.mALG[rules_.Algorithm()]->setChecked(true);
    menus_.mLS[rules_.Arrangement() - 1]->setChecked(true);
}

void BarrierPort::Remember()
{
    app_.KeepBarrierChoice(device_.toStdString(), rules_.Algorithm(), rules_.Arrangement());
}

BarrierContext BarrierPort::Context(std::int64_t counter) const
{
    return {clock_.State(),
            clock_.LapEnabled(),
            pauseButton_.isEnabled(),
            clock_.LockTimerOn(),
            clock_.RunsStarted(),
            clock_.SinceLastLapMs(counter)};
}

void BarrierPort::Carry(BarrierCommand command, std::int64_t counter)
{
    switch (command) {
    case BarrierCommand::Stop:
    case BarrierCommand::Start: clock_.StartStopReset(counter); break;
    case BarrierCommand::Lap:
        if (menus_.mLAP->isEnabled()) clock_.TakeLap(counter);
        break;
    case BarrierCommand::Pause: clock_.TogglePause(counter); break;
    case BarrierCommand::None: break;
    }
}

}  // namespace chronivel
