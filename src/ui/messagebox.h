// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>

class QFontMetrics;
class QWidget;

namespace chronivel {

// A text made to fit a window no larger than the screen: each word wider
// than `width` pixels (a path, a file name) is cut in its middle, where its
// start and its end still say which it is, and a text longer than
// `maxChars` is cut at its end.
QString FittedText(const QString& text, const QFontMetrics& metrics, int width, int maxChars = 1500);

// A message box that stays within its screen, its buttons in reach: the
// text fitted as above, and, where anything was cut, the whole text in the
// box's details.
void FitOnScreen(QMessageBox& box);

// A message that answers what the user just did in a window or a menu,
// titled with the program's name, above the always-on-top main window and
// fitted to the screen; it waits for the user. Whatever happens while nobody
// may be at the keyboard is a notice on the main window instead.
void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text);

}  // namespace chronivel
