// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// <windows.h> as the Windows adapters take it: without the min and max
// macros, which break std::min and std::numeric_limits, and without its
// rarely used parts.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
