#pragma once

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

// The timed lines of a protocol's text (UTF-8, LF or CR LF line ends). The
// text may have been edited by hand: a line of no known form is left out.
std::vector<ProtocolRow> ProtocolRows(std::string_view text);

// The rows as CSV for a spreadsheet: a header row first, UTF-8, CR LF row
// ends, fields holding a comma, quote or line break in quotes.
std::string ProtocolCsv(std::string_view text);

// One CSV field, quoted when it has to be.
std::string CsvField(std::string_view value);

}  // namespace chronivel
