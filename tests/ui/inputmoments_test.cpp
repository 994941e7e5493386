// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/inputtime.h"
#include "tests/ui/mainwindow_fixture.h"

// How QTest hands a key to the shortcut map, as the window system would: with its stamp.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text, bool autorep, ushort count);

namespace chronivel {
namespace {

// Keys and clicks that reach a busy window late, stamped by the window system
// when the user gave them: the run counts from the stamps.
class InputMomentsTest : public testing::MainWindowFixture {
protected:
    void Begin()
    {
        inputClock.now = 500'000'000'500;  // 500,000 s since boot, half a millisecond in
        Start();
        window->StampInputWith(times);
    }
    // The window system's clock in milliseconds, as its events carry it.
    std::uint64_t NowMs() const { return static_cast<std::uint64_t>(inputClock.now / 1000); }
    // The program was busy: both clocks moved on while nothing was handled.
    void Busy(int ms)
    {
        platform.Advance(ms);
        inputClock.now += std::int64_t{ms} * 1000;
    }

    void Key(Qt::Key key, const QString& text, std::uint64_t stampMs)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        if (!qt_sendShortcutOverrideEvent(target, stampMs, key, Qt::NoModifier, text, false, 1)) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            press.setTimestamp(stampMs);
            QApplication::sendEvent(target, &press);
        }
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        release.setTimestamp(stampMs + 80);
        QApplication::sendEvent(target, &release);
    }
    void Click(const char* button, std::uint64_t stampMs)
    {
        auto* widget = Find<QWidget>(button);
        const QPoint at = widget->rect().center();
        QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        press.setTimestamp(stampMs);
        QApplication::sendEvent(widget, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        release.setTimestamp(stampMs + 90);
        QApplication::sendEvent(widget, &release);
    }

    // The lap list as the window shows it.
    std::vector<std::string> LapLines() const
    {
        auto* list = Find<QComboBox>("cmb_Zwischenzeit");
        std::vector<std::string> lines;
        for (int i = 0; i < list->count(); ++i) lines.push_back(list->itemText(i).toStdString());
        return lines;
    }
    std::string Protocol() const
    {
        QFile file(ProtocolPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    testing::FakeInputClock inputClock;
    InputEventTimes times{timer, inputClock};
};

TEST_F(InputMomentsTest, KeysPressedWhileTheWindowWasBusyCountFromTheirPress)
{
    Begin();
    const std::uint64_t start = NowMs();
    Key(Qt::Key_Return, QStringLiteral("\r"), start);
    Busy(3'000);  // the keys below wait for the window
    Key(Qt::Key_Space, QStringLiteral(" "), start + 1'255);
    Key(Qt::Key_Pause, QString(), start + 1'400);  // a key of the window, not a shortcut
    Key(Qt::Key_Pause, QString(), start + 1'500);
    Key(Qt::Key_Return, QStringLiteral("\r"), start + 1'674);
    const std::vector<std::string> lines = LapLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "LAP 1 =  1,255");
    EXPECT_EQ(lines[2], "PAUSE = 0,100");
    EXPECT_TRUE(lines[3].starts_with("STOP: =  1,574 ( +0,319)")) << lines[3];
    WaitForSaves();
    EXPECT_NE(Protocol().find("LAP 1 =  1,255"), std::string::npos) << Protocol();
}

TEST_F(InputMomentsTest, ButtonsPressedWhileTheWindowWasBusyCountFromTheirPress)
{
    Begin();
    const std::uint64_t start = NowMs();
    Click("cmd_StartStop", start);
    Busy(5'000);
    Click("cmd_LAP", start + 1'000);
    Click("bPause", start + 2'000);
    Click("bPause", start + 2'600);  // continue: 0.6 s of pause
    Click("cmd_StartStop", start + 4'000);
    const std::vector<std::string> lines = LapLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "LAP 1 =  1,000");
    EXPECT_EQ(lines[2], "PAUSE = 0,600");
    EXPECT_TRUE(lines[3].starts_with("STOP: =  3,400")) << lines[3];
}

TEST_F(InputMomentsTest, StampsThatCannotBeBelievedCountFromWhenTheyAreHandled)
{
    Begin();
    Key(Qt::Key_Return, QStringLiteral("\r"), NowMs());
    Busy(2'000);
    Key(Qt::Key_Space, QStringLiteral(" "), NowMs() + 60'000);  // a stamp from the future
    Busy(3'000);
    // Older than any stall of the program: a stamp on some other clock. (If
    // it were believed, it would count as the lap, the command before it.)
    Key(Qt::Key_Return, QStringLiteral("\r"), NowMs() - MaxInputEventAgeMs - 1);
    const std::vector<std::string> lines = LapLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "LAP 1 =  2,000");
    EXPECT_TRUE(lines[2].starts_with("STOP: =  5,000")) << lines[2];
}

}  // namespace
}  // namespace chronivel
