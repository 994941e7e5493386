// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/linematch.h"

#include <algorithm>
#include <cstdint>

namespace chronivel {

std::vector<std::size_t> MatchLines(std::size_t oldCount, std::size_t newCount,
                                    const std::function<bool(std::size_t, std::size_t)>& same, std::size_t maxEdits,
                                    std::size_t maxSteps)
{
    std::vector<std::size_t> match(newCount, kNewLine);
    // Most saves change a few lines in one place: the rest pairs up at once.
    std::size_t head = 0;
    while (head < oldCount && head < newCount && same(head, head)) {
        match[head] = head;
        ++head;
    }
    std::size_t tail = 0;
    while (tail < oldCount - head && tail < newCount - head && same(oldCount - 1 - tail, newCount - 1 - tail)) {
        match[newCount - 1 - tail] = oldCount - 1 - tail;
        ++tail;
    }

    using Index = std::int64_t;
    const Index n = static_cast<Index>(oldCount - head - tail);
    const Index m = static_cast<Index>(newCount - head - tail);
    if (n == 0 || m == 0) return match;
    const auto sameIn = [&](Index x, Index y) {
        return same(head + static_cast<std::size_t>(x), head + static_cast<std::size_t>(y));
    };

    // The furthest old line reached on each diagonal k = x - y after d
    // edits; `trace` keeps each step's diagonals -d..d for the way back.
    const Index limit = std::min<Index>(n + m, static_cast<Index>(maxEdits));
    const Index offset = limit + 1;
    std::vector<Index> furthest(static_cast<std::size_t>(2 * offset + 1), 0);
    const auto at = [&](Index k) -> Index& { return furthest[static_cast<std::size_t>(k + offset)]; };
    std::vector<std::vector<Index>> trace;
    Index edits = -1;
    std::size_t steps = 0;
    for (Index d = 0; d <= limit && edits < 0; ++d) {
        for (Index k = -d; k <= d; k += 2) {
            Index x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
            Index y = x - k;
            while (x < n && y < m && sameIn(x, y)) {
                ++x;
                ++y;
                ++steps;
            }
            if (++steps > maxSteps) return match;
            at(k) = x;
            if (x >= n && y >= m) edits = d;
        }
        trace.emplace_back(furthest.begin() + (offset - d), furthest.begin() + (offset + d + 1));
    }
    if (edits < 0) return match;

    Index x = n;
    Index y = m;
    for (Index d = edits; d > 0; --d) {
        const std::vector<Index>& before = trace[static_cast<std::size_t>(d - 1)];
        const auto was = [&](Index k) { return before[static_cast<std::size_t>(k + d - 1)]; };
        const Index k = x - y;
        const Index fromK = (k == -d || (k != d && was(k - 1) < was(k + 1))) ? k + 1 : k - 1;
        const Index fromX = was(fromK);
        const Index fromY = fromX - fromK;
        // The diagonal run after this step's edit: lines that pair up.
        while (x > fromX && y > fromY) {
            --x;
            --y;
            match[head + static_cast<std::size_t>(y)] = head + static_cast<std::size_t>(x);
        }
        x = fromX;
        y = fromY;
    }
    while (x > 0 && y > 0) {
        --x;
        --y;
        match[head + static_cast<std::size_t>(y)] = head + static_cast<std::size_t>(x);
    }
    return match;
}

}  // namespace chronivel
