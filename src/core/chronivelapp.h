// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "core/alarmclock.h"
#include "core/appview.h"
#include "core/barrierpipeline.h"
#include "core/chronometer.h"
#include "core/command.h"
#include "core/configuration.h"
#include "core/hotkeys.h"
#include "core/monitorchoice.h"
#include "core/notices.h"
#include "core/protocollog.h"
#include "core/savepipeline.h"
#include "core/scheduler.h"
#include "core/settings.h"
#include "core/settingsstore.h"
#include "core/windowlayout.h"

namespace chronivel {

// The program's state in one place: the chronometer, the light barriers
// that drive it, the one copy of the settings, and when they are written
// (SavePipeline). Windows are views of it: they show what it holds, hand it
// the user's commands and are told what changed.
class ChronivelApp final : private ChronometerObserver, private SavePipeline::Model {
public:
    ChronivelApp(THighResTimer& timer, const LocaleTexts& locale, SettingsStore& store, Scheduler& scheduler,
                 ProtocolLog& protocol, SerialPorts& ports, std::string bootId);
    ~ChronivelApp() override;

    void AddView(AppView& view) { views_.push_back(&view); }
    void RemoveView(AppView& view) { std::erase(views_, &view); }

    // Reads the settings and gives the chronometer its own; times come from the system counter, written with
    // `digitCount` places (the /D switch). Returns what went wrong while reading, for the user; empty when
    // nothing did. Nothing is saved until Resume.
    std::string Load(const std::string& defaultProtocolPath, int digitCount = 9);
    // The end of start-up: opens the barriers' port chosen last and resumes a
    // run that was going at the last exit, with its barriers.
    void Resume();
    // Writes everything, starting now. A failure is reported once until a save succeeds again.
    void Save() { saves_.Save(); }
    // When the settings are written and the runs recorded: whether there were
    // settings to load, finished runs the protocol file could not take yet.
    const SavePipeline& Saves() const { return saves_; }
    // The program ends: everything is written, before this returns, and the barriers' port let go.
    void Shutdown();

    // Changed only by commands (Perform) and by the windows' timers for it.
    const Chronometer& Clock() const { return clock_; }
    void DisplayTick() { clock_.DisplayTick(); }
    void LockExpired() { clock_.LockExpired(); }
    // The settings as loaded and changed since; windows read them, and change them through the model.
    const Settings& Kept() const { return kept_; }

    // A command of the table: done here, or handed to the windows when it is
    // theirs (opening a window, hiding one). A disabled command does nothing.
    // `at` is the counter reading at which the user gave it (the key's or
    // button's own stamp), where that is known; the timing commands count from it.
    void Perform(Command command, std::optional<std::int64_t> at = std::nullopt);
    // While a command is carried out: the moment it was given, if known.
    std::optional<std::int64_t> CommandAt() const { return commandAt_; }
    bool Enabled(Command command) const;
    // False for a command without a mark of the model's.
    bool Checked(Command command) const;

    // 0..ZoomSteps-1; a damaged stored value counts as 0.
    int Zoom() const { return ValidZoom(kept_.zoom); }
    void SetZoom(int zoom);
    // The alarm clock: its time, whether it is armed, whether it rings.
    const AlarmClock& Alarm() const { return alarm_; }
    // The alarm dialog closes with these: "" when they are set, else the
    // words that say what is wrong. A time not later than now is tomorrow's.
    std::string SetAlarm(bool armed, int hours, int minutes, int seconds);
    // When the alarm would ring if it were set to this time now: "tomorrow 06:30:00".
    std::string AlarmDueText(int hours, int minutes, int seconds) const;
    // The user heard it ring.
    void AcknowledgeAlarm();
    // The configuration dialog's fields, from the settings as they are now.
    Configuration CurrentConfiguration() const;
    // The configuration dialog's OK: each value takes effect at once, and is
    // saved as the others are. Returns what is wrong, and with which field,
    // and then changes nothing.
    Refusal Configure(const Configuration& wanted);
    const std::string& ProtocolPath() const override { return kept_.fileName; }
    // What the user is told on the window while nobody may be at the keyboard;
    // each change is told by AppView::NoticesChanged.
    const Notices& Told() const { return notices_; }
    void Tell(Notice notice) override { if (notices_.Tell(std::move(notice))) NoticesChanged(); }
    void ClearNotice(NoticeTopic topic) override { if (notices_.Clear(topic)) NoticesChanged(); }
    // The user has read the notices: the news goes.
    void NoticesRead() { if (notices_.Read()) NoticesChanged(); }
    // The notice's own way to try again: writing the settings, or the protocol's unwritten runs.
    void Retry(NoticeTopic topic);
    bool ProtocolExists() const { return protocol_.Exists(kept_.fileName); }
    // The live view's switch, port, link and reach, from its card.
    void SetLiveView(bool on, std::int32_t port, std::string token, bool localOnly);
    // Where the user put the main window.
    void WindowMoved(int left, int top);

    // The light barriers: the chosen port, whether it is open, the rules.
    const BarrierPipeline& Barriers() const { return barriers_; }
    bool BarriersConnected() const { return barriers_.Connected(); }
    // The rules can be chosen once the port has been open; they stay so when it closes.
    bool BarrierRulesChoosable() const { return rulesChoosable_; }
    // Opens `device` for the barriers, or closes their port for none (empty).
    // `number` is the "Port" setting: n of COMn, else the port's place in the list.
    // Returns why the port could not be opened, for the user who chose it;
    // it stays chosen and is opened as soon as it can be.
    std::string ChooseBarrierPort(const std::string& device, int number);
    void SelectBarrierAlgorithm(int algorithm);
    void SelectBarrierArrangement(int arrangement);
    // The end of start-up: the system-wide hot keys of HotKeyTable, through
    // `grabber`, until Shutdown. A combination the system refuses is left out, silently.
    void RegisterHotKeys(HotKeyGrabber& grabber);
    // Which of them the system gave the program.
    bool HotKeyRegistered(int index) const { return hotKeys_ && hotKeys_->Registered(index); }

    // The large second readout: on which monitor, whether it shows, and the
    // monitors there are. Each change is told by AppView::SecondMonitorChanged.
    const MonitorChoice& SecondMonitor() const { return monitors_; }
    // Start-up, after Load: the monitors the system has. The second readout
    // shows only with more than one and a stored monitor among them.
    void StartMonitors(std::vector<MonitorSize> monitors);
    // The "Multimonitor" submenu's entries: MonitorChoice::Off or monitor n.
    void SelectMonitor(int index) { if (monitors_.Select(index)) MonitorChoiceChanged(); }
    // Ctrl+T: the second readout on the last monitor, shown or hidden.
    void ToggleSecondMonitor() { if (monitors_.Toggle()) MonitorChoiceChanged(); }
    // The second readout's window was closed by the user (Esc).
    void SecondMonitorClosed();
    // A monitor came, went or changed its size while the program runs.
    void MonitorsChanged(std::vector<MonitorSize> monitors);

    // Whether the main window is the active window; it counts as active until
    // it is first deactivated. In the background, keys typed for another
    // window must not reset or hide the watch, the pause button is disabled,
    // and with it the toggle barrier takes laps instead of pausing.
    void SetWindowActive(bool active);
    bool WindowActive() const { return windowActive_; }
    // The program came to the front showing the main window's buttons, or went
    // to the back without them: a running run's pause button goes with them,
    // and comes back when a run starts.
    void SetButtonsShown(bool shown);
    bool PauseShown() const { return clock_.PauseVisible() && !pauseHidden_; }

private:
    friend std::vector<CommandRow> MakeCommandTable();

    // ChronometerObserver: mostly told on to the views.
    void TimeShown(std::int64_t value, std::uint32_t digits) override { ToViews(&AppView::TimeShown, value, digits); }
    void ControlsChanged() override { Changed(); KeepChanges(); }
    void PlaySound(EventSound sound) override { ToViews(&AppView::PlaySound, sound); }
    void RestoreApplication() override { ToViews(&AppView::RestoreApplication); }
    void WriteProtocol(const std::vector<std::string>& lines) override { saves_.Record(lines); }
    void ShowSecondMonitorLap(std::int64_t value) override { ToViews(&AppView::SecondMonitorLap, value); }
    void SetSecondMonitorLapLabel(const std::string& caption) override
    {
        ToViews(&AppView::SecondMonitorLapCaption, caption);
    }

    void Changed();
    void BarrierChoicesChanged();
    void MonitorChoiceChanged();
    void KeepChanges() { saves_.KeepChanges(); }
    // The barriers and the chronometer take the configured values kept.
    void TakeConfigured();
    // SavePipeline::Model
    Settings Snapshot() override;
    RunDetails RunSnapshot() override;
    void SavingOwnValues() override { ToViews(&AppView::SaveOwnValues); }
    void RunRecorded(const std::vector<std::string>& lines) override { ToViews(&AppView::RunRecorded, lines); }
    void NoticesChanged() { ToViews(&AppView::NoticesChanged); }
    // Tells every view.
    template <typename... Args>
    void ToViews(void (AppView::*told)(Args...), const std::remove_cvref_t<Args>&... args)
    {
        for (AppView* view : views_) (view->*told)(args...);
    }
    // The wall clock as the locale's clock tells it, ms since 1970.
    std::int64_t WallNow() const { return locale_.Now().epochMs; }
    // The alarm's timer: a tick every second while it is armed or rings.
    void TickAlarm();
    void ScheduleAlarmTick();
    // A counter reading and its wall-clock time: a run's start, a pause's.
    struct WallClockMemo {
        std::int64_t count = 0;
        std::int64_t ms = 0;
    };
    std::int64_t WallClockAt(WallClockMemo& memo, std::int64_t count);

    THighResTimer& timer_;
    const LocaleTexts& locale_;
    Scheduler& scheduler_;
    ProtocolLog& protocol_;
    const std::string bootId_;
    Chronometer clock_;
    BarrierPipeline barriers_;
    MonitorChoice monitors_;
    AlarmClock alarm_;
    std::optional<Scheduler::Task> alarmTick_;
    std::vector<AppView*> views_;
    Settings kept_;
    WallClockMemo runStart_;
    WallClockMemo pauseStart_;
    Notices notices_;
    bool windowActive_ = true;
    bool rulesChoosable_ = false;
    bool running_ = false;      // as last told: a run that starts shows its pause button again
    bool pauseHidden_ = false;  // by the program going to the back
    std::optional<std::int64_t> commandAt_;
    std::unique_ptr<HotKeyList> hotKeys_;
    SavePipeline saves_;  // last: its end may still call back into the model
};

}  // namespace chronivel
