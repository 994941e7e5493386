// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/alarmdialog.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "tests/core/fakemodel.h"
#include "tests/ui/mainwindow_fixture.h"

namespace chronivel {
namespace {

using namespace testing;

constexpr std::int64_t Today = 20'429 * AlarmClock::DayMs;  // midnight

constexpr std::int64_t At(int h, int m, int s)
{
    return Today + ((h * 60 + m) * 60 + s) * std::int64_t{1000};
}

// The dialog on a model whose wall clock the test sets.
class AlarmDialogTest : public ::testing::Test, protected FakeModelOnWallClock {
protected:
    void Start(std::int64_t now)
    {
        MakeApp(now);
        app->Load("/data/Protocol.txt");
        app->Resume();
        dialog = std::make_unique<TFormBud>(*app);
    }
    // Opens the dialog as the main window does, modally.
    void Open()
    {
        dialog->open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    template <typename T>
    T* Find(const char* name) const
    {
        T* found = dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString Fields() const
    {
        return QStringLiteral("%1:%2:%3")
            .arg(Find<QSpinBox>("seHH")->value())
            .arg(Find<QSpinBox>("seMM")->value())
            .arg(Find<QSpinBox>("seSS")->value());
    }
    void Type(const char* field, const QString& text)
    {
        auto* spin = Find<QSpinBox>(field);
        spin->setFocus();
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_Backspace);
        QTest::keyClicks(spin, text);
    }
    QString Due() const { return Find<QLabel>("lbDue")->text(); }
    // The dialog open on an alarm armed for 10:00, the hours changed and the minutes emptied.
    void OpenWithTheMinutesEmptied()
    {
    store.exists = false;
    Start(At(9, 0, 0));
    ASSERT_EQ(app->SetAlarm(true, 10, 0, 0), "");
    dialog = std::make_unique<TFormBud>(*app);
    Open();
    Type("seHH", QStringLiteral("11"));
    Type("seMM", QString());
    }

    std::unique_ptr<TFormBud> dialog;
};

TEST_F(AlarmDialogTest, ShowsTheStoredTimeAndADamagedOneAsItsOwn235959)
{
    const std::tuple<double, const char*, bool> stored[] = {
        {0.0, "0:0:0", true},
        {0.5, "12:0:0", true},
        {0.99999, "23:59:59", true},
        {std::nan(""), "23:59:59", false},
        {-1.0, "23:59:59", false},
        {2.0, "23:59:59", false},
    };
    for (const auto& [time, shown, armed] : stored) {
        Settings s;
        s.alarmOn = true;
        s.alarm = time;
        s.alarmDue = At(23, 0, 0);  // still to come
        SaveSettings(store, s, "");
        Start(At(8, 0, 0));
        Open();
        EXPECT_EQ(Fields(), QLatin1String(shown)) << time;
        EXPECT_EQ(Find<QCheckBox>("cbBud")->isChecked(), armed) << time;
        EXPECT_EQ(dialog->focusWidget(), Find<QCheckBox>("cbBud"));
        dialog.reset();
    }
}

TEST_F(AlarmDialogTest, ClosingSetsWhatItShowsTodayOrTomorrow)
{
    store.exists = false;
    Start(At(20, 0, 0));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Alarm"));
    EXPECT_EQ(dialog->objectName(), QStringLiteral("FormBud"));
    EXPECT_EQ(Fields(), QStringLiteral("0:0:0")) << "a first start's alarm time";
    Open();
    EXPECT_FALSE(Find<QCheckBox>("cbBud")->isChecked());
    EXPECT_EQ(Due(), QStringLiteral("Off"));

    // The keyboard alone: the box, then the fields in order.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(Find<QCheckBox>("cbBud")->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Find<QSpinBox>("seHH"));
    Type("seHH", QStringLiteral("21"));
    Type("seMM", QStringLiteral("15"));
    EXPECT_EQ(Due(), QStringLiteral("Rings today 21:15:00"));
    Type("seHH", QStringLiteral("6"));
    Type("seMM", QStringLiteral("30"));
    EXPECT_EQ(Due(), QStringLiteral("Rings tomorrow 06:30:00"));
    QTest::keyClick(Find<QSpinBox>("seMM"), Qt::Key_Escape);  // Escape in a field closes too
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(app->Alarm().Armed());
    EXPECT_EQ(app->Alarm().DueMs(), At(6, 30, 0) + AlarmClock::DayMs) << "tomorrow morning";

    Open();
    EXPECT_TRUE(Find<QCheckBox>("cbBud")->isChecked());
    EXPECT_EQ(Fields(), QStringLiteral("6:30:0"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(Due(), QStringLiteral("Off"));
    dialog->close();  // the close box applies as well
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(app->Alarm().Armed());
    EXPECT_EQ(app->Alarm().Hours(), 6) << "the time stays";
}

TEST_F(AlarmDialogTest, AnEmptyFieldIsToldAndCancelKeepsTheOldAlarm)
{
    OpenWithTheMinutesEmptied();
    QTest::keyClick(Find<QSpinBox>("seMM"), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible()) << "nothing to set";
    auto* problem = Find<QLabel>("lbProblem");
    EXPECT_TRUE(problem->isVisible());
    EXPECT_EQ(problem->text(), QStringLiteral("The minutes field is empty: enter 0 to 59."));
    dialog->close();
    EXPECT_TRUE(dialog->isVisible()) << "the close box sets what it shows, and cannot";

    // The way out, by the keyboard: Tab to Cancel.
    Find<QSpinBox>("seSS")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Find<QPushButton>("btCancel"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(app->Alarm().Armed());
    EXPECT_EQ(app->Alarm().DueMs(), At(10, 0, 0)) << "the old alarm";

    Open();
    EXPECT_EQ(Fields(), QStringLiteral("10:0:0")) << "the alarm as it is";
    EXPECT_FALSE(Find<QLabel>("lbProblem")->isVisible());
}

// Ways of leaving an emptied field and closing the dialog; none of them may
// put the old value back in the field and set the alarm with it.
struct LeavingAnEmptyField {
    const char* name;
    bool tabFirst;     // the focus leaves the field before the dialog is closed
    Qt::Key closeKey;  // Qt::Key_unknown: the close box
};

class EmptiedFieldTest : public AlarmDialogTest, public ::testing::WithParamInterface<LeavingAnEmptyField> {};

TEST_P(EmptiedFieldTest, KeepsTheDialogOpenAndSaysWhichField)
{
    OpenWithTheMinutesEmptied();
    if (GetParam().tabFirst) QTest::keyClick(Find<QSpinBox>("seMM"), Qt::Key_Tab);
    if (GetParam().closeKey == Qt::Key_unknown)
        dialog->close();
    else
        QTest::keyClick(QApplication::focusWidget(), GetParam().closeKey);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(Find<QLabel>("lbProblem")->isVisible());
    EXPECT_EQ(Find<QLabel>("lbProblem")->text(), QStringLiteral("The minutes field is empty: enter 0 to 59."));
    EXPECT_EQ(Find<QSpinBox>("seMM")->text(), QString()) << "the field stays as the user left it";
    EXPECT_EQ(app->Alarm().DueMs(), At(10, 0, 0)) << "the alarm as it was";
}

INSTANTIATE_TEST_SUITE_P(Ways, EmptiedFieldTest,
                         ::testing::Values(LeavingAnEmptyField{"EnterInTheField", false, Qt::Key_Return},
                                           LeavingAnEmptyField{"TabThenEnter", true, Qt::Key_Return},
                                           LeavingAnEmptyField{"TabThenEscape", true, Qt::Key_Escape},
                                           LeavingAnEmptyField{"TabThenCloseBox", true, Qt::Key_unknown}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AlarmDialogTest, EveryControlHasANameAndTheTabOrderIsLeftToRight)
{
    store.exists = false;
    Start(At(9, 0, 0));
    Open();
    for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QString name = QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        if (control->objectName() == QLatin1String("lbDue"))
            EXPECT_EQ(name, Find<QLabel>("lbDue")->text()) << "when it rings, not a name that hides it";
        else
            EXPECT_FALSE(name.isEmpty()) << control->objectName().toStdString();
    }
    EXPECT_EQ(Find<QCheckBox>("cbBud")->text(), QStringLiteral("Alarm on"));
    EXPECT_EQ(Find<QCheckBox>("cbBud")->accessibleName(), QStringLiteral("Alarm on"));
    EXPECT_EQ(Find<QSpinBox>("seHH")->font().pixelSize(), 27);
    EXPECT_EQ(Find<QLabel>("Label1")->font().pixelSize(), 27);
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, QStringList({"cbBud", "seHH", "seMM", "seSS", "btCancel"}));
}

// Ctrl+A and the alarm button open it over the main window, modally.
class AlarmFromTheWindowTest : public MainWindowFixture {};

TEST_F(AlarmFromTheWindowTest, CtrlAAndTheAlarmButtonOpenTheDialog)
{
    Start();
    for (int way = 0; way < 2; ++way) {
        QString title;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            title = modal ? modal->objectName() : QString();
            auto* box = modal ? modal->findChild<QCheckBox*>(QStringLiteral("cbBud")) : nullptr;
            if (box) box->setChecked(way == 0);
            if (modal) QTest::keyClick(modal, Qt::Key_Escape);
        });
        if (way == 0)
            QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
        else
            Find<QToolButton>("sbBud")->click();
        EXPECT_EQ(title, QStringLiteral("FormBud")) << way;
        EXPECT_EQ(app->Alarm().Armed(), way == 0) << way;
    }
}

}  // namespace
}  // namespace chronivel
