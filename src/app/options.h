// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace chronivel {

// --help and --version need no window system: they are answered while only a
// QCoreApplication exists, so that they work without a display. Exits after
// answering; returns when neither is asked for.
void AnswerInformationOptions(const QCoreApplication& app);

// After the window system has taken its own options (-platform, -display, …):
// a wrong option ends the program with a short message, --help-all lists the
// window system's options as well.
void CheckOptions(const QCoreApplication& app);

// "Unknown options: a, b." with each name and the list cut short, so that a
// huge argument is not echoed back at three times its size.
QString UnknownOptionsText(const QStringList& names);

}  // namespace chronivel
