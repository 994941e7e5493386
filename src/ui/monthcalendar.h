#pragma once

#include <QCalendarWidget>

class QTableView;

namespace chronivel {

// The calendar on the face. Its cells are narrow for their text at every
// zoom, so the weekday headings take the largest font, up to the calendar's
// own, at which every one of them fits its cell whole.
class TMonthCalendar final : public QCalendarWidget {
    Q_OBJECT
public:
    explicit TMonthCalendar(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitWeekdayHeadings();

    QTableView* days_ = nullptr;
};

}  // namespace chronivel
