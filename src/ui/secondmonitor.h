// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <cstdint>
#include <optional>
#include <string>

#include "core/appview.h"
#include "core/timetext.h"
#include "ui/monitorwindow.h"

namespace chronivel {

class ChronivelApp;

// The big display for an audience as a view of the model: it copies the
// readout while it shows, takes the laps, and goes to the monitor the
// model's choice names, full-screen there, or hides. Escape tells the model.
class SecondMonitor final : public QObject, public AppView {
    Q_OBJECT
public:
    // `dateText`: the main window's date, the window's title. `owner`, the
    // main window: the program ends with it even while this one shows.
    SecondMonitor(ChronivelApp& app, const QString& dateText, QWidget* owner);
    ~SecondMonitor() override;

    TFormMonitor2& Window() { return window_; }

    void TimeShown(std::int64_t value, std::uint32_t changedDigits) override;
    void Changed() override;
    void SecondMonitorChanged() override;
    void SecondMonitorLap(std::int64_t value) override;
    void SecondMonitorLapCaption(const std::string& caption) override;

private:
    ChronivelApp& app_;
    TFormMonitor2 window_;
    std::int64_t shown_ = 0;  // what the readout shows now
    // The format both rows are laid out for: a new one lays them out anew.
    std::optional<TimeFormat> laidOut_;
};

}  // namespace chronivel
