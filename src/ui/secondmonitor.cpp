// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/secondmonitor.h"

#include "core/chronivelapp.h"

namespace chronivel {

SecondMonitor::SecondMonitor(ChronivelApp& app, const QString& dateText, QWidget* owner)
    : app_(app), window_(dateText, owner)
{
    connect(&window_, &TFormMonitor2::escaped, this, [this] { app_.SecondMonitorClosed(); });
    Changed();
    app_.AddView(*this);
    SecondMonitorChanged();
}

SecondMonitor::~SecondMonitor()
{
    app_.RemoveView(*this);
}

void SecondMonitor::TimeShown(std::int64_t value, std::uint32_t)
{
    shown_ = value;
    if (window_.isVisible()) window_.ShowTime(value, app_.Clock().Digits());
}

void SecondMonitor::Changed()
{
    const TimeFormat& format = app_.Clock().Format();
    if (laidOut_ == format) return;
    laidOut_ = format;
    window_.SetFormat(format);
}

void SecondMonitor::SecondMonitorChanged()
{
    const MonitorChoice& choice = app_.SecondMonitor();
    if (!choice.Shown() || !window_.PlaceOnMonitor(choice.Index())) {
        window_.hide();
        return;
    }
    window_.show();
    window_.ShowTime(shown_, app_.Clock().Digits());  // a stopped readout has no tick to bring it
}

void SecondMonitor::SecondMonitorLap(std::int64_t value)
{
    if (window_.isVisible()) window_.ShowLap(value, app_.Clock().Digits());
}

void SecondMonitor::SecondMonitorLapCaption(const std::string& caption)
{
    window_.SetLapCaption(QString::fromStdString(caption));
}

}  // namespace chronivel
