// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocolcsv.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

namespace chronivel {

namespace {

constexpr std::string_view kAverageSign = "\u00D8";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsDigits(std::string_view s)
{
    if (s.empty()) return false;
    for (const char c : s)
        if (!IsDigit(c)) return false;
    return true;
}

// A time as the lap list writes it: digits with ':', '.' and ',' between
// them, such as "12,3", "1.05,120", "01:02.03,456" or "3723,456".
bool IsTime(std::string_view s)
{
    if (s.empty() || !IsDigit(s.front()) || !IsDigit(s.back())) return false;
    for (const char c : s)
        if (!IsDigit(c) && c != ':' && c != '.' && c != ',') return false;
    return true;
}

// A number of at most `maxDigits` digits and nothing else.
std::optional<long> SmallNumber(std::string_view s, std::size_t maxDigits)
{
    if (!IsDigits(s) || s.size() > maxDigits) return std::nullopt;
    long value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Takes a word off the front of `rest`, up to the next space.
std::string_view NextWord(std::string_view& rest)
{
    rest = TrimLeft(rest);
    const std::size_t end = std::min(rest.find(' '), rest.size());
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

// The times after "= " of a LAP or STOP line:
//   split [ "(" ["+"]sinceFirst ")" lapTime [ "Ø" average ] ]
// The lap list pads short times with spaces, also inside the brackets.
bool ParseTimes(std::string_view rest, ProtocolRow& row, bool stop)
{
    const std::string_view split = NextWord(rest);
    if (!IsTime(split)) return false;
    row.split = split;
    rest = TrimLeft(rest);
    if (rest.empty()) {
        // The first lap (or the stop of a run without laps) has no lap before
        // it: its lap time is its split, which a spreadsheet adding up lap
        // times needs.
        if (stop || row.lap == "1") row.lapTime = split;
        return true;
    }

    if (rest.front() != '(') return false;
    const std::size_t close = rest.find(')');
    if (close == std::string_view::npos) return false;
    std::string_view sinceFirst = TrimLeft(rest.substr(1, close - 1));
    if (!sinceFirst.empty() && sinceFirst.front() == '+') sinceFirst.remove_prefix(1);
    sinceFirst = TrimRight(TrimLeft(sinceFirst));
    const std::string_view afterBracket = rest.substr(close + 1);
    rest = afterBracket;
    const std::string_view lapTime = NextWord(rest);
    if (!IsTime(sinceFirst) || !IsTime(lapTime)) return false;
    row.sinceFirst = sinceFirst;
    row.lapTime = lapTime;

    rest = TrimLeft(rest);
    if (rest.empty()) return true;
    if (!stop || !rest.starts_with(kAverageSign)) return false;
    rest.remove_prefix(kAverageSign.size());
    const std::string_view average = NextWord(rest);
    if (!IsTime(average) || !TrimLeft(rest).empty()) return false;
    row.average = average;
    return true;
}

// "LAP 1 = ...", "LAP10 = ...", "PAUSE = ..." and "STOP: = ..." lines.
std::optional<ProtocolRow> ParseTimedLine(std::string_view line)
{
    ProtocolRow row;
    const std::size_t equals = line.find(" = ");
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view head = line.substr(0, equals);
    const std::string_view rest = line.substr(equals + 3);

    if (head == "STOP:") {
        row.kind = "STOP";
        if (!ParseTimes(rest, row, true)) return std::nullopt;
    } else if (head == "PAUSE") {
        row.kind = "PAUSE";
        const std::string_view time = TrimLeft(rest);
        if (!IsTime(time)) return std::nullopt;
        row.split = time;
    } else if (head.starts_with("LAP")) {
        const std::string_view number = TrimLeft(head.substr(3));
        if (!IsDigits(number)) return std::nullopt;
        row.kind = "LAP";
        row.lap = number;
        if (!ParseTimes(rest, row, false)) return std::nullopt;
    } else {
        return std::nullopt;
    }
    return row;
}

}  // namespace

std::optional<RunHead> ParseStartLine(std::string_view line)
{
    if (!line.starts_with("START ")) return std::nullopt;
    std::string_view rest = line.substr(6);
    const std::size_t first = rest.find(" = ");
    if (first == std::string_view::npos || !IsDigits(TrimLeft(rest.substr(0, first)))) return std::nullopt;
    RunHead head;
    head.run = TrimLeft(rest.substr(0, first));
    rest.remove_prefix(first + 3);
    const std::size_t second = rest.find(" = ");
    if (second == std::string_view::npos) return std::nullopt;
    head.startTime = TrimRight(rest.substr(0, second));
    head.date = TrimLeft(rest.substr(second + 3));
    return head;
}

std::vector<ProtocolRow> ProtocolRows(std::string_view text)
{
    std::vector<ProtocolRow> rows;
    RunHead run;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = TrimRight(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));

        if (line.starts_with("START")) {
            // A START line that cannot be read still ends the run before it:
            // its laps are better without a run than under the wrong one.
            run = ParseStartLine(line).value_or(RunHead{});
        } else if (std::optional<ProtocolRow> row = ParseTimedLine(line)) {
            row->run = run.run;
            row->date = run.date;
            row->startTime = run.startTime;
            rows.push_back(std::move(*row));
        }
    }
    return rows;
}

std::string CsvField(std::string_view value)
{
    if (value.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(value);
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string TimeInSeconds(std::string_view time)
{
    if (!IsTime(time)) return {};
    // [hours ":"] [minutes "."] seconds "," fraction, as the time text writes
    // it; a seconds format has up to six digits of seconds and nothing before.
    const std::size_t comma = time.find(',');
    std::string_view whole = time.substr(0, comma);
    const std::string_view fraction = comma == std::string_view::npos ? std::string_view() : time.substr(comma + 1);
    if (comma != std::string_view::npos && !IsDigits(fraction)) return {};
    const std::size_t wholeSize = whole.size();
    long seconds = 0;
    for (const auto& [sign, unit] : {std::pair{':', 3600L}, std::pair{'.', 60L}}) {
        const std::size_t at = whole.find(sign);
        if (at == std::string_view::npos) continue;
        const std::optional<long> field = SmallNumber(whole.substr(0, at), 2);
        if (!field) return {};
        seconds += *field * unit;
        whole.remove_prefix(at + 1);
    }
    const bool secondsOnly = whole.size() == wholeSize;  // no hours or minutes came off
    const std::optional<long> rest = SmallNumber(whole, secondsOnly ? 6 : 2);
    if (!rest) return {};
    seconds += *rest;
    return std::to_string(seconds) + (fraction.empty() ? "" : "." + std::string(fraction));
}

std::string ProtocolCsv(std::string_view text, const DateReader& isoDate)
{
    std::string csv =
        "Run,Date,ISO date,Start,Kind,Lap,Split,Split (s),Since first lap,Since first lap (s),"
        "Lap time,Lap time (s),Average,Average (s)\r\n";
    for (const ProtocolRow& row : ProtocolRows(text)) {
        // The START line's date is the day's name, ". " and the short date.
        const std::size_t dayName = row.date.find(". ");
        const std::string date =
            dayName == std::string::npos ? std::string() : isoDate(std::string_view(row.date).substr(dayName + 2));
        const std::string fields[] = {row.run,        row.date,     date,
                                      row.startTime,  row.kind,     row.lap,
                                      row.split,      TimeInSeconds(row.split),
                                      row.sinceFirst, TimeInSeconds(row.sinceFirst),
                                      row.lapTime,    TimeInSeconds(row.lapTime),
                                      row.average,    TimeInSeconds(row.average)};
        for (const std::string& field : fields) csv += CsvField(field) + ',';
        csv.back() = '\r';
        csv += '\n';
    }
    return csv;
}

}  // namespace chronivel
