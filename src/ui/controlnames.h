// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace chronivel {

// Gives the controls of the main window `window`, found by their object
// names, what a screen reader says for them: a name and a description.
// Controls named by their changing captions (the start/stop button, the
// labels) keep those; those described by their changing hints (the pause
// button, the countdown LED) keep them.
void NameControls(QWidget& window);

}  // namespace chronivel
