// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace chronivel {

// Names the current boot of the machine: the same text for as long as it
// runs, another after a reboot; empty where the system cannot tell.
std::string CurrentBootId();

// Counter readings start this far above zero at boot, so that the start of a
// run older than the boot, moved back by its age, is still a positive count
// (zero and below mean "no run" in the stored settings).
inline constexpr long long BootCounterOffset = 1LL << 60;

}  // namespace chronivel
