// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/quitsignals.h"

#include <QCoreApplication>

#ifndef _WIN32
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <csignal>
#endif

namespace chronivel {

#ifndef _WIN32
namespace {

int signalPipe[2] = {-1, -1};

// A signal handler may do next to nothing: it only wakes the event loop.
void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = write(signalPipe[0], &byte, 1);
}

}  // namespace

void QuitOnTerminationSignals(QCoreApplication& app)
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte;
        [[maybe_unused]] const auto read = ::read(signalPipe[1], &byte, 1);
        // exit(), not quit(): quit() first asks every window to close, and a
        // dialog that slides away before it closes refuses, which would
        // drop a logout's request. What follows exec() saves everything.
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}
#else
// Windows tells a closing session to its windows, which Qt turns into a close.
void QuitOnTerminationSignals(QCoreApplication&) {}
#endif

}  // namespace chronivel
