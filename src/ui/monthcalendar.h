// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCalendarWidget>

class QTableView;

namespace chronivel {

// The calendar on the face. Its cells are narrow for their text at every
// zoom, so the weekday headings take the largest font, up to the calendar's
// own, at which every one of them fits its cell whole. It opens on today
// and closes on a double click (or Enter) on a day.
class TMonthCalendar final : public QCalendarWidget {
    Q_OBJECT
public:
    explicit TMonthCalendar(QWidget* parent = nullptr);

    // Shows the calendar on today's date, or hides it.
    void Open(bool on);
    void Toggle() { Open(isHidden()); }
    void Close() { Open(false); }
    // The month arrows grow with the window's zoom factor, as its font does.
    void SetZoom(int factor);

signals:
    // The calendar was opened or closed; a menu's check mark follows it.
    void opened(bool on);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitWeekdayHeadings();

    QTableView* days_ = nullptr;
};

}  // namespace chronivel
