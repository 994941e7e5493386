#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

#include "core/comport.h"
#include "core/lightbarriers.h"

class QAction;
class QWidget;

namespace chronivel {

class Chronometer;
class MainMenus;
class ChronivelApp;
class TLed;

// The light barriers' serial port: the "Hardware" menu's choices, the port
// itself, and the rules that turn its line changes into commands, each
// given at the moment its edge was seen.
class BarrierPort final : public QObject {
    Q_OBJECT
public:
    BarrierPort(Chronometer& clock, ChronivelApp& app, MainMenus& menus, SerialPorts& ports,
                QWidget& pauseButton, TLed& lockLed, QObject* parent = nullptr);
    ~BarrierPort() override;

    // Takes the stored choices and opens the port chosen last, so that a
    // run resumed at start-up still has its barriers.
    void Restore();
    void Close() { port_->Close(); }

    TComPort& Port() { return *port_; }
    const LightBarriers& Rules() const { return rules_; }
    // The device of the chosen port; empty for none.
    QString Device() const { return device_; }

    // Port choice: a device path (COMn on Windows), or empty for none.
    void mCOM1Click(const QString& device);
    void mALG_Click(int algorithm);
    void mLS1Click(int arrangement);

    // Errors for the user; the window's message box.
    std::function<void(const QString&)> reportError;
    // Something the user should know once; the window's message box.
    std::function<void(const QString&)> reportInfo;

private:
    void ListPorts();
    // `hint` follows an error message: what the user can do about it.
    void Open(const QString& hint = {});
    void ShowMarks();
    BarrierContext Context(std::int64_t counter) const;
    void Carry(BarrierCommand command, std::int64_t counter);
    void Remember();

    Chronometer& clock_;
    ChronivelApp& app_;
    MainMenus& menus_;
    QWidget& pauseButton_;
    TLed& lockLed_;
    std::unique_ptr<TComPort> port_;
    LightBarriers rules_;
    QString device_;
    QSet<QString> toldPolled_;  // devices whose polled lines the user was told about
};

// A serial port the system reports, as the "Hardware" menu lists it.
struct PortChoice {
    QString device;   // what it is opened by: its path on Linux, COMn on Windows
    QString caption;  // "ttyUSB0 — FT232R USB UART"
    int number = 0;   // the "Port" setting: n of COMn, else its place in the list
};
QList<PortChoice> AvailablePorts();

}  // namespace chronivel
