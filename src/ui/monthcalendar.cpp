// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/monthcalendar.h"

#include <QDate>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStyle>
#include <QTableView>
#include <QTextCharFormat>
#include <QToolButton>

#include <algorithm>

namespace chronivel {

TMonthCalendar::TMonthCalendar(QWidget* parent)
    : QCalendarWidget(parent),
      days_(findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview")))
{
    // The cells' width is known only once the table of days is laid out.
    if (days_) days_->viewport()->installEventFilter(this);
    connect(this, &QCalendarWidget::activated, this, &TMonthCalendar::Close);
}

void TMonthCalendar::Open(bool on)
{
    if (on) setSelectedDate(QDate::currentDate());
    setVisible(on);
    emit opened(on);
}

void TMonthCalendar::SetZoom(int factor)
{
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this) * factor;
    for (const char* arrow : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"})
        if (auto* button = findChild<QToolButton*>(QString::fromLatin1(arrow))) button->setIconSize(QSize(side, side));
}

void TMonthCalendar::changeEvent(QEvent* event)
{
    QCalendarWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LocaleChange) FitWeekdayHeadings();
}

bool TMonthCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (days_ && watched == days_->viewport() && event->type() == QEvent::Resize) FitWeekdayHeadings();
    return QCalendarWidget::eventFilter(watched, event);
}

void TMonthCalendar::FitWeekdayHeadings()
{
    if (!days_) return;
    const int columns = days_->model()->columnCount();  // the week numbers' and the days'
    // A cell's text is cut short where it is wider than the cell less the style's margins.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, days_) + 1);
    const int room = days_->viewport()->width() / columns - margins;
    QFont heading = font();
    const auto widest = [this](const QFont& font) {
        const QFontMetrics metrics(font);
        int width = 0;
        for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
            width = std::max(width, metrics.horizontalAdvance(locale().dayName(day, QLocale::ShortFormat)));
        return width;
    };
    for (int size = QFontInfo(heading).pixelSize(); size > 1 && widest(heading) > room; --size)
        heading.setPixelSize(size - 1);
    QTextCharFormat format = headerTextFormat();
    format.setFont(heading);
    setHeaderTextFormat(format);
}

}  // namespace chronivel
