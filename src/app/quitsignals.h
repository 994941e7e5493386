// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

namespace chronivel {

// Makes SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in a terminal)
// close the program the way its Exit command does, so everything is saved.
void QuitOnTerminationSignals(QCoreApplication& app);

}  // namespace chronivel
