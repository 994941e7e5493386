// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "core/hotkeys.h"

namespace chronivel {

#ifdef _WIN32
// The system-wide hot keys of Windows. Presses come to `pressed` on the
// thread that made the grabber, from its event loop. (On Linux they go
// through the display server, which only the Qt side knows: app/hotkeygrabber chooses.)
std::unique_ptr<HotKeyGrabber> MakeSystemHotKeyGrabber();
#endif

}  // namespace chronivel
