// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "core/localetexts.h"

namespace chronivel {

// When an alarm set now for a time of day rings: today, or tomorrow when
// that time is not later than now.
struct AlarmDue {
    std::int64_t epochMs = 0;
    bool tomorrow = false;
};

// The alarm clock: a time of day, armed or not, ringing or not. It knows the
// moment it is due on the wall clock, so that it rings once, as soon as it
// is looked at, after a suspend or while the program was not running.
class AlarmClock {
public:
    // `clock` turns a time of day into its moment, each day with its own
    // offset from UTC: an alarm set across a change of daylight saving time
    // rings at the time on the wall.
    explicit AlarmClock(const LocaleTexts& clock) : clock_(clock) {}

    static constexpr int DaySeconds = 86'400;
    static constexpr std::int64_t DayMs = 86'400'000;
    // The time a damaged stored value shows: the dialog's own 23:59:59.
    static constexpr double DefaultTime = (DaySeconds - 1) / double(DaySeconds);
    // How long it rings unless the user hears it first.
    static constexpr std::int64_t RingMs = 60'000;
    // It rings when at most this much is left.
    static constexpr std::int64_t EarlyMs = 1'000;

    // The stored state: `time` a fraction of a day in [0, 1), `dueMs` the
    // moment it is due, 0 when an earlier version stored it without; then it
    // is due today if that time is still to come, else it is off.
    void Restore(double time, bool armed, std::int64_t dueMs, std::int64_t nowMs);

    bool Armed() const { return armed_; }
    bool Ringing() const { return ringing_; }
    // The time it is set to, as a fraction of a day, and in whole seconds 0..86399.
    double Time() const { return time_; }
    int Second() const { return SecondOfDay(time_); }
    int Hours() const { return Second() / 3600; }
    int Minutes() const { return Second() / 60 % 60; }
    int Seconds() const { return Second() % 60; }
    // When an armed alarm is due, ms since 1970.
    std::int64_t DueMs() const { return dueMs_; }

    // Words naming the field out of range, "" when the time is one.
    static std::string Check(int hours, int minutes, int seconds);
    // When that time of day comes next after `nowMs` on the local clock.
    AlarmDue DueFor(int hours, int minutes, int seconds, std::int64_t nowMs) const;
    // Sets a checked time; an armed alarm is due at DueFor.
    void Set(bool armed, int hours, int minutes, int seconds, std::int64_t nowMs);

    enum class Step { None, Rang, Silenced };
    // A tick of its timer at the wall clock's `nowMs`: it rings when at most
    // EarlyMs are left (or the moment has passed), and falls silent RingMs later.
    Step Tick(std::int64_t nowMs);
    // The user heard it; false when it was not ringing.
    bool Acknowledge();

    // 0.5 -> 43200; a fraction that rounds up to the next day is its last second.
    static int SecondOfDay(double fraction);
    // "06:30:00".
    static std::string ClockText(int secondOfDay);
    // "today 18:00:00", "tomorrow 06:30:00".
    static std::string DueText(const AlarmDue& due, int secondOfDay);
    // An alarm that fell due while the program was not running, told as it
    // rings at the start: "… was due yesterday at 06:30:00, …".
    std::string MissedText(std::int64_t nowMs) const;

private:
    const LocaleTexts& clock_;
    double time_ = 0.0;
    bool armed_ = false;
    bool ringing_ = false;
    std::int64_t dueMs_ = 0;
    std::int64_t ringSince_ = 0;
};

}  // namespace chronivel
