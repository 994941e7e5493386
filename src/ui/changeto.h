// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace chronivel {

// Sets `field` to `value` and tells whether that changed it: a control's
// setter repaints, or tells its listeners, only for a real change.
template <typename T>
bool ChangeTo(T& field, const T& value)
{
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace chronivel
