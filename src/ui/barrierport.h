#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "core/barrierpipeline.h"

class QAction;

namespace chronivel {

class Chronometer;
class MainMenus;
class SettingsKeeper;
class TLed;

// The "Hardware" menu: its marks and port entries, and the clicks on them
// handed to the light barriers' pipeline.
class BarrierPort final : public QObject {
    Q_OBJECT
public:
    BarrierPort(Chronometer& clock, SettingsKeeper& keeper, MainMenus& menus, SerialPorts& ports, TLed& lockLed,
                QObject* parent = nullptr);
    ~BarrierPort() override;

    // Takes the stored choices and opens the port chosen last, so that a
    // run resumed at start-up still has its barriers.
    void Restore();
    void Close() { pipeline_.Close(); }

    BarrierPipeline& Pipeline() { return pipeline_; }
    TComPort& Port() { return pipeline_.Port(); }

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
    void Choose(const QString& device, int number);
    void ShowMarks();
    void Remember();

    SettingsKeeper& keeper_;
    MainMenus& menus_;
    TLed& lockLed_;
    SerialPorts& ports_;
    BarrierPipeline pipeline_;
};

}  // namespace chronivel
