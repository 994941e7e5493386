// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/chronometer.h"
#include "core/highrestimer.h"

namespace chronivel {

// What the live view's viewers are sent: the run as events, never ticks. A
// viewer draws the running time itself from the run's origin on the
// program's clock (the counter, in milliseconds), which it keeps in step by
// ping; so a hundred viewers cost nothing while a run just runs.
//
// Messages are JSON objects with a "type": "hello" (everything, at connect),
// "state" (the run started, paused, went on, stopped or was reset, the format
// or the countdown changed), "lap" (a line added to the run's laps), "run" (a
// finished run is in the protocol) and "pong" (the answer to a ping).

// One lap line of the run in fields, as the lap list writes them:
// "LAP 2 = 25,000 (+12,655) 12,655" is lap 2, split 25,000, +12,655 from
// lap 1, lap time 12,655. The closing "STOP: = …" line is lap 0.
struct LiveLap {
    int number = 0;
    std::string line, split, diff, lap;
};
// Nothing for a line that is no lap: START and PAUSE.
std::optional<LiveLap> LapOfLine(std::string_view line);

// The runs of the day `shortDate` in the protocol's text (as
// ProtocolFileToText gives it), oldest first, each its lines.
std::vector<std::vector<std::string>> RunsOfDay(std::string_view protocolText, std::string_view shortDate);

// A link's secret: what the program makes (32 hex digits, 128 bits) or a
// hand-made one of letters, digits, '-' and '_' no shorter.
bool UsableLiveToken(std::string_view token);

class LiveFeed {
public:
    LiveFeed(const Chronometer& clock, THighResTimer& timer) : clock_(clock), timer_(timer) {}

    // The program's clock now, ms: what "origin" and "clock" are on.
    double ClockMs() { return Ms(timer_.ReadCounter()); }
    // Everything a new viewer needs, as the last Changes left it.
    std::string Hello(const std::vector<std::vector<std::string>>& runsToday);
    // What changed since the last Hello or Changes; nothing while a run just runs.
    std::vector<std::string> Changes();
    std::string Pong(std::int64_t id);
    static std::string Run(const std::vector<std::string>& lines);

private:
    double Ms(std::int64_t counts) const;
    std::string State() const;
    // The state with the moment it is told, on the program's clock.
    std::string Stamped(const std::string& state);
    static std::string Lap(const LiveLap& lap);

    const Chronometer& clock_;
    THighResTimer& timer_;
    std::string stateSent_;
    std::size_t linesSent_ = 0;
};

}  // namespace chronivel
