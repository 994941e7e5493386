// SPDX-License-Identifier: GPL-3.0-or-later
// A window message's time is GetTickCount's: milliseconds since boot, in
// steps of the system tick (about 16 ms), so a stamp is only that exact.
#include "platform/win32.h"

#include "platform/systeminputclock.h"

namespace chronivel {
namespace {

class TickCountInputClock final : public InputEventClock {
public:
    std::int64_t NowMicroseconds() override { return static_cast<std::int64_t>(GetTickCount64()) * 1000; }
    // The tick, in units of 100 ns; 15.625 ms where the system does not say.
    std::int64_t StepMicroseconds() override
    {
        DWORD adjustment = 0, increment = 0;
        BOOL disabled = FALSE;
        if (!GetSystemTimeAdjustment(&adjustment, &increment, &disabled) || increment == 0) return 15'625;
        return std::int64_t{increment} / 10;
    }
};

}  // namespace

std::unique_ptr<InputEventClock> MakeSystemInputEventClock()
{
    return std::make_unique<TickCountInputClock>();
}

}  // namespace chronivel
