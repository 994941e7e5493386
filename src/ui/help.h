#pragma once

#include <QString>

namespace chronivel {

// The manual's start page below a folder holding the program, or an empty
// text when none is there. Looks in `programDir` itself (a portable copy on
// Windows keeps it in help/) and in the data folder of it and its parents, which
// covers both an installed program and one run from the build folder.
QString FindManual(const QString& programDir);

// The manual's start page for this program, or an empty text when it is missing.
QString ManualPath();

// Opens the manual in the user's web browser. False when the manual is missing
// or no browser would take it; the caller tells the user.
bool OpenManual();

}  // namespace chronivel
