// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qtlocaletexts.h"

#include <QRegularExpression>

namespace chronivel {

DateTimeTexts QtLocaleTexts::At(const QDateTime& moment) const
{
    // Qt's long time format ends in the time zone; a start time in the lap
    // list reads like the clock on the wall, so that part goes.
    static const QRegularExpression timeZone(QStringLiteral("\\s*\\bt+\\b"));
    const QString timeFormat = locale_.timeFormat(QLocale::LongFormat).remove(timeZone).trimmed();
    return DateTimeTexts{
        locale_.toString(moment.time(), timeFormat).toStdString(),
        locale_.dayName(moment.date().dayOfWeek(), QLocale::ShortFormat).toStdString(),
        locale_.toString(moment.date(), QLocale::ShortFormat).toStdString(),
        moment.toMSecsSinceEpoch(),
    };
}

std::int64_t QtLocaleTexts::LocalMoment(std::int64_t epochMs, int days, int secondOfDay) const
{
    const QDate day = QDateTime::fromMSecsSinceEpoch(epochMs).date().addDays(days);
    return QDateTime(day, QTime::fromMSecsSinceStartOfDay(secondOfDay * 1000)).toMSecsSinceEpoch();
}

}  // namespace chronivel
