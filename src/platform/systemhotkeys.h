#pragma once

#include <memory>

#include "core/hotkeys.h"

namespace chronivel {

// The system-wide hot keys of the system this program runs on. Presses come
// to `pressed` on the thread that made the grabber, from its event loop.
std::unique_ptr<HotKeyGrabber> MakeSystemHotKeyGrabber();

}  // namespace chronivel
