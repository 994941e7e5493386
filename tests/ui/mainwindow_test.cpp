// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mainwindow.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QAudioDevice>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMediaDevices>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "core/windowlayout.h"
#include "tests/ui/mainwindow_fixture.h"
#include "ui/colorbutton.h"
#include "ui/commandactions.h"
#include "ui/noticeline.h"
#include "ui/mainmenus.h"
#include "ui/readout.h"

namespace chronivel {
namespace {

class MainWindowTest : public testing::MainWindowFixture {
protected:
    void Key(QKeyCombination key) { QTest::keyClick(window.get(), key.key(), key.keyboardModifiers()); }

    QStringList LapLines() const
    {
        auto* list = Find<QComboBox>("cmb_Zwischenzeit");
        QStringList lines;
        for (int i = 0; i < list->count(); ++i) lines << list->itemText(i);
        return lines;
    }
};

TEST_F(MainWindowTest, FirstStartIsARoundReadyChronometer)
{
    Start();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(window->size(), QSize(224, 224));
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->mask().contains(QPoint(112, 112)));
    EXPECT_FALSE(window->mask().contains(QPoint(10, 10))) << "the corners are cut away";
    EXPECT_FALSE(window->mask().contains(QPoint(112, 0))) << "the top row is not part of the circle";
    EXPECT_EQ(Find<TBitBtnWithColor>("cmd_StartStop")->text(), QStringLiteral("START"));
    EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>("cmd_StartStop"));
    EXPECT_FALSE(Find<QComboBox>("cmb_Zwischenzeit")->isVisible()) << "no list before the first run";
    EXPECT_FALSE(Find<QWidget>("bPause")->isVisible());
    EXPECT_TRUE(Find<QLabel>("PanelDate")->text().startsWith(
        QLocale::system().dayName(QDate::currentDate().dayOfWeek(), QLocale::ShortFormat) + QStringLiteral(". ")));
    EXPECT_EQ(window->Sounds().LastStarted(), EventSound::Start) << "the program says it is there";
}

TEST_F(MainWindowTest, TheWindowComesBackWhereItWasLeft)
{
    Settings stored;
    stored.left = 77;
    stored.top = 55;
    Store(stored);
    Start();
    EXPECT_EQ(window->pos(), QPoint(77, 55));
    window->move(120, 90);
    window->Shutdown();
    EXPECT_EQ(ReadInteger(store, "Left"), 120);
    EXPECT_EQ(ReadInteger(store, "Top"), 90);
}

TEST_F(MainWindowTest, EnterCyclesStartStopResetAndLapFollowsTheRun)
{
    Start();
    auto* button = Find<TBitBtnWithColor>("cmd_StartStop");
    auto* lap = Find<QWidget>("cmd_LAP");
    auto* pause = Find<QWidget>("bPause");
    const auto expect = [&](const char* caption, QColor colour, bool lapOn) {
        EXPECT_EQ(button->text(), QString::fromLatin1(caption));
        EXPECT_EQ(button->Color(), colour) << caption;
        EXPECT_EQ(lap->isEnabled(), lapOn) << caption;
        EXPECT_EQ(Entry("mLAP")->isEnabled(), lapOn) << caption;
    };
    expect("START", QColor(0, 255, 0), false);

    Key(Qt::Key_Return);
    expect("STOP", QColor(255, 0, 0), true);
    EXPECT_TRUE(pause->isVisible());

    Key(Qt::Key_Pause);
    expect("STOP", QColor(255, 0, 0), false);
    Key(Qt::Key_Pause);
    expect("STOP", QColor(255, 0, 0), true);

    Key(Qt::Key_Return);
    expect("RESET", QColor(255, 255, 0), false);
    EXPECT_FALSE(pause->isVisible());
    Key(Qt::Key_Return);
    expect("START", QColor(0, 255, 0), false);

    Key(Qt::Key_F5);  // START's own key
    expect("STOP", QColor(255, 0, 0), true);
    Key(Qt::Key_0);   // reset from a running run
    expect("START", QColor(0, 255, 0), false);
}

TEST_F(MainWindowTest, TwoLapsAndTheStopGiveTheListAndTheProtocol)
{
    Start();
    Key(Qt::Key_Return);
    platform.Advance(12'345);
    Key(Qt::Key_Space);
    platform.Advance(12'655);
    Key(Qt::Key_Space);
    platform.Advance(5'500);
    Key(Qt::Key_Return);

    const QStringList expected{QStringLiteral("START 1 = 14:05:09 = Mo. 07.12.26"), QStringLiteral("LAP 1 = 12,345"),
                               QStringLiteral("LAP 2 = 25,000 (+12,655) 12,655"),
                               QStringLiteral("STOP: = 30,500 (+18,155)  5,500 \u00D8 10,166")};
    EXPECT_EQ(LapLines(), expected);
    auto* list = Find<QComboBox>("cmb_Zwischenzeit");
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->currentIndex(), 3) << "the closing line shows";
    EXPECT_EQ(Find<QLabel>("lbl_Leader")->text(), QStringLiteral("30,500"));

    WaitForSaves();
    QFile protocol(ProtocolPath());
    ASSERT_TRUE(protocol.open(QIODevice::ReadOnly));
    const QByteArray text = protocol.readAll();
    EXPECT_TRUE(text.startsWith("START 1 = 14:05:09 = Mo. 07.12.26\r\nLAP 1 = 12,345\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("STOP: = 30,500 (+18,155)  5,500 \xD8 10,166\r\n"));

    Key(Qt::Key_Return);  // RESET
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->count(), 0);
}

TEST_F(MainWindowTest, CtrlZCyclesTheZoomAndRecentresTheWindow)
{
    Start();
    const QRect free = window->screen()->availableGeometry();
    for (int zoom = 2; zoom <= 5; ++zoom) {
        Key(Qt::CTRL | Qt::Key_Z);
        const int side = 224 * zoom;
        EXPECT_EQ(window->size(), QSize(side, side)) << "zoom " << zoom;
        const Box placed = CentredWindow({free.left(), free.top(), free.width(), free.height()}, side);
        EXPECT_EQ(window->pos(), QPoint(placed.left, placed.top)) << "zoom " << zoom;
        EXPECT_TRUE(free.contains(window->pos())) << "zoom " << zoom << ": the menu button stays on the screen";
        EXPECT_TRUE(window->isVisible()) << "the window is not taken off the screen to grow";
        EXPECT_TRUE(window->mask().contains(QPoint(side / 2, side - 2)));
        EXPECT_FALSE(window->mask().contains(QPoint(side / 8, side / 8)));
        EXPECT_TRUE(Entry("Zoom" + std::to_string(zoom))->isChecked());
    }
    EXPECT_EQ(Find<Readout>("lbl_Tickmor")->Image(3)->size(), QSize(80, 125));
    EXPECT_EQ(Find<QWidget>("cmd_StartStop")->geometry(), QRect(122 * 5, 126 * 5, 58 * 5, 25 * 5));
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(window->size(), QSize(224, 224)) << "after 5 comes 1";
    window->Shutdown();
    EXPECT_EQ(ReadInteger(store, "Zoom"), 0);
}

TEST_F(MainWindowTest, FormatWithTenthsAndHoursHiddenNarrowsThePanel)
{
    Start();
    Entry("Format4")->trigger();
    auto* readout = Find<Readout>("lbl_Tickmor");
    EXPECT_EQ(readout->geometry(), QRect(30, 91, 161, 33)) << "36 narrower than with thousandths";
    EXPECT_FALSE(readout->Image(1)->isVisible());
    EXPECT_FALSE(readout->Image(2)->isVisible());

    Entry("mHoursOn")->trigger();
    EXPECT_FALSE(Entry("mHoursOn")->isChecked());
    // Hours hidden: the panel loses the hour digits' room and the minutes lead.
    EXPECT_EQ(readout->geometry(), QRect(31 + 23, 91, 159 - 47, 33));
    EXPECT_EQ(readout->Image(7)->x(), 3);
    for (int image : {8, 9, 10}) EXPECT_FALSE(readout->Image(image)->isVisible()) << image;
    EXPECT_TRUE(Entry("Format4")->isChecked());
}

// A new format writes what the readout holds in it at once: a stopped or
// paused run has no display tick to bring its time back.
TEST_F(MainWindowTest, AFormatChangeRewritesTheTimeShownAndTheBestTime)
{
    Start();
    auto* readout = Find<Readout>("lbl_Tickmor");
    auto* best = Find<QLabel>("lbl_Leader");
    auto* button = Find<TBitBtnWithColor>("cmd_StartStop");
    struct Case {
        const char* how;
        std::function<void()> bring;  // from the state the case before left
        const char* entry;
        const char* shown;
        const char* best;
        const char* button;
    };
    const Case cases[] = {
        {"countdown stopped", [&] {
             QTest::mouseClick(Find<QWidget>("Led_CountDown"), Qt::LeftButton);
             Key(Qt::Key_Return);
             platform.Advance(5'678);
             Key(Qt::Key_Return);
         }, "Format4", "00:00.54,4", "0,0", "START"},
        {"run stopped, its best taken in tenths", [&] {
             QTest::mouseClick(Find<QWidget>("Led_CountDown"), Qt::LeftButton);
             Key(Qt::Key_Return);
             platform.Advance(12'345);
             Key(Qt::Key_Return);
         }, "Format2", "00:00.12,34", "12,30", "RESET"},
        {"run paused", [&] {
             Key(Qt::Key_Return);
             Key(Qt::Key_Return);
             platform.Advance(3'456);
             Key(Qt::Key_Pause);
             platform.Advance(1'000);
         }, "Format0", "00:00.03,456", "12,300", "STOP"},
        {"hours hidden while paused", [] {}, "mHoursOn", "00:00.03,456", "12,300", "STOP"},
        {"run going", [&] {
             Key(Qt::Key_Pause);
             platform.Advance(1'000);
         }, "Format1", "000004,456", "12,300", "STOP"},
    };
    for (const Case& c : cases) {
        c.bring();
        Entry(c.entry)->trigger();
        EXPECT_EQ(readout->TimeText().toStdString(), c.shown) << c.how;
        EXPECT_EQ(best->text().toStdString(), c.best) << c.how;
        EXPECT_EQ(button->text().toStdString(), c.button) << c.how;
    }
    EXPECT_TRUE(LapLines().last().startsWith(QStringLiteral("PAUSE = "))) << "the run goes on as it was";
}

TEST_F(MainWindowTest, ADisplayTickRepaintsOnlyTheDigitsThatChanged)
{
    Start();
    Key(Qt::Key_Return);
    auto* readout = Find<Readout>("lbl_Tickmor");
    ASSERT_TRUE(QTest::qWaitFor([&] { return readout->Image(12)->PaintCount() > 0; }));
    platform.Advance(1'234);
    window->Model().DisplayTick();
    QTest::qWait(60);  // a frame: what the readout held back is painted
    std::array<int, 13> before{};
    for (int i = 1; i <= 12; ++i) before[i] = readout->Image(i)->PaintCount();

    platform.Advance(1);  // 1,234 to 1,235
    window->Model().DisplayTick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return readout->Image(1)->PaintCount() > before[1]; }));
    QTest::qWait(60);  // a frame: anything held back is painted by then
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(readout->Image(i)->PaintCount() - before[i], i == 1 ? 1 : 0) << i;
    window->Model().DisplayTick();
    QTest::qWait(60);
    EXPECT_EQ(readout->Image(1)->PaintCount() - before[1], 1) << "the same time again repaints nothing";
}

// The display tick keeps the screen's pace; the countdown's warning and end
// wake the window at their own moments, so the run ends on the preset with
// its STOP line and sound then, not at the next frame.
TEST_F(MainWindowTest, ACountdownWakesForItsWarningAndItsEndAtTheirMoments)
{
    Settings settings;
    settings.countDownPresetMs = 12'345;
    settings.countDown = true;
    Store(settings);
    Start();
    const Chronometer& clock = window->Clock();
    Key(Qt::Key_Return);
    ASSERT_EQ(clock.State(), RunState::Running);
    auto* due = window->findChild<QTimer*>(QStringLiteral("countDownTimer"));
    ASSERT_NE(due, nullptr);
    ASSERT_TRUE(due->isActive());
    EXPECT_EQ(due->interval(), 2'345) << "the warning, 10 s before the end";

    platform.Advance(2'345);
    QMetaObject::invokeMethod(due, "timeout");
    EXPECT_FALSE(clock.PreWarningPending());
    ASSERT_TRUE(due->isActive());
    EXPECT_EQ(due->interval(), 10'000) << "then the end";
    EXPECT_EQ(window->Sounds().LastStarted(), EventSound::Warning);

    platform.Advance(9'999);
    QMetaObject::invokeMethod(due, "timeout");  // a wake-up ahead of the time source
    EXPECT_EQ(clock.State(), RunState::Running);
    EXPECT_EQ(due->interval(), 1);
    platform.Advance(1);
    QMetaObject::invokeMethod(due, "timeout");
    EXPECT_EQ(clock.State(), RunState::Stopped);
    EXPECT_FALSE(due->isActive());
    EXPECT_EQ(window->Sounds().LastStarted(), EventSound::CountDownEnd);
    EXPECT_EQ(clock.CurrentTimeText(), "00:00.00,000");
    EXPECT_EQ(LapLines().last(), QStringLiteral("STOP: =  0,000")) << "nothing is left of the preset";
}

TEST_F(MainWindowTest, NoSoundDeviceIsToldOnceAtTheFirstEventSoundNotAtStart)
{
    if (!QMediaDevices::defaultAudioOutput().isNull()) GTEST_SKIP() << "this machine has a sound device";
    Start();
    EXPECT_EQ(app->Told().Find(NoticeTopic::Sound), nullptr) << "the start-up sound is no reason";
    Key(Qt::Key_Return);  // START
    const Notice* told = app->Told().Find(NoticeTopic::Sound);
    ASSERT_NE(told, nullptr);
    EXPECT_EQ(told->headline, "No sound device");
    app->NoticesRead();
    Key(Qt::Key_Return);  // STOP
    EXPECT_EQ(app->Told().Find(NoticeTopic::Sound), nullptr) << "once read, not told again";
}

TEST_F(MainWindowTest, CalendarOpensFromTheDatePanelAndKeysAndEscapeClosesIt)
{
    Start();
    // Made at its first opening: a month view costs start-up time and image plugins.
    EXPECT_EQ(window->findChild<QCalendarWidget*>(), nullptr);
    Key(Qt::Key_Escape);  // nothing to close yet
    QAction* mark = Entry("Calendar1");
    EXPECT_FALSE(mark->isChecked());

    Key(Qt::CTRL | Qt::Key_D);
    auto* calendar = Find<QCalendarWidget>("MonthCalendar1");
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    EXPECT_EQ(calendar->accessibleName(), QStringLiteral("Calendar"));
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_TRUE(mark->isChecked());
    EXPECT_EQ(calendar->selectedDate(), QDate::currentDate());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_FALSE(mark->isChecked());

    QTest::mouseClick(Find<QWidget>("PanelDate"), Qt::LeftButton);
    EXPECT_TRUE(calendar->isVisible());
    mark->trigger();  // the context menu's entry
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_FALSE(mark->isChecked());
}

TEST_F(MainWindowTest, CalendarWeekdayHeadingsAreWholeAtEveryZoom)
{
    Start();
    Entry("Zoom3")->trigger();  // the calendar made later takes the zoom of its time
    Key(Qt::CTRL | Qt::Key_D);
    auto* calendar = Find<QCalendarWidget>("MonthCalendar1");
    ASSERT_NE(calendar, nullptr);
    auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(days, nullptr);
    ASSERT_TRUE(calendar->isVisible());
    // A cell's text is cut short with "…" where it is wider than the cell less the style's margins.
    const int margins = 2 * (days->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, days) + 1);
    for (int zoom = 1; zoom <= 5; ++zoom) {
        Entry("Zoom" + std::to_string(zoom))->trigger();
        QCoreApplication::processEvents();
        for (int column = 1; column <= 7; ++column) {
            const QModelIndex heading = days->model()->index(0, column);
            const QString text = heading.data().toString();
            const QFont font = heading.data(Qt::FontRole).value<QFont>().resolve(days->font());
            const int room = days->visualRect(heading).width() - margins;
            EXPECT_FALSE(text.isEmpty()) << "column " << column;
            EXPECT_LE(QFontMetrics(font).horizontalAdvance(text), room)
                << "zoom " << zoom << ": \"" << text.toStdString() << "\" in " << font.pixelSize() << " px";
            EXPECT_GE(4 * font.pixelSize(), 3 * calendar->font().pixelSize())
                << "zoom " << zoom << ": the headings stay legible beside the dates";
        }
    }
}

TEST_F(MainWindowTest, ABadMainSettingIsToldOnTheWindowWithoutABoxAndTheWindowStillWorks)
{
    Settings stored;
    stored.left = 77;
    stored.top = 55;
    stored.zoom = 1;  // read after the bad value all the same
    Store(stored);
    store.values.erase("Color");

    MakeWindow();
    bool boxShown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            boxShown = true;
            box->close();
        }
    });
    poll.start(10);
    window->Start({QStringLiteral("stopwatch"), ProtocolPath().toStdString(), {}});
    window->show();
    QTest::qWait(50);
    poll.stop();
    EXPECT_FALSE(boxShown);
    const QLabel& notice = window->Notifications();
    EXPECT_TRUE(notice.isVisible());
    EXPECT_TRUE(notice.text().contains(QStringLiteral("Settings damaged"))) << notice.text().toStdString();
    EXPECT_EQ(notice.toolTip(), QStringLiteral("Failed to get data for 'Color' (missing): it takes its default."));
    EXPECT_EQ(window->pos(), QPoint(77, 55)) << "what came before the bad value applies";
    EXPECT_EQ(window->size(), QSize(448, 448)) << "and what came after it";
    EXPECT_EQ(window->findChild<TBitBtnWithColor*>(QStringLiteral("cmd_StartStop"))->text(), QStringLiteral("START"));
}

TEST_F(MainWindowTest, StoredSettingsComeBackAndARunResumes)
{
    Settings stored;
    stored.format = 3;
    stored.hoursOn = false;
    stored.sound = false;
    stored.leaderOn = true;
    stored.color = 0x0000FF;  // red face
    stored.tickCount = platform.counter - 5'000'000;
    stored.tickBoot = "boot-1";
    stored.tickTime = locale.epochMs - 5'000;  // a run always has its wall-clock start
    Store(stored);
    Start();

    EXPECT_TRUE(Entry("Format3")->isChecked());
    EXPECT_FALSE(Entry("mHoursOn")->isChecked());
    EXPECT_FALSE(Entry("Sound1")->isChecked());
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(255, 0, 0)) << "the window takes the face's colour";
    EXPECT_EQ(Find<TBitBtnWithColor>("cmd_StartStop")->text(), QStringLiteral("STOP"));
    EXPECT_TRUE(LapLines().isEmpty()) << "no lap list was kept with it";
    window->Model().DisplayTick();
    EXPECT_EQ(window->Clock().Elapsed(), 5'000);
}

TEST_F(MainWindowTest, APausedRunComesBackPausedWithItsLapList)
{
    Settings stored;
    stored.tickCount = platform.counter - 9'000'000;
    stored.tickBoot = "boot-1";
    stored.tickTime = locale.epochMs - 9'000;
    Store(stored);
    StoredRuns runs;
    runs.run.lines = {"START 3 = 14:05:09 = Mo. 07.12.26", "LAP 1 =  0,500", "LAP 2 =  1,200 ( +0,700)  0,700"};
    runs.run.selected = 0;
    runs.run.lapCount = 2;
    runs.run.firstLapElapsed = 500;
    runs.run.prevLapElapsed = 1'200;
    runs.run.paused = true;
    runs.run.pausedAtUs = 1'580'000;
    SaveRuns(store, runs);
    Start();

    EXPECT_EQ(LapLines(), (QStringList{"START 3 = 14:05:09 = Mo. 07.12.26", "LAP 1 =  0,500",
                                       "LAP 2 =  1,200 ( +0,700)  0,700"}));
    EXPECT_EQ(Find<QComboBox>("cmb_Zwischenzeit")->currentIndex(), 0);
    EXPECT_EQ(Find<TBitBtnWithColor>("cmd_StartStop")->text(), QStringLiteral("STOP"));
    EXPECT_EQ(Find<TBitBtnWithColor>("bPause")->toolTip(), QStringLiteral("Continue/Toggle"));
    EXPECT_EQ(window->Clock().CurrentTimeText(), "00:00.01,580");
}

TEST_F(MainWindowTest, ContextMenuOpensBelowItsButtonAndKnowsWhatIsThere)
{
    Start();
    const MainMenus& menus = window->Menus();
    EXPECT_EQ(Entry("About1")->text(), QStringLiteral("Info"));
    EXPECT_EQ(Entry("About1")->shortcut(), QKeySequence(Qt::Key_F3)) << "shown beside it";
    // The names a screen reader reads: no key or padding in them, the formats one choice of several.
    EXPECT_EQ(Entry("Protocol1")->text(), QStringLiteral("Protocol .."));
    EXPECT_EQ(Entry("Protocol1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P)) << "shown beside it";
    QAccessibleInterface* format = QAccessible::queryAccessibleInterface(Entry("Format1"));
    EXPECT_EQ(format->role(), QAccessible::RadioButton);
    EXPECT_EQ(format->text(QAccessible::Name), QStringLiteral("SSSSSS,xxx"));
    EXPECT_EQ(Entry("mLS1")->text(), QStringLiteral("1 LS (4+6=Start && Stop)"));
    EXPECT_FALSE(menus.contextMenu->actions().contains(Entry("mNotepad")));
    EXPECT_TRUE(Entry("Configuration1")->isEnabled());
    for (QAction* later : {Entry("mALG_0"), Entry("mLS2")})
        EXPECT_FALSE(later->isEnabled()) << later->objectName().toStdString();

    Key(Qt::CTRL | Qt::Key_M);
    QMenu* popup = menus.contextMenu;
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
    auto* button = Find<QWidget>("MMenu");
    EXPECT_EQ(popup->pos(), window->mapToGlobal(QPoint(button->x() - 62, button->y() + button->height())));
    EXPECT_FALSE(Entry("Protocol1")->isEnabled()) << "no protocol file yet";
    popup->close();

    QFile file(ProtocolPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Entry("mMMenu")->trigger();
    Entry("mMMenu")->trigger();  // opening again must not add the monitors twice
    EXPECT_TRUE(Entry("Protocol1")->isEnabled());
    EXPECT_EQ(menus.monitorMenu->actions().size(), 1 + QGuiApplication::screens().size());
    EXPECT_TRUE(menus.noSecondMonitor->isChecked());
    popup->close();
}

TEST_F(MainWindowTest, FaceControlsAndMenuEntriesSwitchTheirSettings)
{
    Start();
    QAction* sound = Entry("Sound1");
    auto* speaker = Find<QWidget>("sbSound");
    QTest::mouseClick(speaker, Qt::LeftButton, {}, speaker->rect().center());
    EXPECT_FALSE(window->Clock().Sound());
    EXPECT_FALSE(sound->isChecked());
    sound->trigger();  // the context menu's "Sound" switches it too
    EXPECT_TRUE(window->Clock().Sound());
    EXPECT_TRUE(sound->isChecked());

    QTest::mouseClick(Find<QLabel>("LabelSC"), Qt::LeftButton);
    EXPECT_TRUE(window->Clock().CountDown());
    EXPECT_EQ(Find<QLabel>("LabelSC")->text(), QStringLiteral("CountDown"));
    EXPECT_GE(Find<QLabel>("LabelSC")->width(), Find<QLabel>("LabelSC")->sizeHint().width()) << "not cut off";
    EXPECT_FALSE(Find<QLabel>("lbl_Leader")->isVisible()) << "a countdown has no best time";
    EXPECT_FALSE(Entry("BestShow1")->isChecked());
    QTest::mouseClick(Find<QWidget>("Led_CountDown"), Qt::LeftButton);
    EXPECT_FALSE(window->Clock().CountDown());
    EXPECT_EQ(Find<QLabel>("LabelSC")->text(), QStringLiteral("Chronivel"));

    Key(Qt::Key_Return);
    platform.Advance(2'000);
    Key(Qt::Key_Return);
    EXPECT_EQ(window->Clock().Best().Value(), 2'000);
    QTest::mouseDClick(Find<QLabel>("lbl_Leader"), Qt::LeftButton);
    EXPECT_EQ(window->Clock().Best().Value(), BestTime::None);

    Entry("Exit1")->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, DraggingTheFaceWithAnyButtonMovesTheWindowButAClickDoesNot)
{
    Start();
    const QPoint grab(30, 112);  // on the dial, clear of every control
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        window->move(100, 100);
        QTest::mousePress(window.get(), button, {}, grab);
        QTest::mouseMove(window.get(), grab + QPoint(2, 1));  // the hand trembles
        QTest::mouseRelease(window.get(), button, {}, grab + QPoint(2, 1));
        EXPECT_EQ(window->pos(), QPoint(100, 100)) << "a click of button " << button;

        QTest::mousePress(window.get(), button, {}, grab);
        QTest::mouseMove(window.get(), grab + QPoint(40, 25));
        QTest::mouseRelease(window.get(), button, {}, grab + QPoint(40, 25));
        EXPECT_EQ(window->pos(), QPoint(140, 125)) << "a drag with button " << button;
    }
}

}  // namespace
}  // namespace chronivel
