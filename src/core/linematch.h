// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace chronivel {

// Which lines of an old text are still there, unchanged and in order, in a
// new one: for each new line the number of the old line it is, or kNewLine.
// The pairing keeps as many lines as a shortest edit script does (Myers'
// algorithm), between the lines both texts share at their start and end. An
// edit too large to search pairs none of the lines in between: one of more
// than `maxEdits` lines inserted or removed between those, or one whose
// search would take more than `maxSteps` comparisons (a long, repetitive
// text edited in many places), so that the search never holds up its caller.
inline constexpr std::size_t kNewLine = static_cast<std::size_t>(-1);

std::vector<std::size_t> MatchLines(std::size_t oldCount, std::size_t newCount,
                                    const std::function<bool(std::size_t oldLine, std::size_t newLine)>& same,
                                    std::size_t maxEdits = 2000, std::size_t maxSteps = 10'000'000);

}  // namespace chronivel
