// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The processor's identification and time-stamp counter, the same on every
// operating system; the system adapters of the time source share them.

#include <cstdint>

#include "core/timerplatform.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define CHRONIVEL_X86 1
#endif

namespace chronivel::x86 {

#ifdef CHRONIVEL_X86
inline bool CpuidUsable()
{
#if defined(__x86_64__)
    return true;  // every 64-bit x86 processor has CPUID
#else
    return __get_cpuid_max(0, nullptr) != 0;  // tests the ID flag of the flags register
#endif
}

inline CpuidResult Cpuid(std::uint32_t leaf)
{
    CpuidResult r;
    if (CpuidUsable()) __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}

inline std::int64_t TimeStampCounter()
{
    return static_cast<std::int64_t>(__rdtsc());
}
#else
inline bool CpuidUsable()
{
    return false;
}
inline CpuidResult Cpuid(std::uint32_t)
{
    return {};
}
// Never asked for: without CPUID the core detects no time-stamp counter.
inline std::int64_t TimeStampCounter()
{
    return 0;
}
#endif

}  // namespace chronivel::x86
