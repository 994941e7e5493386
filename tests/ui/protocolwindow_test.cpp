// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/protocolwindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/protocol.h"
#include "core/settingsstore.h"
#include "platform/protocolfile.h"
#include "tests/ui/mainwindow_fixture.h"
#include "tests/ui/protocolwindow_fixture.h"
#include "ui/colorbutton.h"

namespace chronivel {
namespace {

using testing::Bytes;
using testing::kRunBytes;
using testing::kRunText;
using testing::kSeparator;
using testing::ProtocolWindowTest;
using testing::ShowLoaded;

TEST_F(ProtocolWindowTest, IsAResizableWindowWithAFixedPitchEditorAndItsStatus)
{
    const auto w = MakeWindow();
    EXPECT_EQ(w->objectName(), QStringLiteral("TFormProtocol"));
    EXPECT_TRUE(w->isWindow());
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    QPlainTextEdit* memo = Memo(*w);
    ASSERT_NE(memo, nullptr);
    ASSERT_NE(w->findChild<QStatusBar*>(QStringLiteral("StatusBar1")), nullptr);
    ASSERT_NE(w->findChild<QPushButton*>(QStringLiteral("bExportCsv")), nullptr);
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_NE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_NE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->font().pointSize(), 10);
    const QString family = QFontDatabase::families().contains(QStringLiteral("Courier New"))
                               ? QStringLiteral("Courier New")
                               : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    EXPECT_EQ(memo->font().family(), family);
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("StatusPanel0"))->width(), 20);
    const QLabel* caret = w->findChild<QLabel*>(QStringLiteral("StatusPanel1"));
    EXPECT_GE(caret->width(), caret->fontMetrics().horizontalAdvance(QStringLiteral("Ln 99999, Col 999")));

    Put(path, "");
    ShowLoaded(*w);
    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("\t"));
}

TEST_F(ProtocolWindowTest, ShowingReadsTheWholeFileAndPutsTheCaretAtItsEnd)
{
    Put(path, kRunBytes + "hand-written \x80 note\r\n");
    const auto w = MakeWindow();
    ShowLoaded(*w);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Memo(*w)->toPlainText(), kRunText + QString::fromUtf8("hand-written \u20AC note\n"));
    EXPECT_EQ(w->windowTitle(), path);
    EXPECT_EQ(Panel(*w, 1), QStringLiteral("Ln 8, Col 1"));
    EXPECT_EQ(Panel(*w, 0), QString());

    // A click moves the caret, and the panel follows.
    QTest::mouseClick(Memo(*w)->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(Panel(*w, 1), QStringLiteral("Ln 1, Col 1"));
    QTest::keyClick(Memo(*w), Qt::Key_End);
    EXPECT_EQ(Panel(*w, 1), QStringLiteral("Ln 1, Col 34"));
}

TEST_F(ProtocolWindowTest, ClosingAfterEditsSavesTheTextAsWindows1252WithCrLf)
{
    Put(path, kRunBytes);
    const auto w = MakeWindow();
    ShowLoaded(*w);
    QPlainTextEdit* memo = Memo(*w);
    Type(memo, QString::fromUtf8("Note \u20AC\u00D8"));
    QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(memo, "ok");
    EXPECT_EQ(Panel(*w, 0), QStringLiteral("E"));
    EXPECT_EQ(Panel(*w, 1), QStringLiteral("Ln 8, Col 3"));
    EXPECT_EQ(Bytes(path), kRunBytes) << "saved before closing";

    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Bytes(path), kRunBytes + "Note \x80\xD8\r\nok");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Protocol.txt")});
}

TEST_F(ProtocolWindowTest, EscapeInTheEditorClosesAndSaves)
{
    Put(path, kRunBytes);
    const auto w = MakeWindow();
    ShowLoaded(*w);
    QTest::keyClicks(Memo(*w), "x");
    QTest::keyClick(Memo(*w), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(Bytes(path), kRunBytes + "x");
}

TEST_F(ProtocolWindowTest, ClosingWithoutEditsLeavesTheFileAlone)
{
    Put(path, kRunBytes);
    const auto w = MakeWindow();
    ShowLoaded(*w);
    QPlainTextEdit* memo = Memo(*w);
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::keyClicks(memo, "xy");
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);  // typing and its undo: nothing edited
    EXPECT_EQ(memo->toPlainText(), kRunText);
    EXPECT_EQ(Panel(*w, 0), QString());
    // Another program's change since showing must survive the close.
    Put(path, "changed\r\n");
    EXPECT_TRUE(w->close());
    EXPECT_EQ(Bytes(path), "changed\r\n");
}

TEST_F(ProtocolWindowTest, ToggleHidesWithoutSavingAndShowsTheFileAfresh)
{
    Put(path, kRunBytes);
    const auto w = MakeWindow();
    ShowLoaded(*w, true);
    ASSERT_TRUE(w->isVisible());
    QTest::keyClicks(Memo(*w), "x");
    w->Toggle();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(Bytes(path), kRunBytes);
    w->close();  // as when the program ends: what was hidden is not saved either
    EXPECT_EQ(Bytes(path), kRunBytes);

    Put(path, kRunBytes + "more\r\n");
    ShowLoaded(*w, true);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(Memo(*w)->toPlainText(), kRunText + QStringLiteral("more\n"));
    EXPECT_EQ(Panel(*w, 0), QString());
    EXPECT_EQ(Panel(*w, 1), QStringLiteral("Ln 8, Col 1"));
}

TEST_F(ProtocolWindowTest, AnotherFileChosenWhileOpenIsShownAtOnceAndTheEditsStayWithTheOld)
{
    Put(path, kRunBytes);
    const QString old = path;
    const auto w = MakeWindow();
    ShowLoaded(*w, true);
    QTest::keyClicks(Memo(*w), "x");
    w->Changed();  // nothing else changed: the window stays as it is
    EXPECT_EQ(w->Path(), old);
    EXPECT_EQ(Memo(*w)->toPlainText(), kRunText + QStringLiteral("x"));

    path = dir.filePath(QStringLiteral("other.txt"));
    Put(path, "other\r\n");
    QSignalSpy loaded(w.get(), &ProtocolWindow::loaded);
    w->Changed();
    ASSERT_TRUE(loaded.wait());
    EXPECT_EQ(w->Path(), path);
    EXPECT_EQ(w->windowTitle(), path);
    EXPECT_EQ(Memo(*w)->toPlainText(), QStringLiteral("other\n"));
    EXPECT_EQ(Bytes(old), kRunBytes + "x") << "the edit went to the file it was made in";
    EXPECT_EQ(Bytes(path), "other\r\n");
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ProtocolWindowTest, ARecordedRunShowsAsTheFileHasItEndingInItsEmptyLine)
{
    Put(path, kRunBytes);
    const auto w = MakeWindow();
    ShowLoaded(*w);
    const std::vector<std::string> run = {"START 2 = 14:10:00 = Mo. 07.12.26", "LAP 1 =  5,000",
                                          "STOP: =  9,000 ( +4,000)  4,000 \u00D8  4,500"};
    // As the program does it: first the file, then the window.
    ASSERT_TRUE(AppendToProtocol(path.toStdString(), ProtocolBlock(run)));
    w->RunRecorded(run);
    const QString expected = kRunText + QString::fromUtf8(
                                            "START 2 = 14:10:00 = Mo. 07.12.26\n"
                                            "LAP 1 =  5,000\n" +
                                            kSeparator +
                                            "\n"
                                            "STOP: =  9,000 ( +4,000)  4,000 \u00D8  4,500\n"
                                            "\n");
    EXPECT_EQ(Memo(*w)->toPlainText(), expected);
    EXPECT_EQ(Panel(*w, 1), QStringLiteral("Ln 12, Col 1"));
    EXPECT_EQ(Panel(*w, 0), QString()) << "a run is no edit";
    const QScrollBar* bar = Memo(*w)->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());

    // Told of a run the file did not take, the window adds nothing.
    w->RunRecorded({"START 3 = 15:00:00 = Mo. 07.12.26"});
    EXPECT_EQ(Memo(*w)->toPlainText(), expected);

    // Closing leaves the file as written: one empty line after each run.
    w->close();
    EXPECT_EQ(Bytes(path), kRunBytes + ProtocolBlock(run));

    // A hidden window takes no lines; it reads the file when shown.
    ASSERT_TRUE(AppendToProtocol(path.toStdString(), ProtocolBlock(run)));
    w->RunRecorded(run);
    EXPECT_EQ(Memo(*w)->toPlainText(), expected);
}

TEST_F(ProtocolWindowTest, ARunRecordedDuringEditsIsSavedOnceAndStartsItsOwnLine)
{
    Put(path, "A");
    const auto w = MakeWindow();
    ShowLoaded(*w);
    QTest::keyClicks(Memo(*w), "B");
    const std::vector<std::string> run = {"STOP: = 1,0"};
    ASSERT_TRUE(AppendToProtocol(path.toStdString(), ProtocolBlock(run)));
    w->RunRecorded(run);
    EXPECT_EQ(Memo(*w)->toPlainText(), QString::fromStdString("AB\n" + kSeparator + "\nSTOP: = 1,0\n\n"));
    EXPECT_EQ(Panel(*w, 0), QStringLiteral("E"));
    // Undo cannot take the run back out, and the edit before it is still saved.
    QTest::keyClick(Memo(*w), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Memo(*w)->toPlainText(), QString::fromStdString("AB\n" + kSeparator + "\nSTOP: = 1,0\n\n"));
    EXPECT_EQ(Panel(*w, 0), QStringLiteral("E"));
    // A run the window was not told of yet is in the file: the save keeps it.
    ASSERT_TRUE(AppendToProtocol(path.toStdString(), ProtocolBlock({"STOP: = 2,0"})));
    w->close();
    EXPECT_EQ(Bytes(path), "AB\r\n" + kSeparator + "\r\nSTOP: = 1,0\r\n\r\n" + ProtocolBlock({"STOP: = 2,0"}));
}

// A run appended where the file's last line is unended, or cut between CR and
// LF, comes after that line's end: the window shows the file as it now is.
TEST_F(ProtocolWindowTest, ARunAfterAnUnendedLastLineShowsAsTheFileHasIt)
{
    for (const std::string before : {"A", "A\r"}) {
        Put(path, before);
        const auto w = MakeWindow();
        ShowLoaded(*w);
        ASSERT_TRUE(AppendToProtocol(path.toStdString(), ProtocolBlock({"STOP: = 1,0"})));
        w->RunRecorded({"STOP: = 1,0"});
        EXPECT_EQ(Memo(*w)->toPlainText(), QString::fromStdString(ProtocolFileToText(Bytes(path))));
    }
}

TEST_F(ProtocolWindowTest, AFileReplacedByAnotherProgramIsNotAddedTo)
{
    Put(path, kRunBytes);
    const auto w = MakeWindow();
    ShowLoaded(*w);
    Put(path, std::string(kRunBytes.size() + 100, 'x'));
    w->RunRecorded({"STOP: = 1,0"});
    EXPECT_EQ(Memo(*w)->toPlainText(), kRunText);
    w->close();
    EXPECT_EQ(Bytes(path), std::string(kRunBytes.size() + 100, 'x')) << "nothing edited, nothing saved";
}

TEST_F(ProtocolWindowTest, SavingAnEditKeepsTheBytesTheUserDidNotTouch)
{
    // Written by hand in other editors: a no-break space, a lone LF, a lone
    // CR, no line end at the end.
    const std::string handMade = "Team\xA0" "A\nlone LF\rlone CR\r\n\x80 \x81 end";
    Put(path, kRunBytes + handMade);
    const auto w = MakeWindow();
    ShowLoaded(*w);
    QPlainTextEdit* memo = Memo(*w);
    QTest::keyClick(memo, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Down);
    QTest::keyClick(memo, Qt::Key_End);
    QTest::keyClicks(memo, " Anna");
    QTest::keyClick(memo, Qt::Key_Escape);
    ASSERT_FALSE(w->isVisible());
    std::string expected = kRunBytes + handMade;
    expected.insert(expected.find("\r\nLAP 2"), " Anna");
    EXPECT_EQ(Bytes(path), expected);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

#ifndef _WIN32
TEST_F(ProtocolWindowTest, SavingThroughALinkReplacesTheFileItPointsTo)
{
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("Protocol.txt"));
    Put(target, kRunBytes);
    ASSERT_TRUE(QFile::link(target, path));
    const auto w = MakeWindow();
    ShowLoaded(*w);
    QTest::keyClicks(Memo(*w), "x");
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(QFileInfo(path).symLinkTarget(), target);
    EXPECT_EQ(Bytes(target), kRunBytes + "x");
    // No temporary file left beside the link or its target.
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Protocol.txt")});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Protocol.txt")});
}
#endif

TEST_F(ProtocolWindowTest, ALongFileComesInPieceByPieceWhileEventsAreHandled)
{
    // Far more than one piece of text: the event loop must run in between.
    std::string file;
    while (file.size() < 2'000'000) file += kRunBytes;
    Put(path, file);
    const auto w = MakeWindow();
    QPlainTextEdit* memo = Memo(*w);
    QSignalSpy loaded(w.get(), &ProtocolWindow::loaded);
    // A run recorded after the file was read, while it comes in: shown once, after it.
    const std::vector<std::string> run = {"START 9 = 1", "STOP: = 1,0"};
    QStringList seen;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (!loaded.isEmpty() || memo->document()->isEmpty()) return;
        if (seen.isEmpty()) {
            ASSERT_TRUE(AppendToProtocol(path.toStdString(), ProtocolBlock(run)));
            w->RunRecorded(run);
        }
        seen << QString::number(memo->document()->characterCount());
    });
    ticker.start(0);
    w->show();
    EXPECT_TRUE(memo->isReadOnly()) << "typing before the file is in";
    ASSERT_TRUE(loaded.wait());
    ticker.stop();
    EXPECT_GE(seen.size(), 3) << "events waited for the whole file: " << seen.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_EQ(memo->toPlainText(), QString::fromStdString(ProtocolFileToText(file + ProtocolBlock(run))));
    EXPECT_EQ(Panel(*w, 0), QString()) << "reading is no edit";

    // Hidden while it reads, and shown again: the file comes in whole, once.
    w->Toggle();
    w->Toggle();
    w->Toggle();
    EXPECT_FALSE(w->isVisible());
    ShowLoaded(*w, true);
    EXPECT_EQ(Memo(*w)->toPlainText(), QString::fromStdString(ProtocolFileToText(file + ProtocolBlock(run))));
    EXPECT_FALSE(Memo(*w)->isReadOnly());
}

TEST_F(ProtocolWindowTest, StoredPlaceAndSizeAreUsedAndWrittenBack)
{
    store.exists = true;
    store.values = {{"LeftP", RegValue::Dword(100)},
                    {"TopP", RegValue::Dword(120)},
                    {"WidthP", RegValue::Dword(400)},
                    {"HeightP", RegValue::Dword(300)}};
    const auto w = MakeWindow();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(w->x(), 100);
    EXPECT_EQ(w->y(), 120);
    EXPECT_EQ(w->width(), 400);
    EXPECT_EQ(w->height(), 300);

    w->move(30, 40);
    w->resize(350, 250);
    w->SaveGeometry();
    EXPECT_EQ(ReadInteger(store, "LeftP"), 30);
    EXPECT_EQ(ReadInteger(store, "TopP"), 40);
    EXPECT_EQ(ReadInteger(store, "WidthP"), 350);
    EXPECT_EQ(ReadInteger(store, "HeightP"), 250);

    // A key that was never there is not read at all.
    store.exists = false;
    const auto fresh = MakeWindow();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(fresh->geometry().topLeft(), QPoint(449, 83));
    EXPECT_EQ(fresh->size(), DesignedSize());
    EXPECT_EQ(fresh->height(), 393);
}

TEST_F(ProtocolWindowTest, OpensShowingAWholeStopLineAndScrollsLongerLinesSideways)
{
    const std::string stop = "STOP: = 52.07,006 (+50.59,120) 1.07,006 \xD8 13.01,751";
    Put(path, "START 1 = 14:05:09 = Tue. 8 Dec 2026\r\n" + kSeparator + "\r\n" + stop + "\r\n\r\n");
    const auto w = MakeWindow();
    ShowLoaded(*w);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QPlainTextEdit* memo = Memo(*w);
    QTextCursor end(memo->document()->findBlockByNumber(2));
    ASSERT_EQ(end.block().text().size(), static_cast<qsizetype>(stop.size()));
    end.movePosition(QTextCursor::EndOfBlock);
    memo->setTextCursor(end);
    EXPECT_EQ(memo->horizontalScrollBar()->value(), 0);
    EXPECT_LE(memo->cursorRect().right(), memo->viewport()->width()) << "the STOP line is cut";
    QCoreApplication::processEvents();
    EXPECT_FALSE(memo->horizontalScrollBar()->isVisible());

    // A line the width does not hold can be scrolled to.
    Put(path, kRunBytes + "Relay, second team: Anna, Ben, Chris, Dora, Emil, Frieda, Gustav, Hanna\r\n");
    w->Toggle();
    ShowLoaded(*w, true);
    QCoreApplication::processEvents();  // the scroll area shows its bars by a posted event
    EXPECT_TRUE(memo->horizontalScrollBar()->isVisible());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_LE(memo->cursorRect().right(), memo->viewport()->width()) << "the caret at the end is in view";
}

TEST_F(ProtocolWindowTest, FirstUnreadablePlaceValueIsReportedAndEndsTheReading)
{
    store.exists = true;
    store.values = {
        {"LeftP", RegValue::Dword(100)}, {"WidthP", RegValue::Dword(400)}, {"HeightP", RegValue::Dword(300)}};
    {
        const auto w = MakeWindow();
        EXPECT_EQ(errors, QStringList{QStringLiteral("Failed to get data for 'TopP'")});
        EXPECT_EQ(w->x(), 100);
        EXPECT_EQ(w->y(), 83);
        EXPECT_EQ(w->size(), DesignedSize());
    }
    errors.clear();
    store.values["TopP"] = RegValue::Dword(120);
    store.values["WidthP"] = RegValue::Text("400");
    const auto w = MakeWindow();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Invalid data type for 'WidthP'")});
    EXPECT_EQ(w->geometry().topLeft(), QPoint(100, 120));
    EXPECT_EQ(w->size(), DesignedSize());
}

TEST_F(ProtocolWindowTest, MissingFileIsReportedAndShowsNothing)
{
    Put(path, kRunBytes);
    const auto w = MakeWindow();
    ShowLoaded(*w);
    w->Toggle();
    ASSERT_TRUE(QFile::remove(path));
    ShowLoaded(*w, true);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path))) << errors[0].toStdString();
    EXPECT_GT(errors[0].size(), QStringLiteral("Cannot open file \"%1\". ").arg(path).size());
    EXPECT_EQ(Memo(*w)->toPlainText(), QString());
    EXPECT_EQ(w->windowTitle(), path);
    w->close();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ProtocolWindowTest, FailedSaveIsReportedAndKeepsTheWindowOpen)
{
    const QString sub = dir.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkdir(sub));
    path = sub + QStringLiteral("/Protocol.txt");
    Put(path, kRunBytes);
    const auto w = MakeWindow();
    ShowLoaded(*w);
    QTest::keyClicks(Memo(*w), "x");
    // The folder turns into a file: nothing can be saved there any more.
    ASSERT_TRUE(QDir(sub).removeRecursively());
    Put(sub, "");

    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QLatin1Char('"') + path + QLatin1Char('"'))) << errors[0].toStdString();
    EXPECT_EQ(Panel(*w, 0), QStringLiteral("E"));
}

TEST_F(ProtocolWindowTest, ActivationIsSignalled)
{
    Put(path, kRunBytes);
    const auto w = MakeWindow();
    QSignalSpy activated(w.get(), &ProtocolWindow::activated);
    QSignalSpy deactivated(w.get(), &ProtocolWindow::deactivated);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_GE(activated.count(), 1);

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_GE(deactivated.count(), 1);
}

// The protocol window as the program has it: attached to the main window,
// whose keys act from the editor too.
class AttachedProtocolWindowTest : public testing::MainWindowFixture {
protected:
    void Open()
    {
        QFile file(ProtocolPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kRunBytes.data(), static_cast<qint64>(kRunBytes.size()));
        file.close();
        Start();
        protocol = std::make_unique<ProtocolWindow>(store, protocolFile, scheduler, nullptr, [this](const QString& e) { errors << e; });
        window->AttachProtocolWindow(protocol.get());
        ShowLoaded(*protocol, true);
        ASSERT_TRUE(QTest::qWaitForWindowActive(protocol.get()));
        memo = protocol->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        ASSERT_NE(memo, nullptr);
        ASSERT_EQ(memo->toPlainText(), kRunText);
    }
    QString Button() const { return Find<TBitBtnWithColor>("cmd_StartStop")->text(); }
    QString Edited() const { return protocol->findChild<QLabel*>(QStringLiteral("StatusPanel0"))->text(); }
    // The run's lines as the file and the window have them: the lap list
    // with the separator above its STOP line, then an empty line.
    QString RunInWindow() const
    {
        QString text;
        const auto* list = Find<QComboBox>("cmb_Zwischenzeit");
        for (int i = 0; i < list->count(); ++i) {
            if (list->itemText(i).startsWith(QStringLiteral("STOP")))
                text += QString::fromStdString(kSeparator) + QLatin1Char('\n');
            text += list->itemText(i) + QLatin1Char('\n');
        }
        return text + QLatin1Char('\n');
    }

    std::unique_ptr<ProtocolWindow> protocol;
    QPlainTextEdit* memo = nullptr;
};

TEST_F(AttachedProtocolWindowTest, EnterStartsAndStopsFromTheEditorAndShiftEnterBreaksTheLine)
{
    Open();
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(Button(), QStringLiteral("STOP"));
    EXPECT_EQ(memo->toPlainText(), kRunText);
    platform.Advance(5'000);
    QTest::keyClick(memo, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Button(), QStringLiteral("RESET"));
    WaitForSaves();
    const QString withRun = kRunText + RunInWindow();
    EXPECT_TRUE(withRun.contains(QStringLiteral("STOP: =  5,000\n"))) << withRun.toStdString();
    EXPECT_EQ(memo->toPlainText(), withRun) << "the run came in, no line break";
    EXPECT_EQ(Edited(), QString());
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(Button(), QStringLiteral("START"));

    QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(memo, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
    QTest::keyClicks(memo, "ok");
    EXPECT_EQ(Button(), QStringLiteral("START"));
    EXPECT_EQ(memo->toPlainText(), withRun + QStringLiteral("\n\nok"));
    EXPECT_EQ(Edited(), QStringLiteral("E"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();

    // The status bar tells how to break a line.
    const auto* hint = protocol->findChild<QLabel*>(QStringLiteral("StatusKeys"));
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains(QStringLiteral("Shift+Enter"))) << hint->text().toStdString();
    EXPECT_TRUE(hint->text().contains(QStringLiteral("F8"))) << "the lap key that no window manager takes";
}

TEST_F(AttachedProtocolWindowTest, TheLapKeyNeverTypesIntoTheEditor)
{
    Open();
    QTest::keyClick(memo, Qt::Key_Space, Qt::AltModifier);  // no run: the lap does nothing
    EXPECT_EQ(memo->toPlainText(), kRunText);
    EXPECT_EQ(Edited(), QString());

    QTest::keyClick(memo, Qt::Key_Return);
    platform.Advance(1'500);
    QTest::keyClick(memo, Qt::Key_Space, Qt::AltModifier);
    EXPECT_EQ(Find<QComboBox>("cmb_Zwischenzeit")->count(), 2) << "START and the lap";
    EXPECT_EQ(memo->toPlainText(), kRunText);

    QTest::keyClick(memo, Qt::Key_Space);  // a plain space is text here
    EXPECT_EQ(memo->toPlainText(), kRunText + QLatin1Char(' '));
}

TEST_F(AttachedProtocolWindowTest, AnEditSavedBetweenRunsKeepsEveryBlockWholeAndOnce)
{
    Open();
    // Run 2 with a lap, timed from the editor: it appears in the window.
    QTest::keyClick(memo, Qt::Key_Return);
    platform.Advance(1'000);
    QTest::keyClick(memo, Qt::Key_F8);
    platform.Advance(1'000);
    QTest::keyClick(memo, Qt::Key_Return);
    WaitForSaves();
    QTest::keyClick(memo, Qt::Key_Return);
    ASSERT_EQ(Button(), QStringLiteral("START"));
    const std::string afterRun2 = Bytes(ProtocolPath());
    const std::string run2 = afterRun2.substr(kRunBytes.size());
    ASSERT_TRUE(run2.starts_with("START ")) << run2;
    ASSERT_TRUE(run2.ends_with("\r\n\r\n")) << run2;
    EXPECT_EQ(memo->toPlainText(), QString::fromStdString(ProtocolFileToText(afterRun2)));

    // A name added to the first run's second line, saved by Esc.
    QTest::keyClick(memo, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Down);
    QTest::keyClick(memo, Qt::Key_End);
    QTest::keyClicks(memo, " Anna");
    QTest::keyClick(memo, Qt::Key_Escape);
    ASSERT_FALSE(protocol->isVisible());
    std::string expected = kRunBytes;
    expected.insert(expected.find("\r\nLAP 2"), " Anna");
    EXPECT_EQ(Bytes(ProtocolPath()), expected + run2);

    // Run 3 with the window closed follows after run 2's empty line.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Return);
    platform.Advance(1'000);
    QTest::keyClick(window.get(), Qt::Key_Return);
    WaitForSaves();
    const std::string all = Bytes(ProtocolPath());
    ASSERT_TRUE(all.starts_with(expected + run2)) << all;
    const std::string run3 = all.substr(expected.size() + run2.size());
    EXPECT_TRUE(run3.starts_with("START ")) << run3;
    EXPECT_TRUE(run3.ends_with("\r\n\r\n")) << run3;
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace chronivel
