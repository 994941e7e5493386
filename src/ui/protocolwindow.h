// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/appview.h"

class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;

namespace chronivel {

class ProtocolLog;
class Scheduler;
class SettingsStore;

// The protocol file to read and edit: a plain editor over the whole file.
// Closing the window saves what was edited; hiding it (Toggle) does not.
// Enter and the lap key stay the chronometer's here: a new line is Shift+Enter.
// The file is read off the user-interface thread and shown piece by piece,
// so that a long protocol never holds up the chronometer's keys; the editor
// is read-only until the whole file is in.
class ProtocolWindow final : public QWidget, public AppView {
    Q_OBJECT
public:
    using ErrorReporter = std::function<void(const QString&)>;

    // Places the window where the settings say, if they say anything; the
    // first value that cannot be read is reported and ends the reading. The
    // file is read and replaced through `file`, read aside by `scheduler`.
    ProtocolWindow(SettingsStore& settings, ProtocolLog& file, Scheduler& scheduler, QWidget* parent = nullptr,
                   ErrorReporter reporter = {});
    // A read under way ends first: it reads through `file`.
    ~ProtocolWindow() override;

    // Where the protocol file is, asked each time the window reads it: the
    // user may choose another file while the program runs.
    void SetPathSource(std::function<QString()> source)
    {
        pathSource_ = std::move(source);
        path_ = pathSource_();
    }
    // The file the window shows, or showed last.
    QString Path() const { return path_; }

    // Shows the window, reading the file afresh, or hides it without saving.
    void Toggle();

    // Writes the window's place and size; the caller flushes the store.
    void SaveGeometry();

    // As a view of the model: a run is in the file, and the open window
    // shows what the file gained at its end, as the file has it, and scrolls
    // to it. The values of its own go with every save.
    void RunRecorded(const std::vector<std::string>& run) override;
    void SaveOwnValues() override { SaveGeometry(); }
    // Another protocol file was chosen: an open window shows it at once,
    // after saving its edits to the file they were made in.
    void Changed() override;

    // Writes the protocol file's runs to `target` as CSV; false after an error was reported.
    bool ExportCsv(const QString& target);

    // Tells the user of an error; a critical message box unless replaced.
    ErrorReporter reportError;

signals:
    // While the window is active the main window's keys must keep off
    // (Ctrl+C copies text here).
    void activated();
    void deactivated();
    // The whole file is in the editor, which takes edits from now on.
    void loaded();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct FileRead;
    void LoadFile();
    // Gives the editor a new, empty text to read the file into.
    void StartAfresh();
    void StopLoading();
    void TakeFile(FileRead& read);
    void ShowNextPiece();
    void CatchUp();
    void AddText(const QString& text);
    // Whether the text holds edits not saved yet.
    bool Edited() const;
    bool SaveEdits();
    // The editor's text, UTF-8, its lines ended by LF.
    std::string EditedText() const;
    void ScrollToEnd();
    void UpdateStatus();
    // The caret's place, counted from 1: not "40:47", which reads as a time.
    static QString CaretText(int line, int column);
    void ChooseCsvTarget();
    void ReadGeometry(SettingsStore& settings);
    int DesignedWidth() const;
    // The editor's share of the chronometer's keys; true when the key is dealt with.
    bool FilterEditorKey(QKeyEvent& key);

    SettingsStore& settings_;
    ProtocolLog& file_;
    Scheduler& scheduler_;
    std::function<QString()> pathSource_;
    QString path_;
    QPlainTextEdit* memo_;
    QStatusBar* statusBar_;
    QLabel* editedPanel_;
    QLabel* caretPanel_;
    QPushButton* exportButton_;
    QLabel* keysHint_;

    // The bytes of the file that the editor's text stands for, edits aside:
    // as it was read, with what it gained at its end while the window was open.
    std::string fileBytes_;
    int readNumber_ = 0;  // a read that was superseded is dropped
    QString unshown_;     // the text still to be put into the editor
    qsizetype shownUpTo_ = 0;
    QTimer* feeder_;
    bool loaded_ = false;
    bool editedBeforeRun_ = false;  // edits that an added run put beyond undoing
    bool escapePressed_ = false;    // in the editor, since its last release
};

}  // namespace chronivel
