#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

#include "core/chronometer.h"
#include "ui/eventsounds.h"

class QLabel;
class QListWidget;

namespace chronivel {

// A plain window to try the chronometer by hand until the real face exists:
// Enter starts, stops and resets, Space takes a lap, Pause pauses, 0 resets.
class TrialWindow final : public QWidget, private ChronometerObserver {
    Q_OBJECT
public:
    TrialWindow(THighResTimer& timer, const LocaleTexts& locale, QWidget* parent = nullptr);

    Chronometer& Clock() { return chronometer_; }
    // Once the settings are applied: a readout with tenths needs a slower tick.
    void StartUpDone();

    // Set by whoever keeps the settings and the protocol.
    std::function<void()> controlsChanged;
    std::function<bool(const std::vector<std::string>&)> writeProtocol;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TimeShown(std::int64_t value, std::uint32_t changedDigits) override;
    void ControlsChanged() override;
    void PlaySound(EventSound sound) override { sounds_.Play(sound); }
    void WarningBeep() override;
    void RestoreApplication() override;
    bool WriteProtocol(const std::vector<std::string>& lines) override { return writeProtocol && writeProtocol(lines); }
    void ShowSecondMonitorLap(std::int64_t) override {}
    void SetSecondMonitorLapLabel(const std::string&) override {}

    Chronometer chronometer_;
    EventSounds sounds_;
    QLabel* readout_;
    QLabel* state_;
    QListWidget* laps_;
    QTimer displayTimer_;
    QTimer lockTimer_;
};

}  // namespace chronivel
