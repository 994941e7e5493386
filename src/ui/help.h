// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace chronivel {

// The manual's start page below a folder holding the program, or an empty
// text when none is there. Looks in `programDir` itself (a portable copy on
// Windows keeps it in help/) and in the data folder of it and its parents, which
// covers both an installed program and one run from the build folder.
QString FindManual(const QString& programDir);

// Files handed to the desktop's own programs. Each returns an empty text when
// the file went to its program, otherwise what went wrong, for the user, with
// the file's path.

// The manual found from `programDir` (see FindManual), in the user's web browser.
QString OpenManual(const QString& programDir);

// A text file in the desktop's editor for text files (Notepad on Windows).
QString OpenInTextEditor(const QString& path);

}  // namespace chronivel
