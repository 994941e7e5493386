#include "ui/protocolwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QtMath>

#include <stdexcept>
#include <string_view>

#include "core/protocol.h"
#include "core/protocolcsv.h"
#include "core/settingsstore.h"
#include "platform/protocolfile.h"

namespace chronivel {

namespace {

// Where the window stands until the user has moved it; its width follows
// the editor's font.
constexpr int kDesignedLeft = 449;
constexpr int kDesignedTop = 83;
constexpr int kDesignedHeight = 393;
// The widest line of a run under an hour: the window opens showing it whole.
constexpr const char* kWidestUsualLine = "STOP: = 59.59,999 (+59.59,999) 59.59,999 \u00D8 59.59,999";

QFont MemoFont()
{
    const QString courier = QStringLiteral("Courier New");
    if (QFontDatabase::families().contains(courier)) return QFont(courier, 10);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    return font;
}

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
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

ProtocolWindow::ProtocolWindow(SettingsStore& settings, QWidget* parent, ErrorReporter reporter)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      reportError(std::move(reporter)),
      settings_(settings),
      memo_(new QPlainTextEdit(this)),
      statusBar_(new QStatusBar(this)),
      editedPanel_(new QLabel(statusBar_)),
      caretPanel_(new QLabel(statusBar_)),
      exportButton_(new QPushButton(tr("Export CSV\u2026"), statusBar_)),
      keysHint_(new QLabel(tr("Shift+Enter: new line"), statusBar_))
{
    setAttribute(Qt::WA_QuitOnClose, false);  // closing the chronometer ends the program, open or not
    if (!reportError) {
        reportError = [this](const QString& message) {
            QMessageBox::critical(isVisible() ? this : nullptr, QCoreApplication::applicationName(), message);
        };
    }
    setObjectName(QStringLiteral("TFormProtocol"));
    memo_->setObjectName(QStringLiteral("Memo1"));
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    editedPanel_->setObjectName(QStringLiteral("StatusPanel0"));
    caretPanel_->setObjectName(QStringLiteral("StatusPanel1"));
    exportButton_->setObjectName(QStringLiteral("bExportCsv"));
    keysHint_->setObjectName(QStringLiteral("StatusKeys"));
    keysHint_->setToolTip(tr("Enter starts and stops the chronometer here; Shift+Enter breaks the line."));

    memo_->setFont(MemoFont());
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setTabChangesFocus(false);  // a tab is text here
    memo_->installEventFilter(this);
    memo_->viewport()->installEventFilter(this);  // mouse clicks land on the viewport

    editedPanel_->setFixedWidth(20);
    editedPanel_->setAlignment(Qt::AlignCenter);
    caretPanel_->setFixedWidth(50);
    exportButton_->setFocusPolicy(Qt::NoFocus);  // keys stay with the text
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

    connect(memo_, &QPlainTextEdit::cursorPositionChanged, this, &ProtocolWindow::UpdateStatus);
    connect(memo_, &QPlainTextEdit::undoAvailable, this, &ProtocolWindow::UpdateStatus);

    move(kDesignedLeft, kDesignedTop);
    resize(DesignedWidth(), kDesignedHeight);
    if (settings.Exists()) ReadGeometry(settings);
    UpdateStatus();
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
        const int left = ReadInteger(settings, "LeftP");
        move(left, y());
        const int top = ReadInteger(settings, "TopP");
        move(x(), top);
        const int width = ReadInteger(settings, "WidthP");
        resize(width, height());
        const int height = ReadInteger(settings, "HeightP");
        resize(this->width(), height);
    } catch (const SettingsError& e) {
        reportError(FromUtf8(e.what()));
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
    if (isVisible()) {
        hide();
        return;
    }
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
    if (watched == memo_ && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress))
        return FilterEditorKey(*static_cast<QKeyEvent*>(event));
    if (watched == memo_ && event->type() == QEvent::KeyRelease) {
        UpdateStatus();
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) close();
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
    if (enter && modifiers == Qt::ShiftModifier) {
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
    setWindowTitle(path_);
    try {
        memo_->setPlainText(FromUtf8(ProtocolFileToText(ReadProtocol(path_.toStdString()))));
    } catch (const std::runtime_error& e) {
        memo_->clear();  // nothing old to be saved over the file by mistake
        reportError(FromUtf8(e.what()));
    }
    memo_->document()->clearUndoRedoStacks();
    ScrollToEnd();
}

bool ProtocolWindow::SaveEdits()
{
    if (!memo_->document()->isUndoAvailable()) return true;
    try {
        ReplaceProtocol(path_.toStdString(), ProtocolTextToFile(memo_->toPlainText().toStdString()));
    } catch (const std::runtime_error& e) {
        reportError(FromUtf8(e.what()));
        return false;
    }
    memo_->document()->clearUndoRedoStacks();
    UpdateStatus();
    return true;
}

void ProtocolWindow::AppendRun(const std::vector<std::string>& lines)
{
    if (!isVisible()) return;  // the file has the run; showing reads it
    QTextDocument* document = memo_->document();
    // The run is no edit of the user's: with none pending it must not make
    // the text count as edited, which would save it on closing.
    const bool edited = document->isUndoAvailable();
    if (!edited) document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    AddLine(QString());
    for (const std::string& line : lines) {
        if (IsStopLine(line))
            AddLine(QString::fromUtf8(kProtocolSeparator.data(), static_cast<qsizetype>(kProtocolSeparator.size())));
        AddLine(FromUtf8(line));
    }
    cursor.endEditBlock();
    if (!edited) document->setUndoRedoEnabled(true);
    ScrollToEnd();
}

void ProtocolWindow::AddLine(const QString& line)
{
    // Like adding to a list of lines: a text that ends in a line break gets
    // the line and a break, one that ends in a line gets a break and the line.
    QTextCursor cursor(memo_->document());
    cursor.movePosition(QTextCursor::End);
    const bool endsWithBreak = memo_->document()->lastBlock().text().isEmpty();
    cursor.insertText(endsWithBreak ? line + QLatin1Char('\n') : QLatin1Char('\n') + line);
}

void ProtocolWindow::ScrollToEnd()
{
    memo_->moveCursor(QTextCursor::End);
    memo_->ensureCursorVisible();
    UpdateStatus();
}

void ProtocolWindow::UpdateStatus()
{
    editedPanel_->setText(memo_->document()->isUndoAvailable() ? QStringLiteral("E") : QString());
    const QTextCursor caret = memo_->textCursor();
    caretPanel_->setText(QStringLiteral("%1:%2").arg(caret.positionInBlock() + 1).arg(caret.blockNumber() + 1));
}

void ProtocolWindow::ChooseCsvTarget()
{
    const QFileInfo protocol(path_);
    const QString suggested =
        protocol.absolutePath() + QLatin1Char('/') + protocol.completeBaseName() + QStringLiteral(".csv");
    const QString target =
        QFileDialog::getSaveFileName(this, tr("Export CSV"), suggested, tr("CSV files (*.csv);;All files (*)"));
    if (!target.isEmpty()) ExportCsv(target);
}

bool ProtocolWindow::ExportCsv(const QString& target)
{
    std::string text;
    try {
        text = ProtocolFileToText(ReadProtocol(path_.toStdString()));
    } catch (const std::runtime_error& e) {
        reportError(FromUtf8(e.what()));
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
