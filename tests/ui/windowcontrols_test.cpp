// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls as a user meets them: what their buttons show.
#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <string_view>

#include <gtest/gtest.h>

#include "tests/ui/mainwindow_fixture.h"
#include "ui/colorbutton.h"
#include "ui/mainmenus.h"
#include "ui/readout.h"

namespace chronivel {
namespace {

class WindowControlsTest : public testing::MainWindowFixture {
protected:
    void Key(QKeyCombination key) { QTest::keyClick(window.get(), key.key(), key.keyboardModifiers()); }
};

// Pixels inside the button's edge that satisfy `is`.
template <typename Test>
int Count(const QImage& picture, Test is)
{
    const QRect inside = picture.rect().adjusted(4, 4, -4, -4);
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (is(picture.pixelColor(x, y))) ++count;
    return count;
}

// How many separate stretches of `is` pixels row `y` has inside the button's edge.
template <typename Test>
int Runs(const QImage& picture, int y, Test is)
{
    int runs = 0;
    bool in = false;
    for (int x = 4; x < picture.width() - 4; ++x) {
        const bool now = is(picture.pixelColor(x, y));
        if (now && !in) ++runs;
        in = now;
    }
    return runs;
}

TEST_F(WindowControlsTest, ThePauseButtonShowsItsBarsWhileRunningAndItsTriangleWhilePaused)
{
    Start();
    auto* pause = Find<TBitBtnWithColor>("bPause");
    Key(Qt::Key_Return);
    ASSERT_TRUE(pause->isVisible());
    const auto dark = [](const QColor& c) { return c.red() < 64 && c.green() < 64 && c.blue() < 64; };
    const auto green = [](const QColor& c) { return c.green() > 80 && c.red() < 40 && c.blue() < 40; };
    for (int zoom = 0; zoom < 5; ++zoom) {
        Entry("Zoom" + std::to_string(zoom + 1))->trigger();
        const int a = zoom + 1;
        // Two bars inside the glyph's one-pixel clear rim (11 × 13 at zoom 1),
        // each a third of the rest wide, with a gap between them.
        const QImage picture = pause->grab().toImage();
        EXPECT_GE(Count(picture, dark), 2 * (3 * a) * (11 * a)) << "zoom " << a;
        EXPECT_EQ(Runs(picture, picture.height() / 2, dark), 2) << "zoom " << a;
        Key(Qt::Key_Pause);
        EXPECT_GE(Count(pause->grab().toImage(), green), 11 * a * 11 * a / 3) << "paused, zoom " << a;
        EXPECT_EQ(Count(pause->grab().toImage(), dark), 0) << "paused, zoom " << a;
        Key(Qt::Key_Pause);
    }
}

// ---------------------------------------------------------------- screen readers

TEST_F(WindowControlsTest, EveryControlHasANameAndADescription)
{
    Start();
    Key(Qt::Key_Return);  // the pause button shows while running
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window.get());
    ASSERT_NE(face, nullptr);
    ASSERT_GT(face->childCount(), 15);
    for (int i = 0; i < face->childCount(); ++i) {
        QAccessibleInterface* control = face->child(i);
        const QString which = control->object()->objectName();
        EXPECT_FALSE(control->text(QAccessible::Name).trimmed().isEmpty()) << which.toStdString();
        EXPECT_FALSE(control->text(QAccessible::Description).trimmed().isEmpty()) << which.toStdString();
    }
    for (const char* button : {"bPause", "sbSound", "MMenu", "smMinimize"}) {
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(Find<QWidget>(button));
        const bool switches = std::string_view(button) == "sbSound";  // read as on or off
        EXPECT_EQ(control->role(), switches ? QAccessible::CheckBox : QAccessible::Button) << button;
        EXPECT_TRUE(control->actionInterface() && control->actionInterface()->actionNames().contains(
                                                      QAccessibleActionInterface::pressAction()))
            << button;
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find<QWidget>("smMinimize"))->text(QAccessible::Name),
              QStringLiteral("Minimize")) << "not its caption \"_\"";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find<QWidget>("bPause"))->text(QAccessible::Description),
              QStringLiteral("Pause/Toggle"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find<QWidget>("cmd_StartStop"))->text(QAccessible::Description),
              QStringLiteral("Starts, stops and resets the run (Enter, F5)")) << "its keys as the keyboard names them";
    Key(Qt::Key_Pause);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find<QWidget>("bPause"))->text(QAccessible::Description),
              QStringLiteral("Continue/Toggle")) << "the description follows the run";
}

TEST_F(WindowControlsTest, TheReadoutReadsAsItsTimeAndSpeaksUpForLapsAndTheStopOnly)
{
    Start();
    auto* readout = Find<Readout>("lbl_Tickmor");
    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(readout);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->childCount(), 0) << "the digit images are no controls of their own";
    const auto shown = [&] { return QString::fromStdString(window->Clock().CurrentTimeText()); };
    EXPECT_FALSE(shown().isEmpty());
    EXPECT_EQ(text->text(QAccessible::Name), shown());

    // Without a screen reader Qt hands accessibility events to nobody, so
    // the announcements are counted where the readout makes them.
    QSignalSpy events(readout, &Readout::announced);
    Key(Qt::Key_Return);
    EXPECT_EQ(events.count(), 0) << "the start line is no news";
    for (int tick = 0; tick < 50; ++tick) {
        platform.Advance(37);
        window->Model().DisplayTick();
    }
    EXPECT_EQ(events.count(), 0) << "display ticks stay quiet";
    EXPECT_EQ(text->text(QAccessible::Name), shown()) << "read when asked, not when drawn";
    EXPECT_NE(text->text(QAccessible::Name), QAccessible::queryAccessibleInterface(readout)->text(QAccessible::Description));

    Key(Qt::Key_Space);
    EXPECT_EQ(events.count(), 1) << "a lap";
    EXPECT_TRUE(text->text(QAccessible::Description).contains(QStringLiteral("LAP 1 =  1,850")))
        << text->text(QAccessible::Description).toStdString();
    platform.Advance(500);
    window->Model().DisplayTick();
    Key(Qt::Key_Return);
    EXPECT_EQ(events.count(), 2) << "the stop";
    EXPECT_TRUE(text->text(QAccessible::Description).contains(QStringLiteral("STOP")));
    Key(Qt::Key_Return);  // reset
    EXPECT_EQ(events.count(), 2);
}

}  // namespace
}  // namespace chronivel
