// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32.h"

#include <cstdint>

#include "platform/bootclock.h"

namespace chronivel {

// Windows keeps no boot identity to read; the moment of the boot, on the wall
// clock, serves. Rounded to ten seconds so that clock corrections while the
// machine runs do not make the same boot look like another; should they
// anyway, the run resumes from the wall clock, which is only a little less exact.
std::string CurrentBootId()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t nowMs = ((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime) / 10'000;
    const std::uint64_t bootMs = nowMs - GetTickCount64();
    return "boot@" + std::to_string(bootMs / 10'000);
}

}  // namespace chronivel
