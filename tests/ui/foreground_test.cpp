// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/foreground.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/mainwindow_fixture.h"
#include "ui/protocolwindow.h"

namespace chronivel {
namespace {

// The main window in front and behind another window of the program, or
// behind another program, as the window system activates them.
class ForegroundTest : public testing::MainWindowFixture {
protected:
    void StartWith(bool transpW)
    {
        Settings settings;
        settings.transparentInBackground = transpW;
        Store(settings);
        Start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // Another window takes the focus: a window of the program's own.
    void ActivateOther()
    {
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    void ActivateMain()
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // What the window system says when the program as a whole gains or loses the focus.
    static void ApplicationState(Qt::ApplicationState state) { emit qGuiApp->applicationStateChanged(state); }

    // The face's buttons the user can see on the real window, by name.
    std::string VisibleButtons() const
    {
        std::string visible;
        for (const char* name : {"cmd_StartStop", "cmd_LAP", "MMenu", "smMinimize", "sbSound", "bPause"})
            if (Find<QWidget>(name)->isVisible()) visible += (visible.empty() ? "" : " ") + std::string(name);
        return visible;
    }
    QWidget* PauseButton() const { return Find<QWidget>("bPause"); }
    static constexpr const char* AllButOnePause = "cmd_StartStop cmd_LAP MMenu smMinimize sbSound";
    static constexpr const char* AllButtons = "cmd_StartStop cmd_LAP MMenu smMinimize sbSound bPause";
    void Key(QWidget* target, QKeyCombination key)
    {
        QTest::keyClick(target->windowHandle(), key.key(), key.keyboardModifiers());
    }
    qsizetype LapCount() const { return window->Clock().Lines().Lines().size(); }

    QLineEdit other;
};

TEST_F(ForegroundTest, BehindAnotherWindowTheButtonsGoAndThePlainKeysAndThePauseButtonRest)
{
    StartWith(true);
    Key(window.get(), Qt::Key_Return);
    ASSERT_EQ(VisibleButtons(), AllButtons);
    EXPECT_TRUE(PauseButton()->isEnabled());

    ActivateOther();
    EXPECT_EQ(VisibleButtons(), "bPause") << "the pause button stays, disabled";
    EXPECT_FALSE(PauseButton()->isEnabled());
    QAction* reset = Entry("mReset");
    ASSERT_NE(reset, nullptr);
    EXPECT_FALSE(reset->isEnabled());
    EXPECT_FALSE(Entry("mHide")->isEnabled());
    EXPECT_TRUE(Entry("cmd_Reset")->isEnabled()) << "the context menu's Reset stays";
    EXPECT_TRUE(Entry("smMinimizeClick")->isEnabled()) << "the hot key minimises from the background";

    // Keys typed into the other window: Space is its own, Alt+Space the lap.
    Key(&other, Qt::Key_Space);
    EXPECT_EQ(LapCount(), 1);
    EXPECT_EQ(other.text(), QStringLiteral(" "));
    Key(&other, Qt::ALT | Qt::Key_Space);
    EXPECT_EQ(LapCount(), 2);
    Key(&other, Qt::Key_0);
    Key(&other, Qt::CTRL | Qt::Key_Space);
    EXPECT_EQ(window->Clock().State(), RunState::Running);
    EXPECT_FALSE(window->isMinimized());

    ActivateMain();
    EXPECT_EQ(VisibleButtons(), AllButtons);
    EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>("cmd_StartStop")) << "the focus comes back with the button";
    EXPECT_TRUE(PauseButton()->isEnabled());
    EXPECT_TRUE(reset->isEnabled());
    Key(window.get(), Qt::Key_Space);
    EXPECT_EQ(LapCount(), 3) << "Space takes the lap again";
    Key(window.get(), Qt::Key_Pause);
    EXPECT_TRUE(window->Clock().Paused()) << "the Pause key still reaches the window";
    Key(window.get(), Qt::Key_0);
    EXPECT_EQ(window->Clock().State(), RunState::Ready);
}

TEST_F(ForegroundTest, TheWindowIsTranslucentInTheBackgroundOnlyWithTheSetting)
{
    for (const bool transpW : {true, false}) {
        StartWith(transpW);
        EXPECT_EQ(window->windowOpacity(), 1.0);
        ActivateOther();
        EXPECT_EQ(window->windowOpacity(), transpW ? 127 / 255.0 : 1.0) << "TranspW " << transpW;
        ApplicationState(Qt::ApplicationInactive);
        EXPECT_EQ(window->windowOpacity(), transpW ? 127 / 255.0 : 1.0) << "TranspW " << transpW;
        ApplicationState(Qt::ApplicationActive);
        ActivateMain();
        EXPECT_EQ(window->windowOpacity(), 1.0) << "TranspW " << transpW;
        other.hide();
    }
}

TEST_F(ForegroundTest, TheProgramGoingToTheBackHidesThePauseButtonAndComingBackShowsWhatTheRunNeeds)
{
    StartWith(true);
    QFile file(ProtocolPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    // Where the protocol window was last is of no concern here.
    ProtocolWindow protocol(store, protocolFile, scheduler, nullptr, [](const QString&) {});
    window->AttachProtocolWindow(&protocol);
    Key(window.get(), Qt::Key_Return);

    // Another program takes the focus: first the window goes, then the program.
    ActivateOther();
    ApplicationState(Qt::ApplicationInactive);
    EXPECT_EQ(VisibleButtons(), "");
    EXPECT_LT(window->windowOpacity(), 1.0);
    window->Model().Perform(Command::Lap);  // as the hot key does
    EXPECT_EQ(LapCount(), 2);
    EXPECT_EQ(VisibleButtons(), "") << "a lap in the background brings no button back";

    // The program comes back while the protocol window is closed: all its buttons are there at once.
    ApplicationState(Qt::ApplicationActive);
    EXPECT_EQ(VisibleButtons(), AllButtons);
    EXPECT_LT(window->windowOpacity(), 1.0) << "opaque only once the main window has the focus";

    // With the protocol window open and in front, the main window stays bare.
    ApplicationState(Qt::ApplicationInactive);
    Entry("mProtocol")->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&protocol));
    ApplicationState(Qt::ApplicationActive);
    EXPECT_EQ(VisibleButtons(), "");

    // Stopped, the run has no pause button to bring back.
    Entry("mSSR")->trigger();
    ApplicationState(Qt::ApplicationInactive);
    protocol.hide();
    ApplicationState(Qt::ApplicationActive);
    EXPECT_EQ(VisibleButtons(), AllButOnePause);
}

TEST_F(ForegroundTest, BackFromTheTaskBarTheWindowIsOpaque)
{
    StartWith(true);
    ActivateOther();
    ASSERT_LT(window->windowOpacity(), 1.0);
    Entry("smMinimizeClick")->trigger();
    ASSERT_TRUE(window->isMinimized());
    window->showNormal();
    EXPECT_FALSE(window->isActiveWindow());
    EXPECT_EQ(window->windowOpacity(), 1.0);
}

}  // namespace
}  // namespace chronivel
