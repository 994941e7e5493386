// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's face as the user sees it at every zoom and on every colour.
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <gtest/gtest.h>

#include "tests/ui/mainwindow_fixture.h"
#include "ui/readablecolour.h"
#include "ui/readout.h"

namespace chronivel {
namespace {

class MainFaceTest : public testing::MainWindowFixture {
protected:
    void Key(QKeyCombination key) { QTest::keyClick(window.get(), key.key(), key.keyboardModifiers()); }

    // The small controls' sizes as the user sees them: the alarm button,
    // the countdown lamp as painted, the lap list's arrow, the calendar's month arrows.
    std::vector<int> SmallControls()
    {
        auto* led = Find<QWidget>("Led_CountDown");
        const QImage lamp = led->grab().toImage();
        int painted = 0;  // the lamp's painted width along its middle row
        for (int x = 0; x < lamp.width(); ++x) painted += lamp.pixelColor(x, lamp.height() / 2) != window->palette().window().color();
        auto* list = Find<QComboBox>("cmb_Zwischenzeit");
        QStyleOptionComboBox option;
        option.initFrom(list);
        const QRect arrow = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, list);
        auto* previous = Find<QToolButton>("qt_calendar_prevmonth");
        return {Find<QWidget>("sbBud")->width(), painted, arrow.width(), previous->iconSize().width()};
    }
};

TEST_F(MainFaceTest, TheSmallControlsGrowWithTheZoom)
{
    Start();
    Key(Qt::CTRL | Qt::Key_D);  // the calendar, made at its first opening
    const std::vector<int> one = SmallControls();
    Entry("Zoom5")->trigger();
    const std::vector<int> five = SmallControls();
    const char* names[] = {"alarm button", "countdown lamp", "lap list arrow", "month arrow"};
    for (std::size_t i = 0; i < one.size(); ++i) {
        EXPECT_GE(five[i], 5 * one[i] - 2) << names[i] << ": " << one[i] << " px at zoom 1";
        EXPECT_LE(five[i], 5 * one[i] + 2) << names[i] << ": " << one[i] << " px at zoom 1";
    }
}

TEST_F(MainFaceTest, TheOpenCalendarIsWholeAndAboveTheRunningReadout)
{
    Start();
    Key(Qt::Key_Return);
    const auto tick = [this] {
        platform.Advance(1'111);
        window->Model().DisplayTick();
    };
    for (const char* zoom : {"Zoom1", "Zoom5"}) {
        Entry(zoom)->trigger();
        tick();
        QTest::qWait(50);  // a frame later: the next tick's digits are drawn at once
        // A tick as the calendar opens, before the calendar has laid out its parts.
        Key(Qt::CTRL | Qt::Key_D);
        tick();
        QTest::qWait(50);
        auto* calendar = Find<QWidget>("MonthCalendar1");
        const QRect area = calendar->geometry();
        for (const QPoint corner : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()})
            EXPECT_TRUE(window->mask().contains(corner)) << zoom << ": the window cuts the calendar's corner";
        // What the screen shows, not what the widgets would paint now.
        const QImage shown = window->screen()->grabWindow(window->winId()).toImage();
        const QRect readout = Find<QWidget>("lbl_Tickmor")->geometry() & area;
        int lime = 0;
        for (int y = readout.top(); y <= readout.bottom(); ++y)
            for (int x = readout.left(); x <= readout.right(); ++x)
                lime += shown.pixelColor(x, y).green() > 200 && shown.pixelColor(x, y).red() < 80;
        EXPECT_EQ(lime, 0) << zoom << ": the readout shows through the calendar";
        Key(Qt::Key_Escape);
        EXPECT_FALSE(window->mask().contains(area.topLeft())) << zoom << ": round again once it closes";
    }
}

TEST_F(MainFaceTest, CaptionsReadOnEveryFaceAndKeepTheirColoursOnTheDial)
{
    for (const std::int32_t bgr : {0x0000FF, 0xFF0000, 0x004000, 0x00FFFF, 0}) {  // red, blue, green, yellow, the dial
        Settings coloured;
        coloured.color = bgr;
        Store(coloured);
        Start();
        const QColor face = window->palette().window().color();
        const auto colour = [this](const char* label) { return Find<QLabel>(label)->palette().windowText().color(); };
        if (bgr == 0) continue;  // the dial, last: its colours are checked below
        for (const char* label : {"LabelBest2", "lbl_Leader", "LabelSC"})
            EXPECT_GE(ContrastRatio(colour(label), face), 4.5) << std::hex << bgr << ": " << label;
    }
    EXPECT_EQ(Find<QLabel>("LabelBest2")->palette().windowText().color(), QColor(Qt::red));
    EXPECT_EQ(Find<QLabel>("lbl_Leader")->palette().windowText().color(), QColor(Qt::black));
}

TEST_F(MainFaceTest, TheCountdownLampSaysWhatAClickDoes)
{
    Start();
    auto* led = Find<QWidget>("Led_CountDown");
    QHelpEvent hover(QEvent::ToolTip, led->rect().center(), led->mapToGlobal(led->rect().center()));
    QCoreApplication::sendEvent(led, &hover);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("click to count down"))) << QToolTip::text().toStdString();
    EXPECT_EQ(Find<QWidget>("LabelSC")->toolTip(), led->toolTip()) << "the label beside it switches too";
}

}  // namespace
}  // namespace chronivel
