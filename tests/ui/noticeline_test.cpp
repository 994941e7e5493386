// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/noticeline.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <tuple>

#include "tests/ui/mainwindow_fixture.h"
#include "ui/messagebox.h"

namespace chronivel {
namespace {

class NoticeLineTest : public testing::MainWindowFixture {
protected:
    NoticeLine& Line() { return window->Notifications(); }
    // A finished run that the protocol file cannot take: a folder stands where it should be.
    void RunThatCannotBeWritten()
    {
        QDir().mkdir(ProtocolPath());
        window->Model().Perform(Command::StartStopReset);
        platform.Advance(1'000);
        window->Model().Perform(Command::StartStopReset);
        WaitForSaves();
    }
};

class NoticeLineAtEveryZoom : public NoticeLineTest, public ::testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(NoticeLineAtEveryZoom, ShowsItsHeadlineOnTheFaceWithItsRetryBesideIt)
{
    const auto [zoom, retry] = GetParam();
    Start();
    window->Model().SetZoom(zoom);
    window->Model().Tell({NoticeTopic::Settings, Notice::Kind::Problem, "Settings unsaved",
                          "Cannot write /nowhere/chronivel.reg: Read-only file system.", retry});
    const NoticeLine& line = Line();
    ASSERT_TRUE(line.isVisible());
    EXPECT_TRUE(window->rect().contains(line.geometry())) << "zoom " << zoom;
    EXPECT_EQ(line.text(), QStringLiteral("\u26A0 Settings unsaved")) << "whole at zoom " << zoom;
    EXPECT_EQ(line.RetryButton()->isVisible(), retry);
    if (retry) {
        EXPECT_TRUE(line.rect().contains(line.RetryButton()->geometry())) << "zoom " << zoom;
        const int textEnd = line.contentsRect().left() + line.fontMetrics().horizontalAdvance(line.text());
        EXPECT_LT(textEnd, line.RetryButton()->x()) << "the headline stays clear of the button at zoom " << zoom;
    }
    EXPECT_EQ(line.toolTip(), QStringLiteral("Cannot write /nowhere/chronivel.reg: Read-only file system."));
    EXPECT_EQ(line.focusPolicy(), Qt::NoFocus);
}

INSTANTIATE_TEST_SUITE_P(Zooms, NoticeLineAtEveryZoom,
                         ::testing::Combine(::testing::Range(0, 5), ::testing::Bool()));

TEST_F(NoticeLineTest, TheNewestShowsFirstAndNewsGoesOnceReadWhileProblemsStay)
{
    Start();
    EXPECT_FALSE(Line().isVisible());
    app->Tell({NoticeTopic::Barriers, Notice::Kind::Problem, "Barriers gone", "The adapter is gone."});
    app->Tell({NoticeTopic::HotKeys, Notice::Kind::News, "Hot keys refused", "Ctrl+Shift+F12 is taken."});
    EXPECT_EQ(Line().text(), QStringLiteral("\u2139 Hot keys refused (+1)"));
    EXPECT_EQ(Line().toolTip(), QStringLiteral("Ctrl+Shift+F12 is taken.\n\nThe adapter is gone."));

    QTest::mouseClick(&Line(), Qt::LeftButton);
    ASSERT_NE(Line().Details(), nullptr);
    EXPECT_TRUE(Line().Details()->isVisible());
    EXPECT_TRUE(Line().Details()->windowFlags() & Qt::ToolTip) << "a panel that is never activated";
    QTest::mouseClick(&Line(), Qt::LeftButton);  // read: closed
    EXPECT_EQ(Line().Details(), nullptr);
    EXPECT_EQ(Line().text(), QStringLiteral("\u26A0 Barriers gone"));
    app->ClearNotice(NoticeTopic::Barriers);
    EXPECT_FALSE(Line().isVisible());
}

TEST_F(NoticeLineTest, RetryWritesTheKeptRunsAndTheKeysActOnTheRunMeanwhile)
{
    Start();
    RunThatCannotBeWritten();
    ASSERT_TRUE(Line().isVisible());
    ASSERT_TRUE(Line().RetryButton()->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no box waits for the user";

    QTest::mouseClick(&Line(), Qt::LeftButton);
    ASSERT_NE(Line().Details(), nullptr);
    const QString whole = Line().Details()->findChild<QLabel*>()->text();
    EXPECT_TRUE(whole.contains(QDir::toNativeSeparators(ProtocolPath()))) << whole.toStdString();
    // The details are open, and the coach's keys still reach the chronometer.
    QTest::keyClick(window.get(), Qt::Key_Return);  // RESET
    QTest::keyClick(window.get(), Qt::Key_Return);  // START
    EXPECT_EQ(window->Clock().State(), RunState::Running);

    QDir().rmdir(ProtocolPath());
    QTest::mouseClick(Line().Details()->findChild<QPushButton*>(QStringLiteral("NoticeRetry")), Qt::LeftButton);
    WaitForSaves();
    EXPECT_TRUE(QFile::exists(ProtocolPath())) << "the kept run is written";
    // The line may still tell that this machine has no sound device.
    EXPECT_EQ(app->Told().Find(NoticeTopic::Protocol), nullptr) << "and its notice is over";
    QCoreApplication::processEvents();  // the details' panel goes once its button's click is over
}

// A file name of 100,000 characters must not make a box taller than the screen, its OK out of reach.
class MessageFits : public ::testing::TestWithParam<std::tuple<const char*, QString>> {};

TEST_P(MessageFits, WithinTheScreenWithTheWholeTextInItsDetails)
{
    const auto& [what, text] = GetParam();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("chronivel"), text, QMessageBox::Ok);
    FitOnScreen(box);
    box.show();
    const QSize screen = box.screen()->availableGeometry().size();
    EXPECT_LE(box.width(), screen.width()) << what;
    EXPECT_LE(box.height(), screen.height()) << what;
    EXPECT_EQ(box.detailedText().isEmpty(), box.text() == text) << what << ": the whole text stays at hand";
    if (text.size() < 200) {
        EXPECT_EQ(box.text(), text) << what << ": a short text is left as it is";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MessageFits,
    ::testing::Values(
        std::make_tuple("a short message", QStringLiteral("Cannot open the manual.")),
        std::make_tuple("a long file name",
                        QStringLiteral("Cannot write to the protocol file \"/tmp/%1.txt\". Is a directory")
                            .arg(QString(100'000, QLatin1Char('a')))),
        std::make_tuple("many words", QStringLiteral("word ").repeated(20'000))));

}  // namespace
}  // namespace chronivel
