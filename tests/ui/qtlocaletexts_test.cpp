#include "ui/qtlocaletexts.h"

#include <gtest/gtest.h>

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

TEST(QtLocaleTexts, TellsTheTimeOfDayAsAFractionOfTheDay)
{
    const QtLocaleTexts texts(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(texts.At(QDateTime(Monday.date(), QTime(18, 0))).dayFraction, 0.75);
    EXPECT_DOUBLE_EQ(texts.At(QDateTime(Monday.date(), QTime(0, 0))).dayFraction, 0.0);
}

}  // namespace
}  // namespace chronivel
