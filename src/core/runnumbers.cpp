// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/runnumbers.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "core/protocolcsv.h"
#include "core/textencoding.h"

namespace chronivel {

namespace {

constexpr std::string_view kStart = "START ";

std::optional<RunHead> StartLineIn(std::string_view line)
{
    const std::size_t start = line.find(kStart);
    if (start == std::string_view::npos) return std::nullopt;
    line.remove_prefix(start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return ParseStartLine(line);
}

// The date follows the day's name: "Mo. 07.12.26".
bool BeganOn(const RunHead& head, std::string_view shortDate)
{
    const std::string_view date = head.date;
    if (shortDate.empty() || !date.ends_with(shortDate)) return false;
    return date.size() == shortDate.size() || date[date.size() - shortDate.size() - 1] == ' ';
}

std::optional<std::int32_t> Number(const RunHead& head)
{
    std::int32_t number = 0;
    const char* end = head.run.data() + head.run.size();
    const auto [last, error] = std::from_chars(head.run.data(), end, number);
    if (error != std::errc() || last != end || number > kMostRunsADay) return std::nullopt;
    return number;
}

}  // namespace

std::optional<std::int32_t> RunNumberOn(std::string_view line, std::string_view shortDate)
{
    const std::optional<RunHead> head = StartLineIn(line);
    if (!head || !BeganOn(*head, shortDate)) return std::nullopt;
    return Number(*head);
}

DayRuns RunsOn(std::string_view fileBytes, std::string_view shortDate)
{
    const std::string date = Utf8ToWindows1252(shortDate);
    DayRuns runs;
    for (std::size_t begin = 0; begin < fileBytes.size();) {
        const std::size_t end = std::min(fileBytes.find('\n', begin), fileBytes.size());
        const std::optional<RunHead> head = StartLineIn(fileBytes.substr(begin, end - begin));
        begin = end + 1;
        if (!head) continue;
        if (!BeganOn(*head, date)) {
            runs.otherDaySeen = true;
        } else if (const std::optional<std::int32_t> number = Number(*head)) {
            runs.highest = std::max(runs.highest, *number);
        }
    }
    return runs;
}

}  // namespace chronivel
