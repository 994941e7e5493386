#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "core/appview.h"

class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace chronivel {

class SettingsStore;

// The protocol file to read and edit: a plain editor over the whole file.
// Closing the window saves what was edited; hiding it (Toggle) does not.
// Enter and the lap key stay the chronometer's here: a new line is Shift+Enter.
class ProtocolWindow final : public QWidget, public AppView {
    Q_OBJECT
public:
    using ErrorReporter = std::function<void(const QString&)>;

    // Places the window where the settings say, if they say anything; the
    // first value that cannot be read is reported and ends the reading.
    explicit ProtocolWindow(SettingsStore& settings, QWidget* parent = nullptr, ErrorReporter reporter = {});

    void SetPath(const QString& path) { path_ = path; }
    QString Path() const { return path_; }

    // Shows the window, reading the file afresh, or hides it without saving.
    void Toggle();

    // Called once a run's block is in the file: the open window shows the
    // run too, after an empty line, and scrolls to it.
    void AppendRun(const std::vector<std::string>& lines);

    // Writes the window's place and size; the caller flushes the store.
    void SaveGeometry();

    // As a view of the model: the runs it records, its values with every save.
    void RunRecorded(const std::vector<std::string>& run) override { AppendRun(run); }
    void SaveOwnValues() override { SaveGeometry(); }

    // Writes the protocol file's runs to `target` as CSV; false after an error was reported.
    bool ExportCsv(const QString& target);

    // Tells the user of an error; a critical message box unless replaced.
    ErrorReporter reportError;

signals:
    // While the window is active the main window's keys must keep off
    // (Ctrl+C copies text here).
    void activated();
    void deactivated();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadFile();
    bool SaveEdits();
    void AddLine(const QString& line);
    void ScrollToEnd();
    void UpdateStatus();
    void ChooseCsvTarget();
    void ReadGeometry(SettingsStore& settings);
    int DesignedWidth() const;
    // The editor's share of the chronometer's keys; true when the key is dealt with.
    bool FilterEditorKey(QKeyEvent& key);

    SettingsStore& settings_;
    QString path_;
    QPlainTextEdit* memo_;
    QStatusBar* statusBar_;
    QLabel* editedPanel_;
    QLabel* caretPanel_;
    QPushButton* exportButton_;
    QLabel* keysHint_;
};

}  // namespace chronivel
