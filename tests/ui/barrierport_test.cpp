// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/barrierport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/ui/mainwindow_fixture.h"
#include "ui/led.h"
#include "ui/mainmenus.h"
#include "ui/noticeline.h"

namespace chronivel {
namespace {

// The whole window with a fake port whose edges the test makes.
class BarrierPortTest : public testing::MainWindowFixture {
protected:
    // An edge at `ms` after the run's start; the UI thread sees it later.
    void Edge(std::uint32_t events, std::uint32_t status, std::int64_t ms)
    {
        serial.last->sink_->Deliver({events, status, runStart + ms * 1'000});
        platform.Advance(3);  // the hand-off takes its time
        QCoreApplication::processEvents();
    }
    void StartRun()
    {
        runStart = platform.counter;
        window->Model().Perform(Command::StartStopReset);
    }
    QStringList Lines() const
    {
        QStringList lines;
        for (const std::string& line : window->Clock().Lines().Lines()) lines << QString::fromStdString(line);
        return lines;
    }
    TLed* LockLed() const { return Find<TLed>("Ledlock"); }

    std::int64_t runStart = 0;
};

TEST_F(BarrierPortTest, LapAndStopBarriersRecordTheMomentsOfTheirEdges)
{
    Start();
    window->Barriers().ChoosePort(QStringLiteral("COM3"));
    ASSERT_TRUE(app->BarriersConnected());
    EXPECT_TRUE(LockLed()->isVisible()) << "the lock LED shows while the port is open";
    EXPECT_TRUE(Entry("mALG_0")->isEnabled());
    EXPECT_TRUE(Entry("mLS2")->isEnabled());

    StartRun();
    platform.Advance(20'000);  // the UI is far behind the edges
    Edge(ev::Rlsd, ms::RlsdOn, 12'345);
    Edge(ev::Rlsd, 0, 12'400);
    Edge(ev::Rlsd, ms::RlsdOn, 25'000);
    Edge(ev::Rlsd, 0, 25'100);
    Edge(ev::Cts, ms::CtsOn, 30'500);
    const QStringList expected{QStringLiteral("START 1 = 14:05:09 = Mo. 07.12.26"), QStringLiteral("LAP 1 = 12,345"),
                               QStringLiteral("LAP 2 = 25,000 (+12,655) 12,655"),
                               QStringLiteral("STOP: = 30,500 (+18,155)  5,500 \u00D8 10,166")};
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(window->Clock().State(), RunState::Stopped);

    window->Shutdown();
    EXPECT_EQ(ReadText(store, "PortName"), "COM3");
    EXPECT_FALSE(LockLed()->isVisible());
}

TEST_F(BarrierPortTest, StartBarrierStartsAndTheLockHoldsOffTheStop)
{
    Settings stored;
    stored.stopLockSeconds = 5;
    stored.portName = "COM4";
    Store(stored);
    Start();
    ASSERT_TRUE(app->BarriersConnected()) << "the port chosen last opens again";

    runStart = platform.counter;
    Edge(ev::Dsr, ms::DsrOn, 0);
    EXPECT_EQ(window->Clock().State(), RunState::Running);
    Edge(ev::Cts, ms::CtsOn, 1'000);
    EXPECT_EQ(window->Clock().State(), RunState::Running) << "within the lock";
    Edge(ev::Cts, 0, 1'200);
    window->Model().LockExpired();
    Edge(ev::Cts, ms::CtsOn, 6'000);
    EXPECT_EQ(window->Clock().State(), RunState::Stopped);
    EXPECT_EQ(Lines().last(), QStringLiteral("STOP: =  6,000")) << "the start is stamped too, not 3 ms late";
}

TEST_F(BarrierPortTest, OneBarrierStartsAndStopsOnlyWhenItIsAlone)
{
    Settings stored;
    stored.stopLockSeconds = 5;
    stored.portName = "COM4";
    Store(stored);
    Start();
    QAction* one = Entry("mLS1");
    ASSERT_TRUE(one->isEnabled());
    EXPECT_EQ(one->text(), QStringLiteral("1 LS (4+6=Start && Stop)"));
    one->trigger();
    EXPECT_EQ(window->Model().Kept().barrierArrangement, 1);

    runStart = platform.counter;
    Edge(ev::Dsr, ms::DsrOn, 0);
    EXPECT_EQ(window->Clock().State(), RunState::Running);
    Edge(ev::Dsr, 0, 300);
    Edge(ev::Dsr, ms::DsrOn, 1'000);
    EXPECT_EQ(window->Clock().State(), RunState::Running) << "within the lock";
    Edge(ev::Dsr, 0, 1'200);
    window->Model().LockExpired();
    Edge(ev::Dsr, ms::DsrOn, 6'000);
    EXPECT_EQ(window->Clock().State(), RunState::Stopped);
    EXPECT_EQ(Lines().last(), QStringLiteral("STOP: =  6,000"));
    Edge(ev::Dsr, 0, 6'300);
    Edge(ev::Dsr, ms::DsrOn, 7'000);
    EXPECT_EQ(window->Clock().State(), RunState::Stopped) << "the barrier never resets";

    Entry("mLS2")->trigger();  // a stop barrier of its own
    window->Model().Perform(Command::StartStopReset);        // RESET
    runStart = platform.counter;
    Edge(ev::Dsr, 0, 0);
    Edge(ev::Dsr, ms::DsrOn, 0);
    window->Model().LockExpired();
    Edge(ev::Dsr, 0, 1'000);
    Edge(ev::Dsr, ms::DsrOn, 8'000);
    EXPECT_EQ(window->Clock().State(), RunState::Running) << "beside a stop barrier the start barrier only starts";
}

TEST_F(BarrierPortTest, ToggleArrangementPausesAndContinues)
{
    Start();
    window->Barriers().ChoosePort(QStringLiteral("COM3"));
    ASSERT_TRUE(Entry("mLS3")->isEnabled()) << "an open port enables the arrangements";
    Entry("mLS3")->trigger();
    StartRun();
    Edge(ev::Rlsd, ms::RlsdOn, 1'000);
    EXPECT_TRUE(window->Clock().Paused());
    Edge(ev::Rlsd, 0, 1'500);
    Edge(ev::Rlsd, ms::RlsdOn, 4'000);
    EXPECT_FALSE(window->Clock().Paused());
    EXPECT_EQ(Lines().last(), QStringLiteral("PAUSE = 3,000"));
    EXPECT_EQ(window->Model().Kept().barrierArrangement, 3);
}

// With another window in front the pause button rests, and the toggle
// barrier takes laps; back in front it pauses again.
TEST_F(BarrierPortTest, ToggleArrangementTakesLapsWhileTheWindowIsInTheBackground)
{
    Start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->Barriers().ChoosePort(QStringLiteral("COM3"));
    Entry("mLS3")->trigger();
    StartRun();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Edge(ev::Rlsd, ms::RlsdOn, 1'000);
    EXPECT_FALSE(window->Clock().Paused());
    EXPECT_EQ(Lines().last(), QStringLiteral("LAP 1 =  1,000"));

    Edge(ev::Rlsd, 0, 1'500);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Edge(ev::Rlsd, ms::RlsdOn, 2'000);
    EXPECT_TRUE(window->Clock().Paused());
}

TEST_F(BarrierPortTest, APortThatIsNotThereIsReportedAndChangesNothing)
{
    Start();
    window->Barriers().ChoosePort(QStringLiteral("COM0"));
    ASSERT_EQ(errors.size(), 2) << "told in a box, as the user has just chosen it, and waited for on the window";
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Waiting for the light barriers' adapter COM0")));
    EXPECT_TRUE(errors[1].startsWith(QStringLiteral("Unable to open com port: "))) << errors[1].toStdString();
    EXPECT_FALSE(app->BarriersConnected());
    EXPECT_FALSE(Entry("mALG_0")->isEnabled());
    EXPECT_FALSE(LockLed()->isVisible());
    EXPECT_EQ(window->Model().Kept().portName, "COM0") << "the choice is kept, as chosen";
}

TEST_F(BarrierPortTest, APortChosenLastTimeThatIsGoneSaysHowToStopAsking)
{
    Settings stored;
    stored.portName = "COM0";
    Store(stored);
    Start();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("COM0 cannot be opened. Unable to open com port: ")));
    EXPECT_TRUE(errors[0].contains(QStringLiteral("choose \"None\""))) << errors[0].toStdString();
    EXPECT_TRUE(window->Notifications().isVisible()) << "on the window, not in a box";
    EXPECT_EQ(window->Clock().State(), RunState::Ready) << "the program goes on";
}

TEST_F(BarrierPortTest, AnUnpluggedAdapterIsReportedAndCanBeChosenAgain)
{
    Start();
    window->Barriers().ChoosePort(QStringLiteral("/dev/ttyUSB7"));
    serial.last->sink_->Lost("/dev/ttyUSB7: Input/output error");
    QCoreApplication::processEvents();
    EXPECT_FALSE(app->BarriersConnected());
    EXPECT_FALSE(LockLed()->isVisible());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("/dev/ttyUSB7 is gone (Input/output error)"))) << errors[0].toStdString();

    // Still chosen, and listed although the system no longer reports it, after the ports it does.
    serial.listed = {{"/dev/ttyACM0", "ttyACM0 \u2014 CDC Abstract Control Model", 1}};
    emit window->Menus().barrierMenu->aboutToShow();
    const QList<QAction*> entries = window->Menus().barrierMenu->actions();
    const auto chosen = std::find_if(entries.begin(), entries.end(),
                                     [](QAction* a) { return a->data().toString() == QStringLiteral("/dev/ttyUSB7"); });
    ASSERT_NE(chosen, entries.end());
    EXPECT_EQ((*std::prev(chosen))->text(), QStringLiteral("ttyACM0 \u2014 CDC Abstract Control Model"));
    EXPECT_TRUE((*chosen)->isChecked());
    EXPECT_TRUE((*chosen)->text().startsWith(QStringLiteral("ttyUSB7")));
    EXPECT_TRUE((*chosen)->text().endsWith(QStringLiteral("not connected")));
    (*chosen)->trigger();
    EXPECT_TRUE(app->BarriersConnected());
    emit window->Menus().barrierMenu->aboutToShow();
    const QList<QAction*> open = window->Menus().barrierMenu->actions();
    EXPECT_TRUE(std::any_of(open.begin(), open.end(), [](QAction* a) {
        return a->text() == QStringLiteral("ttyUSB7 \u2014 open");
    })) << "a working port the system does not list is open, not missing";
    emit window->Menus().barrierMenu->aboutToShow();
    const QList<QAction*> again = window->Menus().barrierMenu->actions();
    EXPECT_EQ(std::count_if(again.begin(), again.end(),
                            [](QAction* a) { return a->data().toString() == QStringLiteral("/dev/ttyUSB7"); }),
              1)
        << "listing again replaces the entries";

    window->Menus().noBarrierPort->trigger();
    EXPECT_FALSE(app->BarriersConnected());
    EXPECT_EQ(window->Model().Kept().portName, "");
}

}  // namespace
}  // namespace chronivel
