// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/win32.h"

namespace chronivel {

// A hidden message-only window of the class `className`, which is registered
// with `procedure` the first time; `param` reaches WM_NCCREATE as the
// creation parameter. Null when the system would not make it.
HWND MakeMessageWindow(const wchar_t* className, WNDPROC procedure, void* param);

}  // namespace chronivel
