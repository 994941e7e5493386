// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/monitorchoice.h"

#include <utility>

namespace chronivel {

void MonitorChoice::Start(std::vector<MonitorSize> monitors)
{
    monitors_ = std::move(monitors);
    // A projector stored last time but not plugged in now: nothing to show on.
    if (!Names(index_)) index_ = Off;
    shown_ = Choosable() && index_ != Off;
}

bool MonitorChoice::Select(int index)
{
    if (index != Off && !Names(index)) return false;
    index_ = index;
    shown_ = index_ != Off;
    return true;
}

bool MonitorChoice::Toggle()
{
    if (monitors_.empty()) return false;
    index_ = static_cast<int>(monitors_.size()) - 1;
    shown_ = !shown_;
    return true;
}

void MonitorChoice::Change(std::vector<MonitorSize> monitors)
{
    monitors_ = std::move(monitors);
    if (Names(index_)) return;
    // The window's monitor is gone. A shown window goes where Ctrl+T would
    // send it, the last monitor: with several left that is another
    // audience screen, not the operator's primary one; with one left it is
    // that one, and Esc hides it. A hidden window has nothing to follow: off.
    if (shown_ && !monitors_.empty()) {
        index_ = static_cast<int>(monitors_.size()) - 1;
    } else {
        index_ = Off;
        shown_ = false;
    }
}

}  // namespace chronivel
