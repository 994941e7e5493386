// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/commandline.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace chronivel {

namespace {

std::optional<int> Integer(std::string_view text)
{
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (const std::string& argument : arguments) {
        if (argument.size() < 2 || argument[0] != '/') continue;
        const std::optional<int> number = Integer(std::string_view(argument).substr(2));
        if (!number) continue;
        switch (argument[1]) {
        case 'D':
        case 'd': line.digitCount = *number; break;
        case 'R':
        case 'r': line.roundPercent = *number; break;
        default: break;
        }
    }
    return line;
}

}  // namespace chronivel
