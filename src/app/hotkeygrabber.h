// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/hotkeys.h"

namespace chronivel {

// The system-wide hot keys where this program runs: Windows' own; under
// Wayland the desktop's global shortcuts portal when the session bus has
// one; an X server's grabs (also through XWayland, whose compositor may pass
// them on). `title` is the settings title, whose keys the desktop keeps apart
// from other titles'. `tell` says once, in words, which hot keys do nothing
// and why. None where no way is known.
std::unique_ptr<HotKeyGrabber> MakeHotKeyGrabber(const std::string& title,
                                                 std::function<void(const std::string&)> tell);

}  // namespace chronivel
