// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "core/inputtime.h"

namespace chronivel {

// The clock with which this system's window system stamps input events, as
// long as the window system runs on this machine.
std::unique_ptr<InputEventClock> MakeSystemInputEventClock();

}  // namespace chronivel
