// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/protocolwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "core/protocol.h"
#include "core/protocolcsv.h"
#include "core/protocollog.h"
#include "core/scheduler.h"
#include "core/settingsstore.h"
#include "ui/abovemainwindow.h"
#include "ui/messagebox.h"

namespace chronivel {

namespace {

// Where the window stands until the user has moved it; its width follows
// the editor's font.
constexpr int kDesignedLeft = 449;
constexpr int kDesignedTop = 83;
constexpr int kDesignedHeight = 393;
// The widest line of a run under an hour: the window opens showing it whole.
constexpr const char* kWidestUsualLine = "STOP: = 59.59,999 (+59.59,999) 59.59,999 \u00D8 59.59,999";
// How much text goes into the editor at a time while a file is shown: a few
// milliseconds of work, so that keys pressed meanwhile are handled at once.
constexpr qsizetype kPieceLength = 64 * 1024;
// How much of the file's end the window compares before it shows what was
// appended: enough to tell its own protocol from a file replaced meanwhile.
constexpr qint64 kKnownEndLength = 4096;

QFont MemoFont()
{
    const QString courier = QStringLiteral("Courier New");
    if (QFontDatabase::families().contains(courier)) return QFont(courier, 10);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    return font;
}

// A START line's date as the locale wrote it, in ISO 8601: the program's
// locale is the one that wrote its own runs.
std::string IsoDate(std::string_view shortDate)
{
    const QLocale locale;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QDate date = locale.toDate(QString::fromUtf8(shortDate.data(), static_cast<qsizetype>(shortDate.size())), format);
    // A two-digit year reads as 19xx; no run was timed before 2000.
    if (date.isValid() && !format.contains(QStringLiteral("yyyy")) && date.year() < 2000) date = date.addYears(100);
    return date.isValid() ? date.toString(Qt::ISODate).toStdString() : std::string();
}

}  // namespace

// What the reading aside hands over.
struct ProtocolWindow::FileRead {
    std::string bytes;
    QString text;
    std::string error;
};

ProtocolWindow::ProtocolWindow(SettingsStore& settings, ProtocolLog& file, Scheduler& scheduler, QWidget* parent,
                               ErrorReporter reporter)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      reportError(std::move(reporter)),
      settings_(settings),
      file_(file),
      scheduler_(scheduler),
      memo_(new QPlainTextEdit(this)),
      statusBar_(new QStatusBar(this)),
      editedPanel_(new QLabel(statusBar_)),
      caretPanel_(new QLabel(statusBar_)),
      exportButton_(new QPushButton(tr("&Export CSV\u2026"), statusBar_)),
      keysHint_(new QLabel(tr("F8: lap \u00B7 Shift+Enter: new line"), statusBar_)),
      feeder_(new QTimer(this))
{
    setAttribute(Qt::WA_QuitOnClose, false);  // closing the chronometer ends the program, open or not
    KeepAboveMainWindow(*this);
    if (!reportError) {
        reportError = [this](const QString& message) {
            ShowMessage(isVisible() ? this : nullptr, QMessageBox::Critical, message);
        };
    }
    setObjectName(QStringLiteral("TFormProtocol"));
    memo_->setObjectName(QStringLiteral("Memo1"));
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    editedPanel_->setObjectName(QStringLiteral("StatusPanel0"));
    caretPanel_->setObjectName(QStringLiteral("StatusPanel1"));
    exportButton_->setObjectName(QStringLiteral("bExportCsv"));
    keysHint_->setObjectName(QStringLiteral("StatusKeys"));
    keysHint_->setToolTip(tr("Enter starts and stops the chronometer here and F8 takes a lap; Shift+Enter breaks the line."));

    memo_->setFont(MemoFont());
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setTabChangesFocus(false);  // a tab is text here
    memo_->installEventFilter(this);
    memo_->viewport()->installEventFilter(this);  // mouse clicks land on the viewport

    editedPanel_->setFixedWidth(20);
    editedPanel_->setAlignment(Qt::AlignCenter);
    // Room for the caret's place in a long protocol, so that the panel keeps its width as the caret moves.
    caretPanel_->setFixedWidth(caretPanel_->fontMetrics().horizontalAdvance(CaretText(99999, 999)) + 4);
    // Keys stay with the text, where Tab is a tab: Alt+E presses it.
    exportButton_->setFocusPolicy(Qt::NoFocus);
    statusBar_->addWidget(exportButton_);
    statusBar_->addWidget(keysHint_);
    statusBar_->addPermanentWidget(editedPanel_);
    statusBar_->addPermanentWidget(caretPanel_);
    connect(exportButton_, &QPushButton::clicked, this, &ProtocolWindow::ChooseCsvTarget);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(memo_, 1);
    layout->addWidget(statusBar_);

    feeder_->setInterval(0);  // the next piece as soon as waiting events are handled
    connect(feeder_, &QTimer::timeout, this, &ProtocolWindow::ShowNextPiece);
    connect(memo_, &QPlainTextEdit::cursorPositionChanged, this, &ProtocolWindow::UpdateStatus);
    connect(memo_, &QPlainTextEdit::undoAvailable, this, &ProtocolWindow::UpdateStatus);

    move(kDesignedLeft, kDesignedTop);
    resize(DesignedWidth(), kDesignedHeight);
    if (settings.Exists()) ReadGeometry(settings);
    UpdateStatus();
}

ProtocolWindow::~ProtocolWindow()
{
    StopLoading();
    scheduler_.FinishAside();
}

QString ProtocolWindow::CaretText(int line, int column)
{
    return tr("Ln %1, Col %2").arg(line).arg(column);
}

int ProtocolWindow::DesignedWidth() const
{
    const int line = memo_->fontMetrics().horizontalAdvance(QString::fromUtf8(kWidestUsualLine));
    // The text's margins on both sides, the caret after the last character,
    // the editor's frame and its vertical scroll bar.
    const int margins = 2 * qCeil(memo_->document()->documentMargin()) + memo_->cursorWidth();
    const int frame = 2 * memo_->frameWidth();
    const int scrollBar = memo_->verticalScrollBar()->sizeHint().width();
    return line + margins + frame + scrollBar;
}

void ProtocolWindow::ReadGeometry(SettingsStore& settings)
{
    // Each value counts as soon as it is read; after a bad one the rest
    // keep their designed values.
    try {
        move(ReadInteger(settings, "LeftP"), y());
        move(x(), ReadInteger(settings, "TopP"));
        resize(ReadInteger(settings, "WidthP"), height());
        resize(width(), ReadInteger(settings, "HeightP"));
    } catch (const SettingsError& e) {
        reportError(QString::fromUtf8(e.what()));
    }
}

void ProtocolWindow::SaveGeometry()
{
    WriteInteger(settings_, "LeftP", x());
    WriteInteger(settings_, "TopP", y());
    WriteInteger(settings_, "WidthP", width());
    WriteInteger(settings_, "HeightP", height());
}

void ProtocolWindow::Toggle()
{
    if (isVisible()) return hide();
    show();
    raise();
    activateWindow();
}

void ProtocolWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window coming back from the task bar keeps what is being edited.
    if (!event->spontaneous()) LoadFile();
}

void ProtocolWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Showing reads the file afresh; one going to the task bar keeps its reading.
    if (!event->spontaneous()) StopLoading();
}

void ProtocolWindow::closeEvent(QCloseEvent* event)
{
    // A hidden window's edits were put away by Toggle, not meant to be kept.
    if (isVisible() && !SaveEdits()) {
        event->ignore();  // stays open, so the edits are not lost
        return;
    }
    QWidget::closeEvent(event);
}

void ProtocolWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) isActiveWindow() ? emit activated() : emit deactivated();
}

bool ProtocolWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == memo_ && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        // Only an Esc pressed here closes the window: the release of one
        // that closed a dialog in front of it does not.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) escapePressed_ = true;
        return FilterEditorKey(*static_cast<QKeyEvent*>(event));
    }
    if (watched == memo_ && event->type() == QEvent::KeyRelease) {
        UpdateStatus();
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && std::exchange(escapePressed_, false)) close();
    } else if (watched == memo_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        UpdateStatus();
    }
    return QWidget::eventFilter(watched, event);
}

bool ProtocolWindow::FilterEditorKey(QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const bool lapKey = key.key() == Qt::Key_Space && modifiers == Qt::AltModifier;
    if (key.type() == QEvent::ShortcutOverride) {
        // The editor claims a plain Enter for a line break; leaving it
        // unclaimed lets the chronometer's start/stop key act from here.
        if (!enter || modifiers != Qt::NoModifier) return false;
        key.ignore();
        return true;
    }
    if (enter && modifiers == Qt::ShiftModifier && !memo_->isReadOnly()) {
        // The editor itself would break the line within its paragraph; a
        // new line is what the file and the caret panel count.
        memo_->insertPlainText(QStringLiteral("\n"));
        memo_->ensureCursorVisible();
        return true;
    }
    // An Enter or lap key that reaches the editor found its command disabled:
    // it then does nothing, and types nothing either.
    return enter || lapKey;
}

void ProtocolWindow::LoadFile()
{
    if (pathSource_) path_ = pathSource_();
    setWindowTitle(path_);
    StopLoading();
    loaded_ = false;
    editedBeforeRun_ = false;
    fileBytes_.clear();
    memo_->setReadOnly(true);
    StartAfresh();
    memo_->document()->setUndoRedoEnabled(false);  // what is read is no edit
    auto read = std::make_shared<FileRead>();
    scheduler_.Aside(
        [read, &file = file_, path = path_.toStdString()] {
            try {
                read->bytes = file.Read(path);
                read->text = QString::fromStdString(ProtocolFileToText(read->bytes));
            } catch (const std::runtime_error& e) {
                read->error = e.what();
            }
        },
        [window = QPointer(this), read, number = ++readNumber_] {
            if (window && number == window->readNumber_) window->TakeFile(*read);
        });
}

void ProtocolWindow::StartAfresh()
{
    auto* fresh = new QTextDocument(memo_);
    fresh->setDocumentLayout(new QPlainTextDocumentLayout(fresh));
    fresh->setDefaultFont(memo_->font());
    QTextDocument* old = memo_->document();
    // The editor's first, empty text is its own to delete; a text of ours
    // is taken apart aside, which for a long one takes as long as putting
    // it together did.
    const bool ours = old->parent() == memo_;
    if (ours) old->setParent(nullptr);
    memo_->setDocument(fresh);
    if (!ours) return;
    old->moveToThread(nullptr);  // no thread's events reach it any more
    scheduler_.Aside([old] { delete old; }, [] {});
}

void ProtocolWindow::StopLoading()
{
    ++readNumber_;
    feeder_->stop();
    unshown_.clear();
}

void ProtocolWindow::TakeFile(FileRead& read)
{
    if (!read.error.empty()) {
        // The editor stays empty and read-only: nothing typed there may replace a file not read.
        reportError(QString::fromStdString(read.error));
        emit loaded();
        return;
    }
    fileBytes_ = std::move(read.bytes);
    unshown_ = std::move(read.text);
    shownUpTo_ = 0;
    ShowNextPiece();
    if (!unshown_.isEmpty()) feeder_->start();
}

void ProtocolWindow::ShowNextPiece()
{
    QTextCursor end(memo_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(unshown_.mid(shownUpTo_, kPieceLength));
    shownUpTo_ += kPieceLength;
    if (shownUpTo_ < unshown_.size()) return;

    feeder_->stop();
    unshown_.clear();
    memo_->document()->setUndoRedoEnabled(true);
    memo_->setReadOnly(false);
    loaded_ = true;
    CatchUp();  // runs written while the file was being read
    ScrollToEnd();
    emit loaded();
}

void ProtocolWindow::RunRecorded(const std::vector<std::string>&)
{
    // The file is the record: the window shows what it gained, however the
    // run's block was written.
    CatchUp();
}

void ProtocolWindow::Changed()
{
    if (!isVisible() || !pathSource_ || pathSource_() == path_) return;
    // A failed save was told; the window stays on its file, so the edits are not lost.
    if (SaveEdits()) LoadFile();
}

void ProtocolWindow::CatchUp()
{
    if (!loaded_ || !isVisible()) return;  // the file has the run; showing reads it
    // Only the end is read: what the window knows of the file's last bytes,
    // to see that it still ends so, and what it gained after them.
    QFile file(path_);
    const auto known = static_cast<qint64>(fileBytes_.size());
    if (!file.open(QIODevice::ReadOnly) || file.size() <= known) return;  // a save, or the next showing, reports it
    const auto overlap = static_cast<std::size_t>(std::min<qint64>(known, kKnownEndLength));
    if (!file.seek(known - static_cast<qint64>(overlap))) return;
    const QByteArray read = file.readAll();
    const std::string_view end(read.constData(), static_cast<std::size_t>(read.size()));
    // A file that another program changed is not added to: saving edits replaces it.
    if (end.size() <= overlap || !std::string_view(fileBytes_).ends_with(end.substr(0, overlap))) return;
    std::string_view gained = end.substr(overlap);
    // A file cut between CR and LF gets its LF before the run: one line end, shown already.
    const bool lineEndCompleted = fileBytes_.ends_with('\r') && gained.starts_with('\n');
    fileBytes_ += gained;
    AddText(QString::fromStdString(ProtocolFileToText(lineEndCompleted ? gained.substr(1) : gained)));
    ScrollToEnd();
}

void ProtocolWindow::AddText(const QString& text)
{
    QTextDocument* document = memo_->document();
    // What the file gained is no edit of the user's, and no undo may take it
    // back out of the text that is saved: edits made before it can no longer
    // be undone, but they are still to be saved.
    const bool edited = Edited();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    // A last line left unended, by the user or in the file (whose run then
    // came with the line end first), gets its end: the run's lines start lines.
    const bool startsLine = document->lastBlock().text().isEmpty() || text.startsWith(QLatin1Char('\n'));
    cursor.insertText(startsLine ? text : QLatin1Char('\n') + text);
    document->setUndoRedoEnabled(true);
    editedBeforeRun_ = edited;
}

bool ProtocolWindow::Edited() const
{
    return memo_->document()->isUndoAvailable() || editedBeforeRun_;
}

bool ProtocolWindow::SaveEdits()
{
    if (!Edited()) return true;
    CatchUp();  // a run the window has not shown yet is saved, not dropped
    try {
        std::string bytes = EditedProtocol(fileBytes_, EditedText());
        file_.Replace(path_.toStdString(), bytes);
        fileBytes_ = std::move(bytes);
    } catch (const std::runtime_error& e) {
        reportError(QString::fromUtf8(e.what()));
        return false;
    }
    memo_->document()->clearUndoRedoStacks();
    editedBeforeRun_ = false;
    UpdateStatus();
    return true;
}

std::string ProtocolWindow::EditedText() const
{
    // The raw text: the plain one turns no-break spaces into spaces. Its
    // lines are parted by paragraph separators, as the editor holds them.
    QString text = memo_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text.toStdString();
}

void ProtocolWindow::ScrollToEnd()
{
    memo_->moveCursor(QTextCursor::End);
    memo_->ensureCursorVisible();
    UpdateStatus();
}

void ProtocolWindow::UpdateStatus()
{
    editedPanel_->setText(Edited() ? QStringLiteral("E") : QString());
    const QTextCursor caret = memo_->textCursor();
    caretPanel_->setText(CaretText(caret.blockNumber() + 1, caret.positionInBlock() + 1));
}

void ProtocolWindow::ChooseCsvTarget()
{
    const QFileInfo protocol(path_);
    const QString suggested =
        protocol.absolutePath() + QLatin1Char('/') + protocol.completeBaseName() + QStringLiteral(".csv");
    QFileDialog dialog(this, tr("Export CSV"), suggested, tr("CSV files (*.csv);;All files (*)"));
    dialog.setObjectName(QStringLiteral("ExportCsvDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    KeepAboveMainWindow(dialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) ExportCsv(dialog.selectedFiles().constFirst());
}

bool ProtocolWindow::ExportCsv(const QString& target)
{
    std::string text;
    try {
        text = ProtocolFileToText(file_.Read(path_.toStdString()));
    } catch (const std::runtime_error& e) {
        reportError(QString::fromUtf8(e.what()));
        return false;
    }
    const std::string csv = ProtocolCsv(text, IsoDate);
    QSaveFile file(target);
    const auto size = static_cast<qint64>(csv.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(csv.data(), size) != size || !file.commit()) {
        reportError(tr("Cannot save file \"%1\". %2").arg(QDir::toNativeSeparators(target), file.errorString()));
        return false;
    }
    return true;
}

}  // namespace chronivel
