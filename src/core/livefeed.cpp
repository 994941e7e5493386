// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/livefeed.h"

#include <algorithm>
#include <cstdio>

#include "core/runnumbers.h"

namespace chronivel {

namespace {

// A JSON string: the lines are UTF-8 already; quotes, backslashes and
// control characters are escaped.
void Quoted(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string Number(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", ms);
    return text;
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string out = "[";
    for (const std::string& line : lines) {
        if (out.size() > 1) out += ',';
        Quoted(out, line);
    }
    return out + "]";
}

const char* Phase(RunState state)
{
    switch (state) {
    case RunState::Running: return "running";
    case RunState::Stopped: return "stopped";
    default: return "ready";
    }
}

// The next word of `rest` and what follows it; empty at the end.
std::string_view NextWord(std::string_view& rest)
{
    const std::size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) return rest = {};
    rest.remove_prefix(start);
    const std::size_t end = std::min(rest.find(' '), rest.size());
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

}  // namespace

std::optional<LiveLap> LapOfLine(std::string_view line)
{
    LiveLap lap;
    if (line.starts_with("LAP")) {
        // "LAP 1 = " up to lap 9, then "LAP10 = "
        std::string_view digits = line.substr(3);
        digits.remove_prefix(std::min(digits.find_first_not_of(' '), digits.size()));
        for (; !digits.empty() && digits.front() >= '0' && digits.front() <= '9'; digits.remove_prefix(1))
            lap.number = lap.number * 10 + (digits.front() - '0');
        if (lap.number == 0) return std::nullopt;
    } else if (!line.starts_with("STOP")) {
        return std::nullopt;
    }
    const std::size_t equals = line.find("= ");
    if (equals == std::string_view::npos) return std::nullopt;
    lap.line = line;
    std::string_view rest = line.substr(equals + 2);
    lap.split = NextWord(rest);
    // "(+12,655)", padded inside its brackets: "( +1,000)"
    if (const std::size_t open = rest.find('('), close = rest.find(')'); open < close && close != rest.npos) {
        std::string_view diff = rest.substr(open + 1, close - open - 1);
        lap.diff = NextWord(diff);
        rest.remove_prefix(close + 1);
        lap.lap = NextWord(rest);  // the STOP line's average follows it
    }
    return lap;
}

std::vector<std::vector<std::string>> RunsOfDay(std::string_view text, std::string_view shortDate)
{
    std::vector<std::vector<std::string>> runs;
    bool inRun = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (RunNumberOn(line, shortDate)) {
            runs.emplace_back();
            inRun = true;
        } else if (line.starts_with("START")) {
            inRun = false;  // another day's run
        }
        if (line.empty() || line.find_first_not_of('_') == std::string_view::npos) continue;  // its separators
        if (inRun) runs.back().emplace_back(line);
    }
    return runs;
}

bool UsableLiveToken(std::string_view token)
{
    return token.size() >= 32 && token.size() <= 128 && std::all_of(token.begin(), token.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                      c == '_';
           });
}

double LiveFeed::Ms(std::int64_t counts) const
{
    return static_cast<double>(counts) / timer_.CountSpeed() / 1000.0;
}

std::string LiveFeed::State() const
{
    const Chronometer& c = clock_;
    const TimeFormat& f = c.Format();
    const bool running = c.State() == RunState::Running && !c.Paused();
    std::string out = "{\"phase\":\"" + std::string(Phase(c.State())) + "\",\"paused\":" +
                      (c.Paused() ? "true" : "false") + ",\"countDown\":" + (c.CountDown() ? "true" : "false") +
                      ",\"preset\":" + std::to_string(c.CountDownT()) + ",\"origin\":" +
                      Number(running ? Ms(c.StartCount()) : 0.0) +
                      ",\"format\":{\"hours\":" + (f.ShowsHours() ? "true" : "false") +
                      ",\"decimals\":" + std::to_string(f.DecimalPlaces()) +
                      ",\"digits\":" + std::to_string(f.DigitCount()) +
                      "},\"warnMs\":" + std::to_string(Chronometer::PreWarningMs) + ",\"text\":";
    // The running time's text is the viewer's own to draw; at rest it is the readout's, exactly.
    Quoted(out, running ? std::string_view{} : std::string_view{c.CurrentTimeText()});
    return out + '}';
}

std::string LiveFeed::Stamped(const std::string& state)
{
    return "\"clock\":" + Number(ClockMs()) + ",\"state\":" + state;
}

std::string LiveFeed::Lap(const LiveLap& lap)
{
    std::string out = "{\"n\":" + std::to_string(lap.number) + ",\"line\":";
    Quoted(out, lap.line);
    for (const auto& [name, value] : {std::pair{"split", &lap.split}, {"diff", &lap.diff}, {"lap", &lap.lap}}) {
        out += ",\"" + std::string(name) + "\":";
        Quoted(out, *value);
    }
    return out + "}";
}

std::string LiveFeed::Hello(const std::vector<std::vector<std::string>>& runsToday)
{
    std::string out = "{\"type\":\"hello\",\"version\":1,\"title\":\"Chronivel\"," + Stamped(State()) + ",\"laps\":[";
    bool first = true;
    for (const std::string& line : clock_.Lines().Lines())
        if (const std::optional<LiveLap> lap = LapOfLine(line)) {
            if (!first) out += ',';
            first = false;
            out += Lap(*lap);
        }
    out += "],\"runs\":[";
    for (std::size_t i = 0; i < runsToday.size(); ++i)
        out += (i > 0 ? ",{\"lines\":" : "{\"lines\":") + Lines(runsToday[i]) + "}";
    return out + "]}";
}

std::vector<std::string> LiveFeed::Changes()
{
    std::vector<std::string> messages;
    const std::vector<std::string>& lines = clock_.Lines().Lines();
    if (lines.size() < linesSent_) linesSent_ = 0;  // a reset cleared them
    if (std::string state = State(); state != stateSent_) {
        stateSent_ = std::move(state);
        messages.push_back("{\"type\":\"state\"," + Stamped(stateSent_) + "}");
    }
    for (; linesSent_ < lines.size(); ++linesSent_)
        if (const std::optional<LiveLap> lap = LapOfLine(lines[linesSent_]))
            messages.push_back("{\"type\":\"lap\",\"lap\":" + Lap(*lap) + "}");
    return messages;
}

std::string LiveFeed::Pong(std::int64_t id)
{
    return "{\"type\":\"pong\",\"id\":" + std::to_string(id) + ",\"clock\":" + Number(ClockMs()) + "}";
}

std::string LiveFeed::Run(const std::vector<std::string>& lines)
{
    return "{\"type\":\"run\",\"run\":{\"lines\":" + Lines(lines) + "}}";
}

}  // namespace chronivel
