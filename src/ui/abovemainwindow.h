// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace chronivel {

// The main window stays on top of the other windows. A window or dialog the
// program opens for the user must stay on top too, or the round window,
// wherever it stands, covers its buttons.
inline void KeepAboveMainWindow(QWidget& window)
{
    window.setWindowFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace chronivel
