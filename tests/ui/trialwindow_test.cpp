#include "ui/trialwindow.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/systemtimerplatform.h"
#include "ui/qtlocaletexts.h"

namespace chronivel {
namespace {

TEST(TrialWindow, KeysDriveTheChronometer)
{
    const auto platform = MakeSystemTimerPlatform();
    THighResTimer timer(*platform);
    const QtLocaleTexts locale;
    TrialWindow window(timer, locale);
    window.show();
    auto* state = window.findChild<QLabel*>(QStringLiteral("cmd_StartStop"));
    auto* readout = window.findChild<QLabel*>(QStringLiteral("lbl_Tickmor"));
    auto* laps = window.findChild<QListWidget*>(QStringLiteral("cmb_Zwischenzeit"));
    ASSERT_TRUE(state && readout && laps);
    EXPECT_EQ(readout->text(), QStringLiteral("00:00.00,000"));

    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_EQ(state->text(), QStringLiteral("STOP"));
    QTest::qWait(30);  // the display timer runs
    EXPECT_NE(readout->text(), QStringLiteral("00:00.00,000"));

    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_EQ(laps->count(), 2);
    EXPECT_TRUE(laps->item(1)->text().startsWith(QStringLiteral("LAP 1 = ")));

    QTest::keyClick(&window, Qt::Key_Pause);
    EXPECT_EQ(state->text(), QStringLiteral("STOP (paused)"));
    QTest::keyClick(&window, Qt::Key_Pause);

    QTest::keyClick(&window, Qt::Key_0);
    EXPECT_EQ(state->text(), QStringLiteral("START"));
    EXPECT_EQ(laps->count(), 0);
    EXPECT_EQ(readout->text(), QStringLiteral("00:00.00,000"));
}

}  // namespace
}  // namespace chronivel
