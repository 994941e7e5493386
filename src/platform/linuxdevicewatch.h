// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/serialline.h"

namespace chronivel::linuxserial {

// Watches for `device` to come back, through inotify, and calls `changed` on
// a thread of the watch's own:
//  - in the nearest folder on the way to the device that exists (its own
//    folder once there), when the next name on the way is made or moved
//    there: a folder that udev makes again, the link or the node itself; in
//    the device's own folder also when its attributes change;
//  - where the device is a link, in the folder of the node it names, when
//    that node is made or has its attributes changed: udev sets a new node's
//    group and permissions after making it, and an open before that fails;
//  - when the kernel dropped events (its queue overflowed).
// Folders that come or go on the way are followed, with a call when a folder
// the watch moves to holds a name that matters already; names elsewhere do
// not call. Changes from before the watch was made are not reported: the caller
// looks once itself after making it. `changed` must not destroy the watch;
// after the destructor returns it is never called again.
// Null when inotify cannot be had.
std::unique_ptr<DeviceWatch> WatchDevice(const std::string& device, std::function<void()> changed);

}  // namespace chronivel::linuxserial
