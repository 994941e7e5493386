// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/chronivelapp.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "core/runpersistence.h"
#include "core/timeentry.h"

namespace chronivel {

namespace {

std::int64_t WallClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// What the user is told when the protocol file will not take the finished runs.
// `settingsPlace`: the settings file or key, empty when it has no name.
std::string UnwrittenText(const std::string& path, const std::string& reason, std::size_t runs,
                          const std::string& settingsPlace)
{
    std::string which = runs == 1 ? "The run" : std::to_string(runs);
    if (runs != 1) which += " runs";
    std::string keptIn = "the settings";
    if (!settingsPlace.empty()) keptIn.assign(1, '"').append(settingsPlace).append(1, '"');
    return "Cannot write to the protocol file \"" + path + "\". " + reason + "\n" + which + " not written there " +
           (runs == 1 ? "is" : "are") + " kept in " + keptIn +
           " and written at the end of the next run, at the next start, or when you choose to retry"
           " (\"Retry writing the protocol\" in the menu).";
}

}  // namespace

ChronivelApp::ChronivelApp(THighResTimer& timer, const LocaleTexts& locale, SettingsStore& store,
                           Scheduler& scheduler, ProtocolLog& protocol, SerialPorts& ports, std::string bootId)
    : timer_(timer),
      locale_(locale),
      store_(store),
      scheduler_(scheduler),
      protocol_(protocol),
      bootId_(std::move(bootId)),
      clock_(timer, locale, *this),
      barriers_(clock_, timer, ports, scheduler),
      alarm_(locale)
{
    barriers_.connectedChanged = [this](bool) { Changed(); };
    barriers_.deviceRenamed = [this] { BarrierChoicesChanged(); };
    barriers_.tell = [this](std::optional<Notice> notice) {
        if (notice) Tell(std::move(*notice));
        else ClearNotice(NoticeTopic::Barriers);
    };
}

ChronivelApp::~ChronivelApp()
{
    views_.clear();  // the barriers' port closes after this, and its views may be gone
    if (writing_) scheduler_.FinishAside();  // its end calls back here
    if (delayedSave_) scheduler_.Cancel(*delayedSave_);
    if (alarmTick_) scheduler_.Cancel(*alarmTick_);
}

LoadMoment ChronivelApp::Moment() const
{
    const DateTimeTexts now = locale_.Now();
    return LoadMoment{now.shortDate};
}

std::int64_t ChronivelApp::WallNow() const
{
    return locale_.Now().epochMs;
}

std::string ChronivelApp::Load(const std::string& defaultProtocolPath)
{
    timer_.SetUseTSC(false);
    Settings s;
    s.fileName = defaultProtocolPath;
    existed_ = store_.Exists();
    std::string problem = store_.OpenProblem();
    const LoadMoment moment = Moment();
    LoadReport report = LoadSettings(store_, s, moment);
    KeepUnreadableRuns(store_, report);
    if (const std::string unread = report.Message(store_.Location()); !unread.empty())
        problem += (problem.empty() ? "" : "\n") + unread;
    held_ = std::move(report.held);

    StoredRuns runs = LoadRuns(store_);
    // Numbers of the day's runs never repeat, even where the settings lost their count.
    if (!report.dayCounterKnown)
        s.dayCounter = DayRunsCounted(runs, moment.today, protocol_.HighestRunNumberOn(s.fileName, moment.today));
    pending_ = runs.pending;
    startTimeKept_ = KeepsStartTime(store_);
    savedRuns_ = std::move(runs);

    kept_ = s;
    loading_ = true;  // the chronometer reports each step; the state is whole only at the end
    clock_.SetCountDownT(s.countDownT);
    clock_.SetSound(s.sound);
    clock_.SetDayCounter(s.dayCounter);
    clock_.SetLockSeconds(s.seLOCK);
    clock_.Format().SelectFormat(s.format);
    clock_.Format().SetHoursOn(s.hoursOn);
    // Arming the countdown clears a shown best time, so the best comes after it.
    clock_.SetCountDown(s.countDown);
    clock_.Best().Restore(s.leader, clock_.Format());
    clock_.Best().SetVisible(!s.countDown);
    barriers_.SetAlgorithm(s.alg);
    barriers_.SetArrangement(s.lsCount);
    barriers_.SetLaps(s.laps);
    barriers_.SetMinLap(s.minLap);
    barriers_.SetDevice(s.portName);
    barriers_.SetPortNumber(s.port);
    monitors_ = MonitorChoice(s.monitor);
    alarm_.Restore(s.alarm, s.alarmOn, s.alarmDue, WallNow());
    saved_ = s;
    return problem;
}

void ChronivelApp::Resume()
{
    barriers_.Restore();
    BarrierChoicesChanged();  // a port known by its number only is now known by its device
    const std::int64_t nowCounter = timer_.ReadCounter();
    const std::int64_t nowWall = WallClockMs();
    const std::string damage =
        DamagedRun(kept_, startTimeKept_, bootId_, nowCounter, timer_.CountSpeed(), nowWall);
    if (damage.empty()) {
        // Nothing is saved before this, so the run saved last is the one loaded.
        const RunDetails& run = savedRuns_.run;
        clock_.ResumeRun(ResumeStartCount(kept_, bootId_, nowCounter, timer_.CountSpeed(), nowWall), run,
                         run.pauseBeganMs != 0 ? std::max<std::int64_t>(0, nowWall - run.pauseBeganMs) : 0);
    } else {
        Tell({NoticeTopic::Run, Notice::Kind::News, "Run not resumed", damage});
    }
    loading_ = false;
    // After a reboot the run resumes from a new start count, and a damaged
    // one is gone: keep that at once, so that it is told only once.
    KeepChanges();
    // Runs finished before a kill, or while the file could not be written.
    WritePending();
    // An alarm due while the program was closed rings now, once.
    const std::int64_t now = WallNow();
    if (alarm_.Armed() && alarm_.DueMs() <= now)
        Tell({NoticeTopic::Alarm, Notice::Kind::News, "Alarm missed", alarm_.MissedText(now)});
    TickAlarm();
}

void ChronivelApp::TickAlarm()
{
    alarmTick_.reset();
    switch (alarm_.Tick(WallNow())) {
    case AlarmClock::Step::Rang:
        for (AppView* view : views_) view->AlarmRang();
        Changed();
        KeepChanges();
        break;
    case AlarmClock::Step::Silenced:
        for (AppView* view : views_) view->AlarmSilenced();
        Changed();
        break;
    case AlarmClock::Step::None: break;
    }
    ScheduleAlarmTick();
}

void ChronivelApp::ScheduleAlarmTick()
{
    // The wall clock is read at every tick: after a suspend the first one knows.
    if (!alarmTick_ && (alarm_.Armed() || alarm_.Ringing()))
        alarmTick_ = scheduler_.After(AlarmClock::EarlyMs, [this] { TickAlarm(); });
}

std::string ChronivelApp::SetAlarm(bool armed, int hours, int minutes, int seconds)
{
    std::string problem = AlarmClock::Check(hours, minutes, seconds);
    if (!problem.empty()) return problem;
    alarm_.Set(armed, hours, minutes, seconds, WallNow());
    Changed();
    KeepChanges();
    ScheduleAlarmTick();
    return problem;
}

std::string ChronivelApp::AlarmDueText(int hours, int minutes, int seconds) const
{
    return AlarmClock::DueText(alarm_.DueFor(hours, minutes, seconds, WallNow()),
                               hours * 3600 + minutes * 60 + seconds);
}

void ChronivelApp::AcknowledgeAlarm()
{
    if (!alarm_.Acknowledge()) return;
    for (AppView* view : views_) view->AlarmSilenced();
    Changed();
}

void ChronivelApp::Perform(Command command, std::optional<std::int64_t> at)
{
    if (!Enabled(command)) return;
    const CommandRow& row = RowOf(command);
    if (row.run) {
        commandAt_ = at;
        row.run(*this);
        commandAt_.reset();
        return;
    }
    for (AppView* view : views_)
        if (view->Perform(command)) return;
}

bool ChronivelApp::Enabled(Command command) const
{
    const CommandRow& row = RowOf(command);
    return !row.enabled || row.enabled(*this);
}

bool ChronivelApp::Checked(Command command) const
{
    const CommandRow& row = RowOf(command);
    return row.checked && row.checked(*this);
}

void ChronivelApp::SetZoom(int zoom)
{
    kept_.zoom = ValidZoom(zoom);
    Changed();
    KeepChanges();
}

Configuration ChronivelApp::CurrentConfiguration() const
{
    return {.transparent = kept_.transpW,
            .protocolPath = kept_.fileName,
            .color = kept_.color,
            .picture = kept_.fon,
            .laps = barriers_.Laps(),
            .minLapMs = barriers_.MinLap(),
            .lockSeconds = clock_.LockSeconds(),
            .countDown = TimeEntryText(clock_.CountDownT(), clock_.Format())};
}

std::string ChronivelApp::Configure(const Configuration& wanted)
{
    const CheckedConfiguration checked =
        CheckConfiguration(wanted, CurrentConfiguration(), clock_.Format(), protocol_);
    if (!checked.problem.empty()) return checked.problem;
    const bool otherFile = wanted.protocolPath != kept_.fileName;
    kept_.transpW = wanted.transparent;
    kept_.fileName = wanted.protocolPath;
    kept_.color = wanted.color;
    kept_.fon = wanted.picture;
    barriers_.SetLaps(wanted.laps);
    barriers_.SetMinLap(wanted.minLapMs);
    clock_.SetLockSeconds(wanted.lockSeconds);
    if (checked.countDownMs) clock_.ChangeCountDownT(*checked.countDownMs);  // 0 becomes the default minute
    Changed();
    KeepChanges();
    if (otherFile) WritePending();  // runs the old file would not take go to the new one now
    return {};
}

void ChronivelApp::WindowMoved(int left, int top)
{
    kept_.left = left;
    kept_.top = top;
    KeepChanges();
}

void ChronivelApp::SetWindowActive(bool active)
{
    if (active == windowActive_) return;
    windowActive_ = active;
    barriers_.SetPauseEnabled(active);
    Changed();
}

void ChronivelApp::RegisterHotKeys(HotKeyGrabber& grabber)
{
    hotKeys_.reset();  // an earlier list lets go of its grabber first
    hotKeys_ = std::make_unique<HotKeyList>(grabber);
    for (const HotKeyRow& row : HotKeyTable()) hotKeys_->Add(row.key);
    hotKeys_->onHotKey = [this](int index) { Perform(HotKeyTable()[static_cast<std::size_t>(index)].command); };
    hotKeys_->SetActive(true);
}

void ChronivelApp::Shutdown()
{
    hotKeys_.reset();  // the combinations go back to the system
    Save();
    scheduler_.FinishAside();  // with the runs that the written settings let go to the protocol
    barriers_.Close();
}

std::string ChronivelApp::ChooseBarrierPort(const std::string& device, int number)
{
    std::string problem = barriers_.Choose(device, number);
    BarrierChoicesChanged();
    return problem;
}

void ChronivelApp::SelectBarrierAlgorithm(int algorithm)
{
    barriers_.SetAlgorithm(algorithm);
    BarrierChoicesChanged();
}

void ChronivelApp::SelectBarrierArrangement(int arrangement)
{
    barriers_.SetArrangement(arrangement);
    BarrierChoicesChanged();
}

void ChronivelApp::BarrierChoicesChanged()
{
    kept_.port = barriers_.PortNumber();
    kept_.portName = barriers_.Device();
    kept_.alg = static_cast<int>(barriers_.Algorithm());
    kept_.lsCount = static_cast<int>(barriers_.Arrangement());
    Changed();
    KeepChanges();
}

void ChronivelApp::StartMonitors(std::vector<MonitorSize> monitors)
{
    monitors_.Start(std::move(monitors));
    MonitorChoiceChanged();
}

void ChronivelApp::SelectMonitor(int index)
{
    if (monitors_.Select(index)) MonitorChoiceChanged();
}

void ChronivelApp::ToggleSecondMonitor()
{
    if (monitors_.Toggle()) MonitorChoiceChanged();
}

void ChronivelApp::SecondMonitorClosed()
{
    monitors_.Close();
    MonitorChoiceChanged();
}

void ChronivelApp::MonitorsChanged(std::vector<MonitorSize> monitors)
{
    monitors_.Change(std::move(monitors));
    MonitorChoiceChanged();
}

void ChronivelApp::MonitorChoiceChanged()
{
    for (AppView* view : views_) view->SecondMonitorChanged();
    KeepChanges();
}

void ChronivelApp::Changed()
{
    for (AppView* view : views_) view->Changed();
}

void ChronivelApp::TimeShown(std::int64_t value, std::uint32_t changedDigits)
{
    for (AppView* view : views_) view->TimeShown(value, changedDigits);
}

void ChronivelApp::ShowSecondMonitorLap(std::int64_t value)
{
    for (AppView* view : views_) view->SecondMonitorLap(value);
}

void ChronivelApp::SetSecondMonitorLapLabel(const std::string& caption)
{
    for (AppView* view : views_) view->SecondMonitorLapCaption(caption);
}

void ChronivelApp::ControlsChanged()
{
    Changed();
    KeepChanges();
}

void ChronivelApp::PlaySound(EventSound sound)
{
    for (AppView* view : views_) view->PlaySound(sound);
}

void ChronivelApp::RestoreApplication()
{
    for (AppView* view : views_) view->RestoreApplication();
}

void ChronivelApp::WriteProtocol(const std::vector<std::string>& lines)
{
    // Kept before the file is touched: from the end of this write on a kill
    // cannot lose the run, nor bring it back as running.
    pending_.push_back(lines);
    Save();
    WritePendingWhenKept();
}

void ChronivelApp::WritePendingWhenKept()
{
    appendAfter_ = handedOver_;
    if (written_ >= handedOver_) {  // nothing was handed over: there is no write to wait for
        appendAfter_.reset();
        WritePending();
    }
}

void ChronivelApp::WritePending()
{
    if (appendAfter_) return;  // the settings do not hold the newest run yet; the write's end comes back here
    while (!pending_.empty()) {
        const std::vector<std::string> run = pending_.front();
        // A kill after the append, before the settings forgot the run, left it at the file's end.
        if (!protocol_.EndsWith(kept_.fileName, run)) {
            const std::string reason = protocol_.Append(kept_.fileName, run);
            if (!reason.empty()) {
                Tell({NoticeTopic::Protocol, Notice::Kind::Problem, "Runs not written",
                      UnwrittenText(kept_.fileName, reason, pending_.size(), store_.Location()), true});
                return;
            }
        }
        pending_.erase(pending_.begin());
        Save();
        for (AppView* view : views_) view->RunRecorded(run);
    }
    ClearNotice(NoticeTopic::Protocol);
}

void ChronivelApp::Tell(Notice notice)
{
    if (notices_.Tell(std::move(notice))) NoticesChanged();
}

void ChronivelApp::ClearNotice(NoticeTopic topic)
{
    if (notices_.Clear(topic)) NoticesChanged();
}

void ChronivelApp::NoticesRead()
{
    if (notices_.Read()) NoticesChanged();
}

void ChronivelApp::Retry(NoticeTopic topic)
{
    if (topic == NoticeTopic::Protocol) RetryProtocol();
    else if (topic == NoticeTopic::Settings) Save();
}

void ChronivelApp::NoticesChanged()
{
    for (AppView* view : views_) view->NoticesChanged();
}

void ChronivelApp::SaveFailed(const std::string& failure)
{
    const bool sentence = !failure.empty() && failure.back() == '.';
    Tell({NoticeTopic::Settings, Notice::Kind::Problem, "Settings unsaved",
          failure + (sentence ? " " : ". ") + "What changed is kept and written with the next save.", true});
}

Settings ChronivelApp::Snapshot()
{
    Settings s = kept_;
    s.countDown = clock_.CountDown();
    s.countDownT = clock_.CountDownT();
    s.sound = clock_.Sound();
    s.dayCounter = clock_.DayCounter();
    s.leader = clock_.Best().Value();
    s.leaderOn = clock_.Best().Visible();
    s.seLOCK = clock_.LockSeconds();
    s.laps = barriers_.Laps();
    s.minLap = barriers_.MinLap();
    s.format = clock_.Format().Format();
    s.hoursOn = clock_.Format().HoursOn();
    s.monitor = monitors_.Index();
    s.alarmOn = alarm_.Armed();
    s.alarm = alarm_.Time();
    s.alarmDue = alarm_.DueMs();
    s.tickCount = clock_.StartCount();
    s.tickBoot = s.tickCount != 0 ? bootId_ : std::string();
    s.tickTime = s.tickCount != 0 ? WallClockAt(runStart_, s.tickCount) : 0;
    return s;
}

std::int64_t ChronivelApp::WallClockAt(WallClockMemo& memo, std::int64_t count)
{
    // Once per reading, so that repeated snapshots of one run or pause agree.
    if (memo.count != count) {
        memo.count = count;
        memo.ms = WallClockStart(count, timer_.ReadCounter(), timer_.CountSpeed(), WallClockMs());
    }
    return memo.ms;
}

StoredRuns ChronivelApp::RunsSnapshot()
{
    StoredRuns runs{clock_.StartCount() != 0 ? clock_.Details() : RunDetails{}, pending_};
    if (runs.run.paused) runs.run.pauseBeganMs = WallClockAt(pauseStart_, clock_.StopCount());
    return runs;
}

void ChronivelApp::KeepChanges()
{
    if (loading_) return;
    const Settings now = Snapshot();
    const StoredRuns runs = RunsSnapshot();
    const bool alarmChanged =
        now.alarmOn != saved_.alarmOn || now.alarm != saved_.alarm || now.alarmDue != saved_.alarmDue;
    if (now.tickCount != saved_.tickCount || runs != savedRuns_ || alarmChanged) {
        // A run began, went on or ended, or the alarm was set or rang: a kill right after must not lose it.
        Write(now, runs);
    } else if (now != saved_) {
        // Many changes in a row (a drag, a run of zoom steps) make one save.
        if (delayedSave_) scheduler_.Cancel(*delayedSave_);
        delayedSave_ = scheduler_.After(SaveDelayMs, [this] {
            delayedSave_.reset();
            Save();
        });
    }
}

void ChronivelApp::Save()
{
    Write(Snapshot(), RunsSnapshot());
}

void ChronivelApp::Write(const Settings& now, const StoredRuns& runs)
{
    if (delayedSave_) scheduler_.Cancel(*delayedSave_);
    delayedSave_.reset();
    try {
        SaveSettings(store_, now, Moment().today, held_);
        SaveRuns(store_, runs);
        for (AppView* view : views_) view->SaveOwnValues();
    } catch (const SettingsError& error) {
        SaveFailed(error.what());
        return;
    }
    saved_ = now;
    savedRuns_ = runs;
    ++handedOver_;
    if (!writing_) WriteAside();
}

void ChronivelApp::WriteAside()
{
    writing_ = true;
    const std::uint64_t version = handedOver_;
    std::shared_ptr<SettingsSave> save = store_.TakeSave();
    auto failure = std::make_shared<std::string>();
    scheduler_.Aside(
        [save, failure] {
            try {
                save->Write();
            } catch (const SettingsError& error) {
                *failure = error.what();
            }
        },
        [this, version, failure] { Written(version, *failure); });
}

void ChronivelApp::Written(std::uint64_t version, const std::string& failure)
{
    writing_ = false;
    written_ = version;
    if (failure.empty()) {
        ClearNotice(NoticeTopic::Settings);
    } else {
        // Nothing counts as saved: the next change writes everything again.
        saved_ = Settings{};
        savedRuns_ = StoredRuns{};
    }
    if (handedOver_ > written_) WriteAside();  // what changed during this write
    // The runs go to the protocol also when the settings failed: better there than nowhere.
    if (appendAfter_ && written_ >= *appendAfter_) {
        appendAfter_.reset();
        WritePending();
    }
    if (!failure.empty()) SaveFailed(failure);
}

}  // namespace chronivel
