#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <string>

#include "core/chronometer.h"
#include "core/settings.h"
#include "core/settingsstore.h"

class QWidget;

namespace chronivel {

// Keeps the settings on disk as they are in the program, so that a crash or
// a kill loses nothing: a run that starts, stops or resets is saved at once,
// other changes shortly after, and everything once more at exit.
class SettingsKeeper final : public QObject {
    Q_OBJECT
public:
    static constexpr int SaveDelayMs = 500;

    SettingsKeeper(SettingsStore& store, Chronometer& clock, THighResTimer& timer, QWidget& window,
                   std::string bootId);

    // Reads the settings and gives the chronometer its own; the window takes
    // the rest from Kept(). Returns what went wrong while reading, for the
    // user; empty when nothing did. Nothing is saved until Resume.
    QString Load(const std::string& defaultProtocolPath);
    // Whether there were settings to load: a first start keeps the built-in looks.
    bool StoreExisted() const { return existed_; }
    // The end of start-up: resumes a run that was going at the last exit.
    void Resume();

    // The settings that live outside the chronometer, as loaded or changed since.
    const Settings& Kept() const { return kept_; }
    Settings& Kept() { return kept_; }

    // After every command of the chronometer.
    void ControlsChanged();
    // Writes everything now. A failure is reported once until a save succeeds again.
    void Save();

    std::function<void(const QString&)> reportError;
    // Other windows' values in the same key, written with every save so that
    // the key never exists without them.
    std::function<void()> saveOthers;

private:
    Settings Snapshot();
    void Write(const Settings& now);

    SettingsStore& store_;
    Chronometer& clock_;
    THighResTimer& timer_;
    QWidget& window_;
    const std::string bootId_;
    Settings kept_;
    Settings saved_;
    std::int64_t wallClockOf_ = 0;  // the start count whose wall-clock start is `wallClockStart_`
    std::int64_t wallClockStart_ = 0;
    bool failureReported_ = false;
    bool existed_ = false;
    bool loading_ = false;
    QTimer delayedSave_;
};

// Today's date as the user's locale writes it short, and the time of day.
LoadMoment CurrentMoment();

}  // namespace chronivel
