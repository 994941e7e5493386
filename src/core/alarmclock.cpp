// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alarmclock.h"

#include <algorithm>
#include <cmath>

namespace chronivel {

namespace {

std::string TwoDigits(int value)
{
    return std::string(1, char('0' + value / 10)) + char('0' + value % 10);
}

}  // namespace

int AlarmClock::SecondOfDay(double fraction)
{
    return std::clamp(static_cast<int>(std::lround(fraction * DaySeconds)), 0, DaySeconds - 1);
}

std::string AlarmClock::ClockText(int secondOfDay)
{
    return TwoDigits(secondOfDay / 3600) + ":" + TwoDigits(secondOfDay / 60 % 60) + ":" + TwoDigits(secondOfDay % 60);
}

std::string AlarmClock::DueText(const AlarmDue& due, int secondOfDay)
{
    return (due.tomorrow ? "tomorrow " : "today ") + ClockText(secondOfDay);
}

std::string AlarmClock::MissedText(std::int64_t nowMs) const
{
    const std::int64_t midnight = clock_.LocalMoment(nowMs, 0, 0);
    std::string when = "today";
    if (DueMs() < midnight) {
        const std::int64_t days = (midnight - DueMs() - 1) / DayMs + 1;
        when = days == 1 ? "yesterday" : std::to_string(days) + " days ago";
    }
    const std::string time = ClockText(Second());
    return "The alarm set for " + time + " was due " + when + " at " + time +
           ", while Chronivel was not running: it rings now.";
}

std::string AlarmClock::Check(int hours, int minutes, int seconds)
{
    if (hours < 0 || hours > 23) return "The hours must be 0 to 23, not " + std::to_string(hours) + ".";
    if (minutes < 0 || minutes > 59) return "The minutes must be 0 to 59, not " + std::to_string(minutes) + ".";
    if (seconds < 0 || seconds > 59) return "The seconds must be 0 to 59, not " + std::to_string(seconds) + ".";
    return {};
}

AlarmDue AlarmClock::DueFor(int hours, int minutes, int seconds, std::int64_t nowMs) const
{
    const int second = hours * 3600 + minutes * 60 + seconds;
    const AlarmDue today{clock_.LocalMoment(nowMs, 0, second)};
    // The current second has passed too: it means tomorrow.
    if (today.epochMs > nowMs) return today;
    return {clock_.LocalMoment(nowMs, 1, second), true};
}

void AlarmClock::Restore(double time, bool armed, std::int64_t dueMs, std::int64_t nowMs)
{
    time_ = time;
    armed_ = armed;
    dueMs_ = dueMs;
    if (armed_ && dueMs_ == 0) {
        const AlarmDue due = DueFor(Hours(), Minutes(), Seconds(), nowMs);
        armed_ = !due.tomorrow;
        dueMs_ = armed_ ? due.epochMs : 0;
    }
    if (!armed_) dueMs_ = 0;
}

void AlarmClock::Set(bool armed, int hours, int minutes, int seconds, std::int64_t nowMs)
{
    time_ = (hours * 3600 + minutes * 60 + seconds) / double(DaySeconds);
    armed_ = armed;
    dueMs_ = armed ? DueFor(hours, minutes, seconds, nowMs).epochMs : 0;
}

AlarmClock::Step AlarmClock::Tick(std::int64_t nowMs)
{
    if (armed_ && dueMs_ - nowMs <= EarlyMs) {
        armed_ = false;
        dueMs_ = 0;
        ringing_ = true;
        ringSince_ = nowMs;
        return Step::Rang;
    }
    // A wall clock set back while it rings must not keep it ringing.
    if (ringing_ && (nowMs - ringSince_ >= RingMs || nowMs < ringSince_)) {
        ringing_ = false;
        return Step::Silenced;
    }
    return Step::None;
}

bool AlarmClock::Acknowledge()
{
    const bool was = ringing_;
    ringing_ = false;
    return was;
}

}  // namespace chronivel
