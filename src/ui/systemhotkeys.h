#pragma once

#include <memory>

#include "core/hotkeys.h"

namespace chronivel {

// The system-wide hot keys where this program runs: Windows' own, or an X
// server's grabs; none where neither is there.
std::unique_ptr<HotKeyGrabber> MakeHotKeyGrabber();

}  // namespace chronivel
