// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/besttime.h"
#include "core/chronometerobserver.h"
#include "core/highrestimer.h"
#include "core/laplist.h"
#include "core/laps.h"
#include "core/localetexts.h"
#include "core/readoutdigits.h"
#include "core/rundetails.h"
#include "core/runstate.h"
#include "core/timetext.h"

namespace chronivel {

// The stopwatch itself: one command that starts, stops and resets a run,
// pause and continue, laps, the best time, the countdown and the lock after
// a start. It holds every piece of state that the windows show, and it is
// passive: the windows' timers call DisplayTick and LockExpired while
// DisplayTimerOn() and LockTimerOn() say so.
class Chronometer {
public:
    static constexpr std::int32_t DefaultCountDownT = 60'000;
    static constexpr std::int64_t PreWarningMs = 10'000;

    Chronometer(THighResTimer& timer, const LocaleTexts& locale, ChronometerObserver& observer);

    // Commands. A command whose entry is disabled does nothing. `at` is the
    // counter reading of the moment the command was given, where that is
    // known better than "now" (a light barrier's edge, stamped as it came);
    // a moment before the previous command's counts as that one.
    void StartStopReset(std::optional<std::int64_t> at = std::nullopt);  // START, STOP or RESET
    void ResetRun();          // RESET from any state
    void TogglePause(std::optional<std::int64_t> at = std::nullopt);  // pause or continue a running run
    void TakeLap(std::optional<std::int64_t> at = std::nullopt);    // take a lap; while running and not paused
    void ToggleLockLed();           // toggles the lock LED
    void ToggleSound();
    void ToggleCountDown();   // arms or disarms the countdown, in the Ready state only
    void ClearBestTime();   // clears the best time
    void ToggleBestTimeShown();       // shows or hides the best time
    void SelectFormat(int format);  // 0..5
    void ToggleHours();

    void DisplayTick();          // display tick
    void LockExpired();       // the lock after a start has run out
    // Milliseconds, rounded up, from now to the running countdown's next
    // moment: its warning while that is pending, then its end. The display
    // tick keeps the screen's pace, so a window wakes for these with a timer
    // of its own and then calls DisplayTick.
    std::optional<std::int64_t> CountDownDueInMs() const;

    // Start-up: continues a run that was going when the program last closed,
    // with its lap list, laps and pause; a paused run comes back paused at the
    // time it showed, its pause `pauseLastedMs` long already. Details from
    // before they were kept are empty.
    void ResumeRun(std::int64_t storedStartCount, const RunDetails& details = {}, std::int64_t pauseLastedMs = 0);
    void SetCountDown(bool armed);
    void ShowTime(std::int64_t value);

    // Settings.
    bool Sound() const { return sound_; }
    void SetSound(bool on) { sound_ = on; }
    bool CountDown() const { return countDown_; }
    std::int32_t CountDownT() const { return countDownT_; }
    // A preset below 1 ms means the default.
    void SetCountDownT(std::int32_t ms) { countDownT_ = ms < 1 ? DefaultCountDownT : ms; }
    // The user chose another preset: a readout at rest shows it at once, on
    // the second monitor too. A run's time stays as it is, also a stopped
    // countdown's, which waits Ready to go on from where it stood.
    void ChangeCountDownT(std::int32_t ms);
    std::int32_t DayCounter() const { return dayCounter_; }
    void SetDayCounter(std::int32_t runs) { dayCounter_ = runs; }
    void SetLockSeconds(std::int32_t seconds) { lockSeconds_ = seconds; }
    const TimeFormat& Format() const { return format_; }
    TimeFormat& Format() { return format_; }
    const BestTime& Best() const { return best_; }
    BestTime& Best() { return best_; }

    // Run state, as the buttons show it.
    RunState State() const { return state_; }
    bool Paused() const { return paused_; }
    bool PauseVisible() const { return state_ == RunState::Running; }
    const char* PauseHint() const { return paused_ ? "Continue/Toggle" : "Pause/Toggle"; }
    bool LapEnabled() const { return lapEnabled_; }

    // Timers the windows run for the chronometer.
    bool DisplayTimerOn() const { return displayTimerOn_; }
    bool LockTimerOn() const { return lockTimerOn_; }
    std::int32_t LockIntervalMs() const;

    // LEDs and their labels.
    bool LockLedLit() const { return lockLedLit_; }
    bool CountDownLedHandCursor() const { return countDownLedHandCursor_; }
    // What the LED shows and what a click on it does.
    std::string CountDownLedHint() const;
    const char* ModeLabel() const { return ModeLabel(countDown_); }
    static const char* ModeLabel(bool countDown) { return countDown ? "CountDown" : "Chronivel"; }

    const LapList& Lines() const { return lapList_; }
    const std::string& CurrentTimeText() const { return currentTimeText_; }
    const ReadoutDigits& Digits() const { return digits_; }

    // The run.
    std::int64_t StartCount() const { return startCount_; }
    std::int64_t StopCount() const { return stopCount_; }
    std::int64_t Elapsed() const { return elapsed_; }
    const std::string& StartText() const { return startText_; }
    // What a restart needs beside StartCount to carry on the run in progress.
    RunDetails Details() const;
    // How many runs were started since the program began; tells one run from the next.
    std::uint64_t RunsStarted() const { return runsStarted_; }
    // Milliseconds of the run at `counter` since its previous lap, or since its start.
    std::int64_t SinceLastLapMs(std::int64_t counter) const;
    bool PreWarningPending() const { return preWarningPending_; }
    // The readout flashes through a running countdown's last ten seconds, so
    // that the warning is seen with the sound off: lit for the first half of
    // each second of the time left, as the readout shows it.
    bool WarningFlashLit() const;

private:
    // Sets the moment of the command being carried out; unset, it is now.
    class CommandMoment;
    std::int64_t MomentOf(std::optional<std::int64_t> at);
    std::int64_t Now() { return commandAt_ ? *commandAt_ : timer_.ReadCounter(); }
    void Start();
    void Stop();
    void Reset();
    void RecordLap(bool closing);
    bool CountDownRanOut();
    // The format changed: the time shown now, and the best time, are written anew in it.
    void ShowInNewFormat();
    std::int64_t ShownFromMs(std::int64_t ms) const;
    // The counter reading at which the readout first shows `shownMs` or more.
    std::int64_t CountWhenShown(std::int64_t shownMs) const;
    void EndCountDown();
    void WriteProtocol();
    void PlayEventSound(EventSound sound) { if (sound_) observer_.PlaySound(sound); }
    void AddPauseLine(std::int64_t pauseCounts);

    THighResTimer& timer_;
    const LocaleTexts& locale_;
    ChronometerObserver& observer_;

    bool sound_ = true;
    bool countDown_ = false;
    std::int32_t countDownT_ = DefaultCountDownT;
    std::int32_t dayCounter_ = 0;
    std::int32_t lockSeconds_ = 0;
    TimeFormat format_;
    BestTime best_;

    RunState state_ = RunState::Ready;
    bool paused_ = false;
    bool lapEnabled_ = false;
    bool displayTimerOn_ = false;
    bool lockTimerOn_ = false;
    bool lockLedLit_ = false;
    bool countDownLedHandCursor_ = true;
    bool preWarningPending_ = false;

    std::int64_t startCount_ = 0;   // counter at the start, moved on by pauses; 0 = no run
    std::int64_t stopCount_ = 0;    // counter at the last pause or STOP
    std::int64_t stoppedCountDownStart_ = 0;  // start count of a countdown stopped by STOP, for its resume
    std::int64_t elapsed_ = 0;      // display value of the elapsed time
    std::int64_t readingMs_ = 0;    // the elapsed time behind it, uncut, for another resolution
    Laps laps_;
    LapList lapList_;
    std::string startText_;
    std::uint64_t runsStarted_ = 0;
    std::optional<std::int64_t> commandAt_;
    std::int64_t lastMoment_ = 0;  // of the latest command; stamped moments never go back before it
    std::string currentTimeText_;
    ReadoutDigits digits_;
};

// The display tick's period for a screen showing a frame every `frameMs`:
// it only draws the time, so it comes once a frame (a readout with tenths
// needs no more than every 36 ms). The countdown's warning and end are due at
// moments of their own (CountDownDueInMs), and laps, stops and barrier edges
// are stamped by the time source, so none of them waits for this tick.
constexpr int DisplayTickIntervalMs(int decimalPlaces, double frameMs)
{
    int frame = static_cast<int>(frameMs);
    if (frame < frameMs) ++frame;  // never more ticks than frames
    return decimalPlaces == 1 && frame < 36 ? 36 : frame;
}

}  // namespace chronivel
