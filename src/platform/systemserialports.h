// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/serialline.h"
#include "platform/serialinbox.h"

namespace chronivel {

// The serial ports of the system this program was built for. Every batch of
// line events is stamped with `readCounter` at the moment the event thread
// woke for it, on that thread; `post` hands the batches to the sink.
std::unique_ptr<SerialPorts> MakeSystemSerialPorts(std::function<std::int64_t()> readCounter, PostToScheduler post);

}  // namespace chronivel
