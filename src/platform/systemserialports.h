// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/serialline.h"

namespace chronivel {

// The serial ports of the system this program was built for. Every batch of
// line events is stamped with `readCounter` at the moment the event thread
// woke for it; the function is called on that thread.
std::unique_ptr<SerialPorts> MakeSystemSerialPorts(std::function<std::int64_t()> readCounter);

}  // namespace chronivel
