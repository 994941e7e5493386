// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qtlocaletexts.h"

#include <gtest/gtest.h>

#include <ctime>

#include "core/alarmclock.h"

namespace chronivel {
namespace {

const QDateTime Monday(QDate(2026, 12, 7), QTime(14, 5, 9));

TEST(QtLocaleTexts, WritesTheStartTimeTheLocalesWay)
{
    const DateTimeTexts german = QtLocaleTexts(QLocale(QLocale::German, QLocale::Germany)).At(Monday);
    EXPECT_EQ(german.longTime, "14:05:09");
    EXPECT_EQ(german.shortDate, "07.12.26");
    EXPECT_EQ(german.dayName.substr(0, 2), "Mo");

    const DateTimeTexts american = QtLocaleTexts(QLocale(QLocale::English, QLocale::UnitedStates)).At(Monday);
    // Newer locale data puts a narrow space before "PM"; either way no time zone follows.
    EXPECT_EQ(QString::fromStdString(american.longTime).replace(QChar(0x202F), QChar(' ')),
              QStringLiteral("2:05:09 PM"));
    EXPECT_EQ(american.dayName, "Mon");
    EXPECT_EQ(american.shortDate, "12/7/26");
}

struct AlarmAcrossAChange {
    const char* now;  // UTC
    int hours;
    const char* due;  // UTC
};

class DaylightSavingTest : public ::testing::TestWithParam<AlarmAcrossAChange> {
protected:
    static void SetZone(const QByteArray& zone)
    {
        zone.isEmpty() ? qunsetenv("TZ") : qputenv("TZ", zone);
        tzset();
    }
    void SetUp() override { SetZone("Europe/Berlin"); }
    void TearDown() override { SetZone(oldZone_); }
    const QByteArray oldZone_ = qgetenv("TZ");
};

// Berlin goes from UTC+1 to UTC+2 at 02:00 on the last Sunday of March and
// back at 03:00 on the last Sunday of October: the alarm rings when the
// clock on the wall shows its time, whatever the offset when it was set.
TEST_P(DaylightSavingTest, AnAlarmRingsAtTheTimeOnTheWall)
{
    const QtLocaleTexts clock;
    AlarmClock alarm(clock);
    alarm.Set(true, GetParam().hours, 30, 0, QDateTime::fromString(QLatin1String(GetParam().now), Qt::ISODate).toMSecsSinceEpoch());
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(alarm.DueMs(), Qt::UTC).toString(Qt::ISODate).toStdString(), GetParam().due);
}

INSTANTIATE_TEST_SUITE_P(Berlin2025, DaylightSavingTest,
                         ::testing::Values(
                             // Saturday 22:00 for 06:30 the next morning, and for 06:30 after midnight, before the change.
                             AlarmAcrossAChange{"2025-03-29T21:00:00Z", 6, "2025-03-30T04:30:00Z"},
                             AlarmAcrossAChange{"2025-10-25T20:00:00Z", 6, "2025-10-26T05:30:00Z"},
                             AlarmAcrossAChange{"2025-03-29T23:30:00Z", 6, "2025-03-30T04:30:00Z"},
                             AlarmAcrossAChange{"2025-10-25T23:00:00Z", 6, "2025-10-26T05:30:00Z"},
                             // 02:30 does not come that night: as far past the jump as it lies into the hour skipped.
                             AlarmAcrossAChange{"2025-03-29T21:00:00Z", 2, "2025-03-30T01:30:00Z"},
                             // 02:30 comes twice: the first time.
                             AlarmAcrossAChange{"2025-10-25T20:00:00Z", 2, "2025-10-26T00:30:00Z"}));

}  // namespace
}  // namespace chronivel
