// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/chronometer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chronivel {

Chronometer::Chronometer(THighResTimer& timer, const LocaleTexts& locale, ChronometerObserver& observer)
    : timer_(timer), locale_(locale), observer_(observer), currentTimeText_(TimeText(0, format_))
{
}

class Chronometer::CommandMoment {
public:
    CommandMoment(Chronometer& clock, std::int64_t moment) : clock_(clock), outer_(clock.commandAt_)
    {
        clock.commandAt_ = moment;
        clock.lastMoment_ = std::max(clock.lastMoment_, moment);
    }
    ~CommandMoment() { clock_.commandAt_ = outer_; }
    CommandMoment(const CommandMoment&) = delete;
    CommandMoment& operator=(const CommandMoment&) = delete;

private:
    Chronometer& clock_;
    std::optional<std::int64_t> outer_;  // of the command during which this one happens
};

std::int64_t Chronometer::MomentOf(std::optional<std::int64_t> at)
{
    // Commands happen in the order they are carried out: an edge stamped
    // before the command carried out last cannot have come before it.
    return at ? std::max(*at, lastMoment_) : timer_.ReadCounter();
}

std::int64_t Chronometer::SinceLastLapMs(std::int64_t counter) const
{
    const std::int64_t elapsed = CountsToMilliseconds(counter - startCount_, timer_.CountSpeed());
    return elapsed - laps_.PrevLapElapsed();
}

void Chronometer::ChangeCountDownT(std::int32_t ms)
{
    SetCountDownT(ms);
    if (state_ != RunState::Ready || (countDown_ && stopCount_ != 0)) return;
    ShowTime(0);
    if (countDown_) observer_.ShowSecondMonitorLap(countDownT_);
}

std::int32_t Chronometer::LockIntervalMs() const
{
    const std::int64_t ms = std::int64_t{lockSeconds_} * 1000;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<std::int32_t>::max()));
}

// --- START, STOP, RESET --------------------------------------------------

void Chronometer::StartStopReset(std::optional<std::int64_t> at)
{
    const CommandMoment moment(*this, MomentOf(at));
    const RunState before = state_;
    switch (before) {
    case RunState::Ready:
        Start();
        state_ = RunState::Running;
        break;
    case RunState::Running:
        if (CountDownRanOut()) return;
        Stop();
        // A stopped countdown is ready to go on from where it stood.
        state_ = countDown_ ? RunState::Ready : RunState::Stopped;
        break;
    case RunState::Stopped:
        Reset();
        state_ = RunState::Ready;
        break;
    }
    lapEnabled_ = before == RunState::Ready;
    observer_.ControlsChanged();
}

void Chronometer::ResetRun()
{
    displayTimerOn_ = false;
    state_ = RunState::Stopped;
    StartStopReset();
}

void Chronometer::Start()
{
    timer_.SetUseTSC(false);
    if (countDown_ && stopCount_ != 0)
        startCount_ = stoppedCountDownStart_ + (Now() - stopCount_);
    else {
        startCount_ = Now();
        ++runsStarted_;
    }

    displayTimerOn_ = true;
    lockTimerOn_ = lockSeconds_ > 0;
    if (lockTimerOn_) lockLedLit_ = true;
    if (countDown_ && stopCount_ == 0) preWarningPending_ = true;
    PlayEventSound(EventSound::Start);

    const DateTimeTexts now = locale_.Now();
    startText_ = now.longTime + " = " + now.dayName + ". " + now.shortDate;
    countDownLedHandCursor_ = false;
    lapList_.Add("START " + std::to_string(std::int64_t{dayCounter_} + 1) + " = " + startText_);
    lapList_.SelectFirst();
    lapList_.Show();
    paused_ = false;
}

void Chronometer::Stop()
{
    displayTimerOn_ = false;
    const std::int64_t pausedAt = stopCount_;
    stopCount_ = Now();
    lockTimerOn_ = false;
    lockLedLit_ = false;
    if (paused_) {
        // The pause that STOP ends does not count, as if it had been continued first.
        startCount_ += stopCount_ - pausedAt;
        AddPauseLine(stopCount_ - pausedAt);
        paused_ = false;
    } else {
        DisplayTick();
    }
    RecordLap(true);
    PlayEventSound(EventSound::Stop);

    const std::int64_t runStart = startCount_;
    laps_.Reset();
    // No run in progress any more, so a restart of the program comes up Ready;
    // the protocol's writer sees it that way too.
    startCount_ = 0;
    if (countDown_) {
        lapList_.Show();
        stoppedCountDownStart_ = runStart;
    } else {
        best_.Offer(elapsed_, currentTimeText_, format_.DecimalPlaces());
        WriteProtocol();
    }
}

void Chronometer::Reset()
{
    PlayEventSound(EventSound::Reset);
    countDownLedHandCursor_ = true;
    observer_.SetSecondMonitorLapLabel(" Lap:");
    paused_ = false;
    if (countDown_) {
        preWarningPending_ = false;
        stopCount_ = 0;
    }
    lockTimerOn_ = false;
    lockLedLit_ = false;
    readingMs_ = elapsed_ = 0;
    ShowTime(0);
    observer_.ShowSecondMonitorLap(0);
    lapList_.Clear();
    laps_.Reset();
    startCount_ = 0;
}

void Chronometer::ResumeRun(std::int64_t storedStartCount, const RunDetails& details, std::int64_t pauseLastedMs)
{
    if (storedStartCount <= 0) return;
    startCount_ = storedStartCount;
    lockTimerOn_ = false;
    state_ = RunState::Running;
    paused_ = details.paused;
    displayTimerOn_ = !paused_;
    lapEnabled_ = !paused_;
    countDownLedHandCursor_ = false;
    lapList_.Restore(details.lines, details.selected);
    laps_.Restore(details.lapCount, details.firstLapElapsed, details.prevLapElapsed);
    if (paused_) {
        // The counter may have started again since: the run is placed back
        // from now, at the time it showed; a counter younger than the run
        // and its pause shortens the pause.
        const double speed = timer_.CountSpeed();
        const auto pausedCounts = std::max<std::int64_t>(
            0, std::llround(static_cast<double>(details.pausedAtUs) * speed));
        const auto lastedCounts = std::max<std::int64_t>(
            0, std::llround(static_cast<double>(pauseLastedMs) * 1000.0 * speed));
        const std::int64_t now = timer_.ReadCounter();
        stopCount_ = std::max(now - lastedCounts, std::min(now, pausedCounts + 1));
        startCount_ = stopCount_ - pausedCounts;
        const CommandMoment moment(*this, stopCount_);
        DisplayTick();
    }
    observer_.ControlsChanged();
}

RunDetails Chronometer::Details() const
{
    RunDetails details{lapList_.Lines(), lapList_.Selected(), laps_.LapCount(), laps_.FirstLapElapsed(),
                       laps_.PrevLapElapsed()};
    if (paused_) {
        details.paused = true;
        details.pausedAtUs =
            std::llround(static_cast<double>(stopCount_ - startCount_) / timer_.CountSpeed());
    }
    return details;
}

// --- Pause, lock, sound -----------------------------------------------------

void Chronometer::TogglePause(std::optional<std::int64_t> at)
{
    if (state_ != RunState::Running) return;
    const CommandMoment moment(*this, MomentOf(at));
    if (CountDownRanOut()) return;
    paused_ = !paused_;
    if (paused_) {
        displayTimerOn_ = false;
        stopCount_ = Now();
    } else {
        const std::int64_t pause = Now() - stopCount_;
        startCount_ += pause;
        AddPauseLine(pause);
        displayTimerOn_ = true;
    }
    lapEnabled_ = !paused_;
    observer_.ControlsChanged();
}

void Chronometer::AddPauseLine(std::int64_t pauseCounts)
{
    const std::int64_t ms = CountsToMilliseconds(pauseCounts, timer_.CountSpeed());
    lapList_.Add("PAUSE = " + StripLeadingZeros(TimeText(ms, format_), format_.DecimalPlaces()));
}

void Chronometer::ToggleLockLed()
{
    lockLedLit_ = !lockLedLit_;
    observer_.ControlsChanged();
}

void Chronometer::LockExpired()
{
    lockTimerOn_ = false;
    lockLedLit_ = false;
    observer_.ControlsChanged();
}

void Chronometer::ToggleSound()
{
    sound_ = !sound_;
    observer_.ControlsChanged();
}

// --- Laps and best time -----------------------------------------------------

void Chronometer::TakeLap(std::optional<std::int64_t> at)
{
    if (!lapEnabled_) return;
    const CommandMoment moment(*this, MomentOf(at));
    RecordLap(false);
    observer_.ControlsChanged();
}

void Chronometer::RecordLap(bool closing)
{
    DisplayTick();
    // A countdown that reached zero at this very tick has already closed the
    // run with its STOP line; a lap after that would belong to no run.
    if (!closing && !displayTimerOn_) return;
    if (!closing) {
        observer_.ShowSecondMonitorLap(countDown_ ? countDownT_ - elapsed_ : elapsed_);
        PlayEventSound(EventSound::Lap);
    }
    lapList_.Add(laps_.Take(elapsed_, currentTimeText_, closing, format_));
    // The closing line counts as a lap but is none on the big display: its
    // lap row keeps the last real lap, and with it that lap's number.
    if (!closing) observer_.SetSecondMonitorLapLabel(" Lap " + std::to_string(laps_.LapCount()) + ":");
}

void Chronometer::ClearBestTime()
{
    best_.Clear(format_.DecimalPlaces());
    observer_.ControlsChanged();
}

void Chronometer::ToggleBestTimeShown()
{
    best_.SetVisible(!best_.Visible());
    observer_.ControlsChanged();
}

void Chronometer::WriteProtocol()
{
    // The run has its number whether or not the file takes it now: the
    // writer keeps what it cannot write, and numbers never repeat.
    ++dayCounter_;
    observer_.WriteProtocol(lapList_.Lines());
}

// --- Display ------------------------------------------------------------------

void Chronometer::DisplayTick()
{
    readingMs_ = CountsToMilliseconds(Now() - startCount_, timer_.CountSpeed());
    elapsed_ = DisplayValue(readingMs_, format_.DecimalPlaces());
    ShowTime(elapsed_);
}

void Chronometer::ShowTime(std::int64_t value)
{
    if (countDown_) {
        std::int64_t remaining = countDownT_ - value;
        if (remaining < 1) {
            remaining = 0;
            if (displayTimerOn_) EndCountDown();
        } else if (displayTimerOn_ && preWarningPending_ && remaining <= PreWarningMs) {
            preWarningPending_ = false;
            PlayEventSound(EventSound::Warning);
            observer_.RestoreApplication();
        }
        value = remaining;
    }
    currentTimeText_ = TimeText(value, format_);
    observer_.TimeShown(value, digits_.Update(currentTimeText_, format_));
}

bool Chronometer::WarningFlashLit() const
{
    if (!countDown_ || !displayTimerOn_) return false;
    const std::int64_t remaining = countDownT_ - elapsed_;
    if (remaining < 1 || remaining > PreWarningMs) return false;
    // Half seconds left, counted up: the even ones are the first halves.
    return (remaining + 499) / 500 % 2 == 0;
}

void Chronometer::SelectFormat(int format)
{
    format_.SelectFormat(format);
    ShowInNewFormat();
}

void Chronometer::ToggleHours()
{
    format_.SetHoursOn(!format_.HoursOn());
    ShowInNewFormat();
}

void Chronometer::ShowInNewFormat()
{
    // Whatever the readout holds (a running, paused or stopped run, a
    // countdown's remaining time) stays there: a stopped run has no tick
    // to bring it back. A paused run reads as at its pause.
    if (paused_) {
        const CommandMoment pausedAt(*this, stopCount_);
        DisplayTick();
    } else if (displayTimerOn_) {
        DisplayTick();
    } else {
        elapsed_ = DisplayValue(readingMs_, format_.DecimalPlaces());
        ShowTime(elapsed_);
    }
    best_.Rewrite(format_);
    observer_.ControlsChanged();
}

// --- Countdown ----------------------------------------------------------------

std::string Chronometer::CountDownLedHint() const
{
    std::string hint = countDown_ ? "CountDown is ON: " : "CountDown is OFF: ";
    // Only a chronometer at rest changes its mode.
    if (state_ != RunState::Ready) hint += "after RESET, ";
    return hint + (countDown_ ? "click to count up again" : "click to count down from the preset time");
}

void Chronometer::ToggleCountDown()
{
    if (state_ != RunState::Ready) return;
    SetCountDown(!countDown_);
}

void Chronometer::SetCountDown(bool armed)
{
    if (armed == countDown_) return;
    countDown_ = armed;
    if (best_.Visible()) best_.Clear(format_.DecimalPlaces());
    stopCount_ = 0;
    readingMs_ = elapsed_ = 0;
    ShowTime(0);
    observer_.ShowSecondMonitorLap(armed ? countDownT_ : 0);
    best_.SetVisible(!armed);
    lapList_.Clear();
    observer_.ControlsChanged();
}

bool Chronometer::CountDownRanOut()
{
    // A command that comes after the countdown's end, before any tick saw
    // it, finds the run over.
    if (!countDown_ || !displayTimerOn_) return false;
    if (CountsToMilliseconds(Now() - startCount_, timer_.CountSpeed()) < ShownFromMs(countDownT_)) return false;
    EndCountDown();
    return true;
}

std::int64_t Chronometer::ShownFromMs(std::int64_t ms) const
{
    // The first elapsed time the readout shows as `ms` or more.
    const std::int64_t unit = DisplayUnitMs(format_.DecimalPlaces());
    return (std::max<std::int64_t>(ms, 0) + unit - 1) / unit * unit;
}

std::int64_t Chronometer::CountWhenShown(std::int64_t shownMs) const
{
    const std::int64_t ms = ShownFromMs(shownMs);
    const double speed = timer_.CountSpeed();
    auto counts = static_cast<std::int64_t>(std::llround(static_cast<double>(ms) * 1000.0 * speed));
    while (CountsToMilliseconds(counts, speed) < ms) ++counts;  // where rounding to microseconds falls short
    return startCount_ + counts;
}

std::optional<std::int64_t> Chronometer::CountDownDueInMs() const
{
    if (!countDown_ || !displayTimerOn_) return std::nullopt;
    std::int64_t due = CountWhenShown(countDownT_);
    if (preWarningPending_) due = std::min(due, CountWhenShown(countDownT_ - PreWarningMs));
    const double us = static_cast<double>(due - timer_.ReadCounter()) / timer_.CountSpeed();
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(std::ceil(us / 1000.0)));
}

void Chronometer::EndCountDown()
{
    // The run ended the moment its time ran out, not at the tick or command that noticed it.
    const CommandMoment end(*this, CountWhenShown(countDownT_));
    displayTimerOn_ = false;
    Stop();  // a STOP in countdown mode: closing line and stop sound
    lapEnabled_ = false;
    observer_.RestoreApplication();
    PlayEventSound(EventSound::CountDownEnd);
    stopCount_ = 0;  // the next START is a fresh one
    state_ = RunState::Stopped;
    WriteProtocol();
    observer_.ControlsChanged();
}

}  // namespace chronivel
