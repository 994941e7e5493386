// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/timetext.h"

namespace chronivel {

// The shortest run time of all runs, kept across runs and restarts.
class BestTime {
public:
    static constexpr std::int32_t None = 2147483647;

    std::int32_t Value() const { return value_; }
    const std::string& Caption() const { return caption_; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

    // A stopped run; it becomes the best when it is shorter, with the text the
    // readout showed at STOP. A hidden best time takes no new runs.
    void Offer(std::int64_t elapsed, std::string_view shownText, int decimalPlaces);
    void Clear(int decimalPlaces);
    // Writes the best time in `format`: the format, not the run, sets its digits.
    void Rewrite(const TimeFormat& format);
    // The value stored at the last exit; anything not a positive time means none.
    void Restore(std::int64_t stored, const TimeFormat& format);

private:
    std::int32_t value_ = None;
    std::string caption_ = "0,000";
    bool visible_ = true;
};

}  // namespace chronivel
