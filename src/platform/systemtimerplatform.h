// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "core/timerplatform.h"

namespace chronivel {

// The time services of the system this program was built for.
std::unique_ptr<TimerPlatform> MakeSystemTimerPlatform();

}  // namespace chronivel
