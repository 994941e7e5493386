// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A serial port's modem lines on pseudo-terminals, for tests: preload
// libchronivel_serialshim.so (LD_PRELOAD) and every pseudo-terminal slave
// (/dev/pts/N) answers the modem-line requests as one simulated modem:
//
//   TIOCMGET                  the input lines CTS DSR DCD RI, plus DTR RTS
//   TIOCMSET/TIOCMBIS/TIOCMBIC set the outputs DTR and RTS (other bits ignored)
//   TIOCMIWAIT                blocks until a watched input line changes;
//                             a signal with a handler ends it with EINTR
//   TIOCGICOUNT               transitions of each input line since the last reset
//
// Every other request, and every other descriptor, goes to the real ioctl.
// All pseudo-terminals show the same lines. tcsetattr is passed on too, and
// the c_cflag it was given on a pseudo-terminal is remembered.
//
// In the same process, the functions below (found with dlsym, so that a
// program without the shim still links) drive it:
//
//   long long serialshim_set_lines(int lines, int levels)
//       Sets the TIOCM_CTS/DSR/CD/RI bits of `lines` to their value in
//       `levels`, all at once; returns CLOCK_MONOTONIC ns of that moment.
//   void serialshim_change_before_next_wait(int lines, int levels)
//       The next TIOCMIWAIT makes this change just before it takes the counts
//       it compares with: an edge in the instant before a wait begins
//   void serialshim_slow_wait_entry(long microseconds)
//       Each TIOCMIWAIT spends this long before it begins to wait, and a
//       signal that comes meanwhile is lost, as one that comes just before
//       the system call is
//   int serialshim_outputs(void)        TIOCM_DTR/RTS as the program left them
//   void serialshim_refuse(int what)    SERIALSHIM_REFUSE_WAIT: TIOCMIWAIT fails
//       with ENOTTY (as on CP210x); SERIALSHIM_REFUSE_COUNT: TIOCGICOUNT fails
//       with EINVAL; 0: both answered again
//   long long serialshim_unplug(int gone)  1: every modem request fails with
//       EIO and pending waits end so; 0: plugged in again. Returns the ns.
//   int serialshim_waiters(void)        threads blocked in TIOCMIWAIT now
//   void serialshim_reset(void)         all lines low, counts 0, plugged in,
//       nothing refused, no early change, no slow entry; only while nothing waits
//   int serialshim_log_to(const char* path)  appends the log to `path`
//   unsigned serialshim_requested_cflag(void)  c_cflag of the last tcsetattr
//       on a pseudo-terminal (which itself keeps only CS8 without parity)
//
// From any other process (a shell script), through two environment
// variables of the process the shim is loaded in:
//
//   CHRONIVEL_SERIALSHIM_CONTROL=<path>  a FIFO (made if missing). Its
//       reader starts at the first modem request on a pseudo-terminal, so
//       other programs that inherit LD_PRELOAD do not take its commands.
//       One command a line, in any case, each done as it is read:
//         CTS 1 | DSR 0 | DCD 1 | RI 0 ...  levels; several on one line
//                                          change at the same moment
//         UNPLUG | PLUG | RESET
//         REFUSE WAIT | REFUSE COUNT | REFUSE WAIT COUNT | REFUSE NONE
//       A command it cannot follow is reported on the program's stderr.
//       Commands written together follow each other within microseconds;
//       write one, and wait for its effect, for edges the program must see
//       apart. Before the reader runs, a writer waits: look for READY first.
//   CHRONIVEL_SERIALSHIM_LOG=<path>  append-only log, one line per change,
//       "<NAME> <0|1> <CLOCK_MONOTONIC ns>" with NAME one of CTS DSR DCD RI
//       (set by the test), DTR RTS (set by the program), UNPLUG, and
//       "READY 1 <ns>" once the FIFO's reader runs.

#ifdef __cplusplus
extern "C" {
#endif

#define SERIALSHIM_REFUSE_WAIT 1
#define SERIALSHIM_REFUSE_COUNT 2

long long serialshim_set_lines(int lines, int levels);
void serialshim_change_before_next_wait(int lines, int levels);
void serialshim_slow_wait_entry(long microseconds);
int serialshim_outputs(void);
void serialshim_refuse(int what);
long long serialshim_unplug(int gone);
int serialshim_waiters(void);
void serialshim_reset(void);
int serialshim_log_to(const char* path);
unsigned serialshim_requested_cflag(void);

#ifdef __cplusplus
}

#include <dlfcn.h>

#include <type_traits>

namespace serialshim {

// The shim's functions in this process, or all null when it is not preloaded.
struct Control {
    decltype(&serialshim_set_lines) setLines = nullptr;
    decltype(&serialshim_change_before_next_wait) changeBeforeNextWait = nullptr;
    decltype(&serialshim_slow_wait_entry) slowWaitEntry = nullptr;
    decltype(&serialshim_outputs) outputs = nullptr;
    decltype(&serialshim_refuse) refuse = nullptr;
    decltype(&serialshim_unplug) unplug = nullptr;
    decltype(&serialshim_waiters) waiters = nullptr;
    decltype(&serialshim_reset) reset = nullptr;
    decltype(&serialshim_log_to) logTo = nullptr;
    decltype(&serialshim_requested_cflag) requestedCflag = nullptr;

    bool Loaded() const
    {
        return setLines && changeBeforeNextWait && slowWaitEntry && outputs && refuse && unplug && waiters && reset && logTo && requestedCflag;
    }
};

inline Control Find()
{
    Control c;
    const auto find = [](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(RTLD_DEFAULT, name));
    };
    find(c.setLines, "serialshim_set_lines");
    find(c.changeBeforeNextWait, "serialshim_change_before_next_wait");
    find(c.slowWaitEntry, "serialshim_slow_wait_entry");
    find(c.outputs, "serialshim_outputs");
    find(c.refuse, "serialshim_refuse");
    find(c.unplug, "serialshim_unplug");
    find(c.waiters, "serialshim_waiters");
    find(c.reset, "serialshim_reset");
    find(c.logTo, "serialshim_log_to");
    find(c.requestedCflag, "serialshim_requested_cflag");
    return c;
}

}  // namespace serialshim
#endif
