// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/chronivelapp.h"

#include <algorithm>
#include <memory>

#include "core/runpersistence.h"
#include "core/timeentry.h"

namespace chronivel {

ChronivelApp::ChronivelApp(THighResTimer& timer, const LocaleTexts& locale, SettingsStore& store,
                           Scheduler& scheduler, ProtocolLog& protocol, SerialPorts& ports, std::string bootId)
    : timer_(timer),
      locale_(locale),
      scheduler_(scheduler),
      protocol_(protocol),
      bootId_(std::move(bootId)),
      clock_(timer, locale, *this),
      barriers_(clock_, timer, ports, scheduler),
      alarm_(locale),
      saves_(*this, locale, store, scheduler, protocol)
{
    barriers_.connectedChanged = [this](bool connected) {
        rulesChoosable_ = rulesChoosable_ || connected;
        Changed();
    };
    barriers_.deviceRenamed = [this] { BarrierChoicesChanged(); };
    barriers_.tell = [this](std::optional<Notice> notice) {
        if (notice) Tell(std::move(*notice));
        else ClearNotice(NoticeTopic::Barriers);
    };
}

ChronivelApp::~ChronivelApp()
{
    views_.clear();  // the barriers' port closes after this, and its views may be gone
    if (alarmTick_) scheduler_.Cancel(*alarmTick_);
}

std::string ChronivelApp::Load(const std::string& defaultProtocolPath, int digitCount)
{
    timer_.SetUseTSC(false);
    clock_.Format().SetDigitCount(digitCount);
    Settings s;
    s.fileName = defaultProtocolPath;
    std::string problem = saves_.Load(s, LoadMoment{locale_.Now().shortDate});
    kept_ = s;  // the chronometer reports each step; the state is whole only at Resume
    clock_.SetCountDownT(s.countDownPresetMs);
    clock_.SetSound(s.sound);
    clock_.SetDayCounter(s.dayCounter);
    clock_.Format().SelectFormat(s.format);
    clock_.Format().SetHoursOn(s.hoursOn);
    // Arming the countdown clears a shown best time, so the best comes after it.
    clock_.SetCountDown(s.countDown);
    clock_.Best().Restore(s.leader, clock_.Format());
    clock_.Best().SetVisible(!s.countDown);
    barriers_.SetAlgorithm(s.barrierAlgorithm);
    barriers_.SetArrangement(s.barrierArrangement);
    TakeConfigured();
    barriers_.SetDevice(s.portName);
    barriers_.SetPortNumber(s.port);
    monitors_ = MonitorChoice(s.monitor);
    alarm_.Restore(s.alarm, s.alarmOn, s.alarmDue, WallNow());
    return problem;
}

void ChronivelApp::Resume()
{
    clock_.ShowTime(0);  // the readout's first time: an armed countdown's preset
    barriers_.Restore();
    BarrierChoicesChanged();  // a port known by its number only is now known by its device
    const std::int64_t nowCounter = timer_.ReadCounter();
    const std::int64_t nowWall = WallNow();
    const std::string damage =
        DamagedRun(kept_, saves_.StartTimeKept(), bootId_, nowCounter, timer_.CountSpeed(), nowWall);
    if (damage.empty()) {
        // Nothing is saved before this, so the run saved last is the one loaded.
        const RunDetails& run = saves_.SavedRuns().run;
        clock_.ResumeRun(ResumeStartCount(kept_, bootId_, nowCounter, timer_.CountSpeed(), nowWall), run,
                         run.pauseBeganMs != 0 ? std::max<std::int64_t>(0, nowWall - run.pauseBeganMs) : 0);
    } else {
        Tell({NoticeTopic::Run, Notice::Kind::News, "Run not resumed", damage});
    }
    saves_.Resume();
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
        ToViews(&AppView::AlarmRang);
        Changed();
        KeepChanges();
        break;
    case AlarmClock::Step::Silenced:
        ToViews(&AppView::AlarmSilenced);
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
    ToViews(&AppView::AlarmSilenced);
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
    return {kept_, TimeEntryText(clock_.CountDownT(), clock_.Format())};
}

Refusal ChronivelApp::Configure(const Configuration& wanted)
{
    const CheckedConfiguration checked =
        CheckConfiguration(wanted, CurrentConfiguration(), clock_.Format(), protocol_);
    if (!checked.refusal.words.empty()) return checked.refusal;
    const bool otherFile = wanted.fileName != kept_.fileName;
    static_cast<Configurable&>(kept_) = wanted;
    TakeConfigured();
    if (checked.countDownMs) clock_.ChangeCountDownT(*checked.countDownMs);  // 0 becomes the default minute
    Changed();
    KeepChanges();
    if (otherFile) saves_.WritePending();  // runs the old file would not take go to the new one now
    return {};
}

void ChronivelApp::TakeConfigured()
{
    barriers_.SetLaps(kept_.laps);
    barriers_.SetMinLap(kept_.minLap);
    clock_.SetLockSeconds(kept_.stopLockSeconds);
}

void ChronivelApp::WindowMoved(int left, int top)
{
    kept_.left = left;
    kept_.top = top;
    KeepChanges();
}

void ChronivelApp::SetLiveView(bool on, std::int32_t port, std::string token, bool localOnly)
{
    kept_.liveView = on;
    kept_.livePort = port;
    kept_.liveToken = std::move(token);
    kept_.liveLocalOnly = localOnly;
    KeepChanges();
    Changed();
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
    kept_.barrierAlgorithm = static_cast<int>(barriers_.Algorithm());
    kept_.barrierArrangement = static_cast<int>(barriers_.Arrangement());
    Changed();
    KeepChanges();
}

void ChronivelApp::StartMonitors(std::vector<MonitorSize> monitors)
{
    monitors_.Start(std::move(monitors));
    MonitorChoiceChanged();
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
    ToViews(&AppView::SecondMonitorChanged);
    KeepChanges();
}

void ChronivelApp::SetButtonsShown(bool shown)
{
    pauseHidden_ = !shown;
    Changed();
}

void ChronivelApp::Changed()
{
    if (running_ != clock_.PauseVisible()) {
        running_ = clock_.PauseVisible();
        pauseHidden_ = false;
    }
    ToViews(&AppView::Changed);
}

void ChronivelApp::Retry(NoticeTopic topic)
{
    if (topic == NoticeTopic::Protocol) saves_.WritePending();
    else if (topic == NoticeTopic::Settings) Save();
}

Settings ChronivelApp::Snapshot()
{
    Settings s = kept_;
    s.countDown = clock_.CountDown();
    s.countDownPresetMs = clock_.CountDownT();
    s.sound = clock_.Sound();
    s.dayCounter = clock_.DayCounter();
    s.leader = clock_.Best().Value();
    s.leaderOn = clock_.Best().Visible();
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
        memo.ms = WallClockStart(count, timer_.ReadCounter(), timer_.CountSpeed(), WallNow());
    }
    return memo.ms;
}

RunDetails ChronivelApp::RunSnapshot()
{
    RunDetails run = clock_.StartCount() != 0 ? clock_.Details() : RunDetails{};
    if (run.paused) run.pauseBeganMs = WallClockAt(pauseStart_, clock_.StopCount());
    return run;
}

}  // namespace chronivel
