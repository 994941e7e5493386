// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "tests/ui/mainwindow_fixture.h"
#include "ui/digit.h"
#include "ui/framedigit.h"
#include "ui/mainmenus.h"
#include "ui/secondmonitor.h"

namespace chronivel {
namespace {

// The "Multimonitor" submenu as the user opens it, built from the model's
// monitors; the offscreen platform has one screen, the others are told to
// the model as the main window tells it of the system's.
class MultimonitorTest : public testing::MainWindowFixture {
protected:
    // Opens the context menu by its key, as the user does, and lists the submenu.
    QStringList OpenSubmenu()
    {
        QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier);
        QMenu* popup = window->Menus().contextMenu;
        EXPECT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
        QStringList captions;
        for (const QAction* entry : Submenu()->actions()) captions << entry->text();
        return captions;
    }
    QMenu* Submenu() const { return window->Menus().monitorMenu; }
    // The entry with the check mark; -1 for none.
    int Checked() const
    {
        const QList<QAction*> entries = Submenu()->actions();
        for (qsizetype i = 0; i < entries.size(); ++i)
            if (entries[i]->isChecked()) return static_cast<int>(i);
        return -1;
    }
    void Choose(int entry)
    {
        Submenu()->actions().at(entry)->trigger();
        window->Menus().contextMenu->close();
    }
};

TEST_F(MultimonitorTest, ListsTheMonitorsThereAreEachTimeItOpens)
{
    Start();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
    EXPECT_EQ(OpenSubmenu(), (QStringList{"Off", QStringLiteral("1: %1x%2").arg(pixels.width()).arg(pixels.height())}));
    EXPECT_FALSE(Submenu()->isEnabled()) << "nothing to choose on one monitor";
    EXPECT_EQ(Checked(), 0);
    window->Menus().contextMenu->close();

    app->MonitorsChanged({{1920, 1080}, {1280, 720}});
    EXPECT_EQ(OpenSubmenu(), (QStringList{"Off", "1: 1920x1080", "2: 1280x720"}));
    EXPECT_TRUE(Submenu()->isEnabled());
    Choose(2);
    EXPECT_EQ(app->SecondMonitor().Index(), 1);
    EXPECT_TRUE(app->SecondMonitor().Shown());

    app->MonitorsChanged({{2560, 1440}, {1920, 1080}, {3840, 2160}});
    EXPECT_EQ(OpenSubmenu(), (QStringList{"Off", "1: 2560x1440", "2: 1920x1080", "3: 3840x2160"}))
        << "no entry twice, none left over";
    EXPECT_EQ(Checked(), 2);
    Choose(0);
    EXPECT_FALSE(app->SecondMonitor().Shown());
    EXPECT_EQ(app->SecondMonitor().Index(), -1);
}

TEST_F(MultimonitorTest, CheckMarkFollowsCtrlTAndAMonitorThatGoes)
{
    Start();
    app->MonitorsChanged({{1920, 1080}, {1280, 720}, {1024, 768}});
    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(app->SecondMonitor().Shown());
    OpenSubmenu();
    EXPECT_EQ(Checked(), 3) << "Ctrl+T: the last monitor";
    window->Menus().contextMenu->close();

    app->MonitorsChanged({{1920, 1080}, {1280, 720}});
    EXPECT_EQ(OpenSubmenu(), (QStringList{"Off", "1: 1920x1080", "2: 1280x720"}));
    EXPECT_EQ(Checked(), 2) << "moved to the last monitor left";
    window->Menus().contextMenu->close();

    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(app->SecondMonitor().Shown());
    app->MonitorsChanged({{1920, 1080}});
    OpenSubmenu();
    EXPECT_EQ(Checked(), 0) << "hidden, its monitor gone: off";
    window->Menus().contextMenu->close();
}

TEST_F(MultimonitorTest, AStoredMonitorThatIsNotThereIsOff)
{
    Settings stored;
    stored.monitor = 99;
    Store(stored);
    Start();
    EXPECT_TRUE(errors.isEmpty()) << "a projector not plugged in is no error";
    OpenSubmenu();
    EXPECT_EQ(Checked(), 0);
    EXPECT_FALSE(app->SecondMonitor().Shown());
    window->Menus().contextMenu->close();

    store.values["Monitor"] = RegValue::Text("abc");
    Start();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains("'Monitor' (wrong type)")) << errors.front().toStdString();
    OpenSubmenu();
    EXPECT_EQ(Checked(), 0);
    window->Menus().contextMenu->close();
}

// The big display as the program makes it beside the main window, on the
// offscreen platform's one screen, where Ctrl+T shows it.
class BigDisplayTest : public MultimonitorTest {
protected:
    void StartWithDisplay()
    {
        Start();
        display = std::make_unique<SecondMonitor>(*app, window->DateText(), window.get());
    }
    TFormMonitor2& Display() { return display->Window(); }

    std::unique_ptr<SecondMonitor> display;
};

TEST_F(BigDisplayTest, AfterStopTheLapRowShowsTheLastLapWithItsNumber)
{
    StartWithDisplay();
    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(Display().isVisible());
    for (const auto& [key, after] : {std::pair{Qt::Key_Return, 1'317}, {Qt::Key_Space, 1'479}, {Qt::Key_Space, 2'000}}) {
        QTest::keyClick(window.get(), key);  // START, lap 1, lap 2 at 2,796, then STOP
        platform.Advance(after);
    }
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_EQ(Display().findChild<QLabel*>(QStringLiteral("LabelLap"))->text(), QStringLiteral(" Lap 2:"));
    const auto* lapRow = Display().findChild<TFrameDigit*>(QStringLiteral("FrameDigit2"));
    QString shown;
    for (int n = 5; n <= 9; ++n) shown += QString::number(lapRow->Digit(n)->Value());
    EXPECT_EQ(shown, QStringLiteral("02796"));
}

// However the display came to be shown or hidden, the submenu's check mark says so.
struct Visibility {
    const char* name;
    int storedMonitor;
    const char* keys;  // T: Ctrl+T on the main window, E: Escape on the display
    bool shown;
};

class CheckMarkTest : public BigDisplayTest, public ::testing::WithParamInterface<Visibility> {};

TEST_P(CheckMarkTest, AgreesWithTheDisplay)
{
    Settings stored;
    stored.monitor = GetParam().storedMonitor;
    Store(stored);
    StartWithDisplay();
    for (const char* key = GetParam().keys; *key; ++key)
        *key == 'T' ? QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier)
                    : QTest::keyClick(&Display(), Qt::Key_Escape);
    EXPECT_EQ(Display().isVisible(), GetParam().shown);
    OpenSubmenu();
    EXPECT_EQ(Checked(), GetParam().shown ? 1 : 0) << "1 is the one monitor, 0 is Off";
    window->Menus().contextMenu->close();
}

INSTANTIATE_TEST_SUITE_P(Ways, CheckMarkTest,
                         ::testing::Values(Visibility{"StoredButOneMonitor", 0, "", false},
                                           Visibility{"CtrlT", -1, "T", true},
                                           Visibility{"CtrlTTwice", -1, "TT", false},
                                           Visibility{"Escape", 0, "TE", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace chronivel
