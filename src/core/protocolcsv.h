// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronivel {

// One timed line of a protocol, with the run it belongs to.
struct ProtocolRow {
    std::string run;        // the number of its START line; empty before any START
    std::string date;       // "Mo. 07.12.26"
    std::string startTime;  // "14:05:09"
    std::string kind;       // "LAP", "PAUSE" or "STOP"
    std::string lap;        // the lap's number; empty for PAUSE and STOP
    std::string split;      // the line's time: "25,000"
    std::string sinceFirst; // distance to the first lap, without its "+"
    std::string lapTime;
    std::string average;    // STOP lines only

    friend bool operator==(const ProtocolRow&, const ProtocolRow&) = default;
};

// The run's number, start time and date from "START 3 = 14:05:09 = Mo. 07.12.26"
// (the date with its day's name, "Mo. 07.12.26"); nothing for another line.
struct RunHead {
    std::string run;
    std::string startTime;
    std::string date;
};
std::optional<RunHead> ParseStartLine(std::string_view line);

// The timed lines of a protocol's text (UTF-8, LF or CR LF line ends). The
// text may have been edited by hand: a line of no known form is left out.
std::vector<ProtocolRow> ProtocolRows(std::string_view text);

// A time of the lap list as a number of seconds with a decimal point, which a
// spreadsheet can compute with: "1.07,006" gives "67.006", "01:02.03,45"
// gives "3723.45". Empty for a text that is no time.
std::string TimeInSeconds(std::string_view time);

// The short date of a START line, as the locale that wrote it had it, in
// ISO 8601 ("2026-12-08"); empty when it cannot be read.
using DateReader = std::function<std::string(std::string_view shortDate)>;

// The rows as CSV for a spreadsheet: a header row first, UTF-8, CR LF row
// ends, fields holding a comma, quote or line break in quotes. Each date and
// time is there twice: as the protocol shows it, and in a column of its own
// as a spreadsheet reads it (ISO date, seconds with a decimal point).
std::string ProtocolCsv(std::string_view text, const DateReader& isoDate);

// One CSV field, quoted when it has to be.
std::string CsvField(std::string_view value);

}  // namespace chronivel
