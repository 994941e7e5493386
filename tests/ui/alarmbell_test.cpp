// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm clock on the main window: the button's pictures, and what the
// user hears and may do while the alarm rings.
#include <QFile>
#include <QLabel>
#include <QSoundEffect>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

#include "tests/ui/mainwindow_fixture.h"
#include "tests/ui/wavreader.h"
#include "ui/alarmbell.h"
#include "ui/monthcalendar.h"

namespace chronivel {
namespace {

using testing::ParseWav;
using testing::Wav;

class AlarmBellTest : public testing::MainWindowFixture {
protected:
    // An alarm at 18:00, still to come, as a previous run left it.
    void StartWithAlarm(bool armed, int zoom = 0)
    {
        Settings s;
        s.alarmOn = armed;
        s.alarm = 0.75;
        s.zoom = zoom;
        Store(s);
        Start();
    }

    AlarmBell& Bell() { return window->Bell(); }
    // The rings the model would send, and what the user's acts told it.
    void Ring() { static_cast<AppView&>(Bell()).AlarmRang(); }
    void Silence() { static_cast<AppView&>(Bell()).AlarmSilenced(); }
    void CountAcknowledgements() { Bell().acknowledge = [this] { ++heard; }; }

    // A point of the face itself, not of a control on it.
    QPoint OnTheFace() const
    {
        for (int y = window->height() / 4; y < window->height(); y += 3)
            for (int x = window->width() / 4; x < window->width() * 3 / 4; x += 3)
                if (!window->childAt(x, y)) return {x, y};
        ADD_FAILURE() << "no bare face";
        return {};
    }

    // The alarm button as it appears in the window.
    QImage ButtonOnScreen()
    {
        auto* button = Find<QToolButton>("sbBud");
        return window->grab(button->geometry()).toImage();
    }

    bool SoundPlaying()
    {
        // Played to no device, some Qt versions report it as not playing; the loop still runs.
        return Bell().Sound().isPlaying() || Bell().Sound().loopsRemaining() != 0;
    }

    int heard = 0;
};

// Pixels of the rays' amber in the outer fifth of the button on the left and on the right.
std::pair<int, int> AmberAtTheSides(const QImage& button)
{
    std::pair<int, int> count;
    const int edge = button.width() / 5 + 1;
    for (int y = 0; y < button.height(); ++y)
        for (int x = 0; x < button.width(); ++x) {
            const QColor c = button.pixelColor(x, y);
            if (!(c.red() > 150 && c.green() > 80 && c.green() < 200 && c.blue() < 90 && c.red() - c.green() > 40)) continue;
            if (x < edge) ++count.first;
            if (x >= button.width() - edge) ++count.second;
        }
    return count;
}

TEST_F(AlarmBellTest, TheButtonShowsRingingRaysWhileArmedAtEveryZoom)
{
    for (int zoom = 0; zoom < ZoomSteps; ++zoom) {
        SCOPED_TRACE(zoom);
        StartWithAlarm(true, zoom);
        ASSERT_TRUE(app->Alarm().Armed());
        auto* button = Find<QToolButton>("sbBud");
        EXPECT_TRUE(button->autoRaise()) << "a flat button";
        EXPECT_EQ(button->toolTip(), QStringLiteral("[Ctrl+A] Alarm clock"));
        EXPECT_FALSE(button->icon().isNull());
        const QImage armed = ButtonOnScreen();
        const auto [armedLeft, armedRight] = AmberAtTheSides(armed);
        EXPECT_GT(armedLeft, 0) << "rays on the left";
        EXPECT_GT(armedRight, 0) << "rays on the right";

        StartWithAlarm(false, zoom);
        ASSERT_FALSE(app->Alarm().Armed());
        const QImage quiet = ButtonOnScreen();
        ASSERT_EQ(quiet.size(), armed.size());
        EXPECT_EQ(AmberAtTheSides(quiet), std::make_pair(0, 0)) << "no rays";
        EXPECT_NE(quiet, armed);
    }
}

TEST_F(AlarmBellTest, RingingBringsTheWindowBackAndRingsUntilSilenced)
{
    StartWithAlarm(true);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Bell().Sound().status() != QSoundEffect::Loading; }, 10000));
    ASSERT_EQ(Bell().Sound().status(), QSoundEffect::Ready) << "the ring loads from " << AlarmBell::Source().toString().toStdString();
    window->showMinimized();
    ASSERT_TRUE(window->isMinimized());
    EXPECT_FALSE(SoundPlaying());

    Ring();
    EXPECT_FALSE(window->isMinimized()) << "the window comes back";
    EXPECT_TRUE(Bell().Ringing());
    EXPECT_TRUE(SoundPlaying());
    QTest::qWait(1500);  // longer than the ring: it starts again
    EXPECT_TRUE(SoundPlaying());

    Silence();
    EXPECT_FALSE(Bell().Ringing());
    EXPECT_FALSE(Bell().Sound().isPlaying());
}

TEST_F(AlarmBellTest, WhileItRingsAClickOnTheFaceOrTheButtonOrEscapeIsTheAcknowledgement)
{
    StartWithAlarm(true);
    CountAcknowledgements();
    auto* button = Find<QToolButton>("sbBud");
    bool dialogAsked = false;
    QObject::connect(button, &QToolButton::clicked, [&] { dialogAsked = true; });

    Ring();
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, OnTheFace());
    EXPECT_EQ(heard, 1) << "a click on the face";
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(heard, 2) << "a click on the alarm button";
    EXPECT_FALSE(dialogAsked) << "the click was the acknowledgement, not the button's own";
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(), Qt::Key_Escape);
    EXPECT_EQ(heard, 3) << "Escape";

    Silence();
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, OnTheFace());
    QString opened;  // the button opens the alarm dialog again, modal: it is looked at and closed
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened = dialog->objectName();
            dialog->close();
        }
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(dialogAsked) << "the button is the alarm clock's again";
    EXPECT_EQ(opened, QStringLiteral("FormBud"));
    Entry("Calendar1")->trigger();
    auto* calendar = Find<TMonthCalendar>("MonthCalendar1");
    ASSERT_TRUE(calendar && calendar->isVisible());
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(), Qt::Key_Escape);
    EXPECT_EQ(heard, 3) << "silenced, nothing is an acknowledgement";
    EXPECT_FALSE(calendar->isVisible()) << "Escape closes the calendar again";
}

TEST_F(AlarmBellTest, WhileItRingsTheWindowSaysSoAndTheButtonKeepsItsRays)
{
    Settings s;
    s.alarmOn = true;
    s.alarm = 0.25;
    s.alarmDue = -60'000;  // a minute before the fixture's clock: it rings at the start
    Store(s);
    Start();
    ASSERT_TRUE(app->Alarm().Ringing());
    const QLabel& banner = Bell().Banner();
    EXPECT_TRUE(banner.isVisible());
    EXPECT_EQ(banner.text().replace(QChar(0xA0), QChar(' ')), QStringLiteral("Alarm 06:00:00 — click or Esc"));
    const QRect readout = Find<QWidget>("lbl_Tickmor")->geometry();
    const QImage picture = window->grab().toImage();
    EXPECT_TRUE(picture.save(QStringLiteral("alarm-rings.png")));
    int red = 0;
    for (int y = readout.top(); y <= readout.bottom(); ++y)
        for (int x = readout.left(); x <= readout.right(); ++x) red += picture.pixelColor(x, y) == QColor(200, 0, 0);
    EXPECT_GT(red, readout.width() * readout.height() / 3) << "the readout is the banner's";
    EXPECT_GT(AmberAtTheSides(ButtonOnScreen()).first, 0) << "not the grey of no alarm";

    QTest::mouseClick(const_cast<QLabel*>(&banner), Qt::LeftButton);
    EXPECT_FALSE(app->Alarm().Ringing()) << "a click on the banner is heard";
    EXPECT_FALSE(banner.isVisible());
    EXPECT_EQ(AmberAtTheSides(ButtonOnScreen()), std::make_pair(0, 0)) << "no alarm now";
}

TEST(AlarmRingSound, IsAboutASecondOfLoudMonoPcmThatLoopsWithoutAClick)
{
    QFile file(QStringLiteral(":/sounds/ALARM.wav"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const Wav wav = ParseWav(file.readAll());
    ASSERT_TRUE(wav.ok);
    EXPECT_EQ(wav.format, 1);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.bits, 16);
    ASSERT_GT(wav.sampleRate, 0);
    const double seconds = static_cast<double>(wav.samples.size()) / wav.sampleRate;
    EXPECT_GT(seconds, 0.8);
    EXPECT_LT(seconds, 1.6);
    // Played over and over: the end meets the start without a step.
    EXPECT_LT(std::abs(wav.samples.front()), 1000);
    EXPECT_LT(std::abs(wav.samples.back()), 1000);

    // Struck again and again: loud in every tenth of a second up to the end of the ring.
    const std::size_t tenth = static_cast<std::size_t>(wav.sampleRate) / 10;
    int loudTenths = 0;
    for (std::size_t at = 0; at + tenth <= wav.samples.size(); at += tenth) {
        double energy = 0;
        for (std::size_t i = at; i < at + tenth; ++i) energy += double(wav.samples[i]) * wav.samples[i];
        if (std::sqrt(energy / tenth) > 1000) ++loudTenths;
    }
    EXPECT_GE(loudTenths, 8) << "a ring, not a beep";
}

}  // namespace
}  // namespace chronivel
