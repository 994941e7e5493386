// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/configdialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include "core/configlayout.h"
#include "tests/ui/mainwindow_fixture.h"
#include "ui/face.h"
#include "ui/ovalbutton.h"
#include "ui/windowregion.h"

namespace chronivel {
namespace {

// The configuration dialog of the real main window: opened by its command,
// out after its slide, and closed by OK, Cancel or Escape.
class ConfigDialogTest : public testing::MainWindowFixture {
protected:
    void StartWith(const Settings& settings)
    {
        Store(settings);
        Start();
        dialog = &window->ConfigDialog();
        dialog->reportProblem = [this](const QString& problem) { problems << problem; };
    }
    // Opens it as Ctrl+C does, and waits until it is out.
    void Open()
    {
        QSignalSpy out(dialog, &TFormConfig::slideEnded);
        app->Perform(Command::Configuration);
        ASSERT_TRUE(dialog->isVisible());
        ASSERT_TRUE(out.wait(5000)) << "the dialog never came out";
        ASSERT_TRUE(Field<TOvalButton>("bOK")->isVisible()) << "OK waits once the dialog is out";
    }
    // A key as the user types it, to whatever has the focus in the dialog.
    void Type(Qt::Key key)
    {
        QWidget* focused = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QTest::keyClick(focused, key);
    }
    // Presses OK (Enter) and waits until the dialog is back behind the main window.
    void CloseWith(Qt::Key key)
    {
        QSignalSpy back(dialog, &TFormConfig::slideEnded);
        Type(key);
        ASSERT_TRUE(back.wait(5000)) << "the dialog never went back";
        ASSERT_FALSE(dialog->isVisible());
    }
    template <typename T>
    T* Field(const char* name) const
    {
        T* found = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void SetTimer(const QString& text)
    {
        auto* timer = Field<QLineEdit>("meCountDown");
        timer->selectAll();
        timer->setFocus();
        QTest::keyClicks(timer, text);
    }

    TFormConfig* dialog = nullptr;
    QStringList problems;
};

Settings Configured()
{
    Settings s;
    s.transparentInBackground = false;
    s.color = 0x0000ff;  // red, as 0x00BBGGRR
    s.pictureFile = "/pictures/track.bmp";
    s.laps = 12;
    s.minLap = 250;
    s.stopLockSeconds = 30;
    s.format = 2;
    s.countDownPresetMs = 90'250;
    return s;
}

TEST_F(ConfigDialogTest, ShowsTheSettingsAsTheyAre)
{
    StartWith(Configured());
    Open();
    EXPECT_FALSE(Field<QCheckBox>("cbTransparent")->isChecked());
    EXPECT_EQ(Field<QLineEdit>("Edit_ProtocolName")->text(), ProtocolPath());
    EXPECT_EQ(Field<QLineEdit>("Edit_PictureName")->text(), QStringLiteral("/pictures/track.bmp"));
    EXPECT_EQ(Field<QSpinBox>("seLAPs")->value(), 12);
    EXPECT_EQ(Field<QSpinBox>("seMinLap")->value(), 250);
    EXPECT_EQ(Field<QSpinBox>("seLock")->value(), 30);
    EXPECT_EQ(Field<QLineEdit>("meCountDown")->displayText(), QStringLiteral("00:01.30,25"));
    EXPECT_EQ(Field<QLineEdit>("meCountDown")->inputMask(), QStringLiteral("99:99.99,99;_"));
    EXPECT_EQ(dialog->focusWidget(), Field<QSpinBox>("seLAPs"));

    // The format changed while it was closed: the mask and the text follow.
    CloseWith(Qt::Key_Escape);
    app->Perform(FormatCommand(1));
    Open();
    EXPECT_EQ(Field<QLineEdit>("meCountDown")->displayText(), QStringLiteral("000090,250"));
}

TEST_F(ConfigDialogTest, EveryControlHasANameAndTheCaptionsLeadToTheirFields)
{
    StartWith(Settings{});
    Open();
    for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QLabel*>(control)) {
            EXPECT_NE(static_cast<QLabel*>(control)->buddy(), nullptr) << control->objectName().toStdString();
            continue;
        }
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    }
    // Alt and a caption's letter: the timer's field takes the focus.
    QTest::keyClick(dialog->focusWidget(), Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(dialog->focusWidget(), Field<QLineEdit>("meCountDown"));
    // Tab goes down the crescent, and round.
    const char* order[] = {"meCountDown", "seMinLap", "bOK",    "cbTransparent", "bClose",
                           "Edit_ProtocolName", "Edit_PictureName", "PanelColor", "seLAPs", "seLock", "meCountDown"};
    for (const char* next : order) {
        EXPECT_EQ(dialog->focusWidget()->objectName().toStdString(), next);
        Type(Qt::Key_Tab);
    }
}

TEST_F(ConfigDialogTest, OkAppliesEveryFieldAtOnceAndTheWindowsShowIt)
{
    Settings s;
    s.countDown = true;
    StartWith(s);
    Open();
    Field<QCheckBox>("cbTransparent")->setChecked(false);
    const QString protocol = folder.filePath(QStringLiteral("runs.txt"));
    Field<QLineEdit>("Edit_ProtocolName")->setText(protocol);
    Field<QSpinBox>("seLAPs")->setValue(3);
    Field<QSpinBox>("seMinLap")->setValue(800);
    Field<QSpinBox>("seLock")->setValue(5);
    SetTimer(QStringLiteral("00013025000"));  // typed over the mask's places
    EXPECT_EQ(Field<QLineEdit>("meCountDown")->displayText(), QStringLiteral("00:01.30,250"));
    // The colour through its own dialog, as the user picks it; a second press
    // (Alt+C, then Space) finds it open.
    Field<QPushButton>("PanelColor")->click();
    Field<QPushButton>("PanelColor")->click();
    EXPECT_EQ(dialog->findChildren<QColorDialog*>().size(), 1);
    auto* colors = dialog->findChild<QColorDialog*>(QStringLiteral("ColorDialog1"));
    ASSERT_NE(colors, nullptr);
    colors->setCurrentColor(QColor(0, 0, 200));
    colors->accept();
    CloseWith(Qt::Key_Return);

    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
    const Configuration now = app->CurrentConfiguration();
    EXPECT_FALSE(now.transparentInBackground);
    EXPECT_EQ(now.fileName, protocol.toStdString());
    EXPECT_EQ(app->ProtocolPath(), protocol.toStdString());
    EXPECT_EQ(now.color, 0xc80000) << "blue, as 0x00BBGGRR";
    EXPECT_EQ(now.laps, 3);
    EXPECT_EQ(now.minLap, 800);
    EXPECT_EQ(now.stopLockSeconds, 5);
    EXPECT_EQ(app->Clock().CountDownT(), 90'250);
    // The face is the blue disc, and the readout at rest shows the new preset.
    const TFace* face = window->findChild<TFace*>();
    EXPECT_EQ(face->Kind(), TFaceKind::fkDisc);
    EXPECT_EQ(face->WindowColor(), QColor(0, 0, 200));
    EXPECT_EQ(app->Clock().CurrentTimeText(), "00:01.30,250");
    // Saved as the other settings are.
    WaitForSaves();
    QTest::qWait(SavePipeline::DelayMs + 100);
    WaitForSaves();
    EXPECT_EQ(store.Get("CountDownT"), RegValue::Dword(90'250));
    EXPECT_EQ(store.Get("FileName"), RegValue::Text(protocol.toStdString()));
}

TEST_F(ConfigDialogTest, ABadFieldKeepsTheDialogOpenWithWordsAndChangesNothing)
{
    StartWith(Configured());
    Open();
    const Configuration before = app->CurrentConfiguration();
    struct Case {
        const char* field;
        std::function<void()> spoil;
        const char* words;
    };
    const Case cases[] = {
        {"Edit_ProtocolName", [&] { Field<QLineEdit>("Edit_ProtocolName")->clear(); }, "Protocol file: enter"},
        {"Edit_ProtocolName",
         [&] { Field<QLineEdit>("Edit_ProtocolName")->setText(folder.filePath(QStringLiteral("gone/runs.txt"))); },
         "gone/runs.txt"},
        {"meCountDown", [&] { SetTimer(QStringLiteral("00750000")); }, "Timer: the minutes must be 0 to 59, not 75"},
        {"meCountDown", [&] { SetTimer(QStringLiteral("00011")); }, "Timer: the seconds \"1_\" have an empty place"},
        {"Edit_PictureName",
         [&] {
             Field<QLineEdit>("Edit_PictureName")->setText(ProtocolPath());  // not a picture
             // Without a colour the picture is the face.
             Field<QPushButton>("PanelColor")->click();
             auto* colors = dialog->findChild<QColorDialog*>(QStringLiteral("ColorDialog1"));
             colors->setCurrentColor(Qt::black);
             colors->accept();
         },
         "Picture:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        problems.clear();
        dialog->activateWindow();
        c.spoil();
        Field<QSpinBox>("seLAPs")->setValue(77);  // a good change beside it must wait too
        Field<QSpinBox>("seLAPs")->setFocus();
        Type(Qt::Key_Return);
        ASSERT_EQ(problems.size(), 1);
        EXPECT_TRUE(problems[0].contains(QLatin1String(c.words))) << problems[0].toStdString();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->focusWidget()->objectName().toStdString(), c.field) << "the field at fault has the focus";
        EXPECT_EQ(app->CurrentConfiguration(), before);
        // Put right for the next case.
        Field<QLineEdit>("Edit_ProtocolName")->setText(QString::fromStdString(before.fileName));
        Field<QLineEdit>("meCountDown")->setText(QString::fromStdString(before.countDown));
        Field<QLineEdit>("Edit_PictureName")->setText(QString::fromStdString(before.pictureFile));
    }
}

TEST_F(ConfigDialogTest, ANumberOutOfRangeIsRefusedInWordsNotCutShort)
{
    StartWith({});
    Open();
    auto* lock = Field<QSpinBox>("seLock");
    lock->setFocus();
    lock->selectAll();
    QTest::keyClicks(lock, QStringLiteral("5000"));
    Type(Qt::Key_Return);
    ASSERT_EQ(problems.size(), 1) << "the dialog closed with the lock cut to " << lock->value();
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("STOP lock: 5000 "))) << problems[0].toStdString();
    EXPECT_EQ(dialog->focusWidget(), lock);
    // Space on the focused Cancel closes it as its click does.
    QSignalSpy back(dialog, &TFormConfig::slideEnded);
    Field<TOvalButton>("bClose")->setFocus();
    Type(Qt::Key_Space);
    ASSERT_TRUE(back.wait(5000)) << "Space on Cancel did not close the dialog";
    EXPECT_EQ(app->Kept().stopLockSeconds, 0);
}

TEST_F(ConfigDialogTest, EveryFieldHoldsItsLargestValueAtEveryZoom)
{
    StartWith({});
    for (int zoom = 0; zoom < ZoomSteps; ++zoom) {
        app->SetZoom(zoom);  // the main window lays the dialog out anew
        for (const char* name : {"seLAPs", "seLock", "seMinLap", "cbTransparent"}) {
            const QWidget* field = Field<QWidget>(name);
            EXPECT_GE(field->width(), field->sizeHint().width()) << name << " at zoom " << zoom + 1;
        }
        const auto* timer = Field<QLineEdit>("meCountDown");
        const int text = timer->fontMetrics().horizontalAdvance(QStringLiteral("00:00.00,000"));
        EXPECT_GE(timer->contentsRect().width() - 4, text) << "the timer at zoom " << zoom + 1;
    }
}

TEST_F(ConfigDialogTest, TheTimerReadsAsTheMaskWritesItWhateverTheLanguage)
{
    const QLocale was;
    for (const QLocale& language : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English)}) {
        SCOPED_TRACE(language.name().toStdString());
        QLocale::setDefault(language);
        for (const int format : {3, 2}) {
            Settings s;
            s.format = format;
            StartWith(s);
            Open();
            SetTimer(format == 3 ? QStringLiteral("00009025") : QStringLiteral("00013025"));
            CloseWith(Qt::Key_Return);
            EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(app->Clock().CountDownT(), 90'250) << "format " << format;
        }
    }
    QLocale::setDefault(was);
}

TEST_F(ConfigDialogTest, CancelAndEscapeChangeNothing)
{
    StartWith(Configured());
    for (const bool escape : {true, false}) {
        Open();
        const Configuration before = app->CurrentConfiguration();
        WaitForSaves();
        const auto stored = store.values;
        Field<QCheckBox>("cbTransparent")->setChecked(true);
        Field<QSpinBox>("seLAPs")->setValue(99);
        SetTimer(QStringLiteral("0005"));
        if (escape) {
            CloseWith(Qt::Key_Escape);
        } else {
            QSignalSpy back(dialog, &TFormConfig::slideEnded);
            Field<TOvalButton>("bClose")->Click();
            ASSERT_TRUE(back.wait(5000));
        }
        EXPECT_EQ(app->CurrentConfiguration(), before);
        QTest::qWait(SavePipeline::DelayMs + 100);
        WaitForSaves();
        EXPECT_EQ(store.values, stored);
    }
}

TEST_F(ConfigDialogTest, SlidesOutFromBehindTheWindowAndBackToWhereBothWere)
{
    StartWith(Settings{});
    window->move(300, 200);
    QTest::qWait(50);
    const QPoint home = window->pos();
    Open();
    EXPECT_EQ(window->pos(), home - QPoint(SlideSteps, 0));
    EXPECT_EQ(dialog->pos(), home + QPoint(SlideSteps, 0));
    CloseWith(Qt::Key_Escape);
    EXPECT_EQ(window->pos(), home);
    EXPECT_EQ(app->Kept().left, home.x()) << "the slide is not where the user put the window";
}

TEST_F(ConfigDialogTest, CommandsGivenWhileItSlidesRunOnceAfterTheSlide)
{
    StartWith(Settings{});
    QSignalSpy out(dialog, &TFormConfig::slideEnded);
    app->Perform(Command::Configuration);
    ASSERT_TRUE(dialog->Sliding());
    app->Perform(Command::NextZoom);
    app->Perform(Command::NextZoom);
    app->Perform(Command::Configuration);
    app->Perform(Command::StartStopReset);  // the chronometer's own commands do not wait
    EXPECT_EQ(app->Clock().State(), RunState::Running);
    EXPECT_EQ(app->Zoom(), 0) << "the window must not grow under the slide";
    ASSERT_TRUE(out.wait(5000));
    EXPECT_EQ(app->Zoom(), 1) << "the zoom key pressed twice mid-slide counts once, after it";
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->width(), 448) << "the dialog follows the zoom";
    EXPECT_FALSE(dialog->Sliding());
}

TEST_F(ConfigDialogTest, IsTheCrescentAndGrowsWithTheZoom)
{
    StartWith(Settings{});
    for (const int zoom : {0, 2}) {
        app->Perform(Command(int(Command::Zoom1) + zoom));
        const int side = BaseSide * (zoom + 1);
        EXPECT_EQ(dialog->size(), QSize(side, side));
        EXPECT_EQ(dialog->mask(), CrescentRegion(side, side, 100));
        const ConfigLayout l = LayoutConfig(zoom, side);
        EXPECT_EQ(Field<QLineEdit>("meCountDown")->geometry(),
                  QRect(l.countDown.left, l.countDown.top, l.countDown.width, l.countDown.height));
        EXPECT_EQ(Field<TOvalButton>("bOK")->geometry().top(), side - 40 * (zoom + 1));
        EXPECT_EQ(dialog->font().pixelSize(), 10 * (zoom + 1)) << "8 points at 96 dpi, grown as the places grow";
        for (QLabel* caption : dialog->findChildren<QLabel*>())
            EXPECT_LE(caption->sizeHint().width(), caption->width()) << caption->text().toStdString() << " is cut off";
        // Every field lies on the crescent, where the user can see it once it is out.
        for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->objectName() == QLatin1String("TransparentWndCFG") || qobject_cast<QLabel*>(control)) continue;
            const QRect r = control->geometry();
            for (const QPoint corner : {r.topRight(), r.bottomRight(), QPoint(r.center().x(), r.top())})
                EXPECT_TRUE(dialog->mask().contains(corner))
                    << control->objectName().toStdString() << " at zoom " << zoom + 1;
        }
    }
}

TEST_F(ConfigDialogTest, BehindAnotherProgramItHidesOkAndCancelAndTurnsTranslucent)
{
    Settings s;
    s.transparentInBackground = true;
    StartWith(s);
    Open();
    // The main window giving the focus to its own dialog keeps its buttons.
    EXPECT_TRUE(window->findChild<QWidget*>(QStringLiteral("cmd_StartStop"))->isVisible());
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(Field<TOvalButton>("bOK")->isVisible());
    EXPECT_FALSE(Field<TOvalButton>("bClose")->isVisible());
    EXPECT_LT(dialog->windowOpacity(), 1.0);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(Field<TOvalButton>("bOK")->isVisible());
    EXPECT_EQ(dialog->windowOpacity(), 1.0);
}

}  // namespace
}  // namespace chronivel
