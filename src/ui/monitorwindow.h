// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <cstdint>

#include "core/readoutdigits.h"
#include "core/timetext.h"

class QLabel;

namespace chronivel {

class TFrameDigit;

// The second monitor's window: the running time and the last lap in big
// digits for an audience, covering one whole monitor, without a frame and
// without a mouse pointer. A view: it shows what it is given and hides on
// Escape; which monitor, and when to show it, its owner decides.
class TFormMonitor2 final : public QWidget {
    Q_OBJECT
public:
    // `dateText` is the title, the main window's date when this is made.
    explicit TFormMonitor2(const QString& dateText, QWidget* parent = nullptr);

    // The readout drew `value` as `shown`: the time row copies it.
    void ShowTime(std::int64_t value, const ReadoutDigits& shown);
    // A lap, a reset (0) or the countdown switched: the lap row shows it.
    void ShowLap(std::int64_t value, const ReadoutDigits& shown);
    // " Lap 3:" after a lap, " Lap:" after a reset.
    void SetLapCaption(const QString& caption);
    // The format, the hours and the decimal places both rows show.
    void SetFormat(const TimeFormat& format);

    // The time text `row` shows (FrameDigit1 or FrameDigit2), as the main
    // readout would write it: its name to assistive technology.
    QString RowText(const TFrameDigit* row) const;

    // Sizes the fonts and rows for the window's size and lays both rows out
    // anew; also done on every resize.
    void LayoutMonitor();
    // Covers monitor `index` (0 = the primary monitor, the first of
    // QGuiApplication::screens()): stays on top of other windows except on
    // the primary monitor, where it is an ordinary window in front of the
    // main one. An index naming no monitor changes nothing and answers false.
    bool PlaceOnMonitor(int index);

signals:
    // The user closed it with Escape.
    void escaped();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent*) override { LayoutMonitor(); }
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* panel1_;
    QWidget* panelTimer_;
    QLabel* panelTitle_;
    QWidget* panelLab1_;
    QLabel* label2_;
    TFrameDigit* frameDigit1_;
    QWidget* panelLab2_;
    QLabel* labelLap_;
    TFrameDigit* frameDigit2_;
    QLabel* panelBottom_;
    int monitor_ = -1;
    std::int64_t time_ = 0;
    std::int64_t lap_ = 0;
};

}  // namespace chronivel
