// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated modem behind the pseudo-terminals; serialshim.h describes
// how tests and scripts drive it.
#include "serialshim.h"

#include <fcntl.h>
#include <linux/futex.h>
#include <linux/serial.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#define SHIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int InputLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RI;
constexpr int OutputLines = TIOCM_DTR | TIOCM_RTS;

struct LineName {
    int bit;
    const char* name;
};
constexpr LineName LineNames[] = {{TIOCM_CTS, "CTS"}, {TIOCM_DSR, "DSR"}, {TIOCM_CD, "DCD"},
                                  {TIOCM_RI, "RI"},   {TIOCM_DTR, "DTR"}, {TIOCM_RTS, "RTS"}};

long long MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Constant-initialized: a program may call ioctl before this library's
// constructors have run.
struct Modem {
    std::mutex mutex;
    int inputs = 0;
    int outputs = 0;
    serial_icounter_struct counts{};
    bool gone = false;
    int refused = 0;
    // A change the next TIOCMIWAIT makes just before it takes its start counts.
    int earlyLines = 0;
    int earlyLevels = 0;
};
constinit Modem modem;

// Changes with every change of the modem; TIOCMIWAIT sleeps on it as a futex.
constinit std::atomic<std::uint32_t> generation{0};
static_assert(sizeof(generation) == sizeof(std::uint32_t) && std::atomic<std::uint32_t>::is_always_lock_free);
constinit std::atomic<int> waiting{0};
// How long a TIOCMIWAIT takes to begin waiting, deaf to signals meanwhile.
constinit std::atomic<long> waitEntryNs{0};

// The c_cflag of the last tcsetattr on a pseudo-terminal: the kernel keeps
// only CS8 without parity there, so the character size and parity the
// program asked for show only here.
constinit std::atomic<unsigned> requestedCflag{0};

std::uint32_t* FutexWord()
{
    return reinterpret_cast<std::uint32_t*>(&generation);
}

void WakeWaiters()
{
    syscall(SYS_futex, FutexWord(), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

// --- the log -----------------------------------------------------------

constinit std::atomic<int> logFd{-1};
constinit std::once_flag logFromEnvironment;

int OpenLog(const char* path)
{
    return open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

int LogFd()
{
    std::call_once(logFromEnvironment, [] {
        const char* path = std::getenv("CHRONIVEL_SERIALSHIM_LOG");
        if (path && *path && logFd < 0) logFd = OpenLog(path);
    });
    return logFd;
}

void Log(const char* name, int level, long long ns)
{
    const int fd = LogFd();
    if (fd < 0) return;
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%s %d %lld\n", name, level ? 1 : 0, ns);
    // One write per line: O_APPEND keeps lines whole among writers.
    [[maybe_unused]] const ssize_t written = write(fd, line, static_cast<std::size_t>(length));
}

void LogLines(int changed, int levels, long long ns)
{
    for (const LineName& line : LineNames)
        if (changed & line.bit) Log(line.name, levels & line.bit, ns);
}

// --- changes -------------------------------------------------------------

// With the modem locked; true if a line changed, and then the waiters are due a wake.
bool ChangeInputs(int lines, int levels, long long& ns)
{
    const int changed = (modem.inputs ^ levels) & lines & InputLines;
    modem.inputs ^= changed;
    if (changed & TIOCM_CTS) ++modem.counts.cts;
    if (changed & TIOCM_DSR) ++modem.counts.dsr;
    if (changed & TIOCM_CD) ++modem.counts.dcd;
    if (changed & TIOCM_RI) ++modem.counts.rng;
    // The moment the change becomes visible: no reader sees it before the lock is let go.
    ns = MonotonicNs();
    if (!changed) return false;
    // Logged before anyone can see it: a program that ends on seeing it leaves a whole log.
    LogLines(changed, modem.inputs, ns);
    ++generation;
    return true;
}

long long SetInputs(int lines, int levels)
{
    std::unique_lock lock(modem.mutex);
    long long ns = 0;
    const bool changed = ChangeInputs(lines, levels, ns);
    lock.unlock();
    if (changed) WakeWaiters();
    return ns;
}

long long SetGone(bool gone)
{
    std::unique_lock lock(modem.mutex);
    const bool changed = modem.gone != gone;
    modem.gone = gone;
    const long long ns = MonotonicNs();
    if (changed) Log("UNPLUG", gone, ns);
    ++generation;
    lock.unlock();
    WakeWaiters();
    return ns;
}

void SetRefused(int what)
{
    std::lock_guard lock(modem.mutex);
    modem.refused = what;
}

void Reset()
{
    {
        std::lock_guard lock(modem.mutex);
        modem.inputs = modem.outputs = 0;
        modem.counts = serial_icounter_struct{};
        modem.gone = false;
        modem.refused = 0;
        modem.earlyLines = modem.earlyLevels = 0;
        waitEntryNs = 0;
        ++generation;
        requestedCflag = 0;
    }
    WakeWaiters();
}

// --- the requests --------------------------------------------------------

int GetLines(int* levels)
{
    if (!levels) return EFAULT;
    std::lock_guard lock(modem.mutex);
    if (modem.gone) return EIO;
    *levels = modem.inputs | modem.outputs;
    return 0;
}

int SetOutputs(unsigned long request, const int* bits)
{
    if (!bits) return EFAULT;
    std::unique_lock lock(modem.mutex);
    if (modem.gone) return EIO;
    const int before = modem.outputs;
    if (request == TIOCMSET) modem.outputs = *bits & OutputLines;
    if (request == TIOCMBIS) modem.outputs |= *bits & OutputLines;
    if (request == TIOCMBIC) modem.outputs &= ~*bits;
    LogLines(before ^ modem.outputs, modem.outputs, MonotonicNs());
    return 0;
}

int Count(serial_icounter_struct* counts)
{
    if (!counts) return EFAULT;
    std::lock_guard lock(modem.mutex);
    if (modem.gone) return EIO;
    if (modem.refused & SERIALSHIM_REFUSE_COUNT) return EINVAL;
    *counts = modem.counts;
    return 0;
}

bool Moved(const serial_icounter_struct& from, const serial_icounter_struct& to, int lines)
{
    return ((lines & TIOCM_CTS) && from.cts != to.cts) || ((lines & TIOCM_DSR) && from.dsr != to.dsr) ||
           ((lines & TIOCM_CD) && from.dcd != to.dcd) || ((lines & TIOCM_RI) && from.rng != to.rng);
}

// As the drivers do: the counts at the start are compared with the counts
// now, so a change before the call does not end it.
int WaitForChange(int lines)
{
    std::unique_lock lock(modem.mutex);
    if (modem.gone) return EIO;
    if (modem.refused & SERIALSHIM_REFUSE_WAIT) return ENOTTY;
    long long ns = 0;
    const bool early = modem.earlyLines && ChangeInputs(modem.earlyLines, modem.earlyLevels, ns);
    modem.earlyLines = 0;
    const serial_icounter_struct start = modem.counts;
    lock.unlock();
    if (early) WakeWaiters();
    // A signal in this instant is gone before the wait begins, as one just before the system call would be.
    if (const long delay = waitEntryNs; delay > 0) {
        timespec until{};
        clock_gettime(CLOCK_MONOTONIC, &until);
        until.tv_nsec += delay;
        until.tv_sec += until.tv_nsec / 1'000'000'000;
        until.tv_nsec %= 1'000'000'000;
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
        }
    }
    ++waiting;
    int result = -1;
    while (result < 0) {
        const std::uint32_t seen = generation;
        lock.lock();
        if (modem.gone)
            result = EIO;
        else if (Moved(start, modem.counts, lines))
            result = 0;
        lock.unlock();
        if (result >= 0) break;
        // A signal whose handler was installed without SA_RESTART ends the wait, as in the drivers.
        if (syscall(SYS_futex, FutexWord(), FUTEX_WAIT_PRIVATE, seen, nullptr, nullptr, 0) == -1 && errno == EINTR)
            result = EINTR;
    }
    --waiting;
    return result;
}

// --- the FIFO --------------------------------------------------------------

bool Follow(const std::string& command)
{
    std::vector<std::string> words;
    std::string word;
    for (const char c : command + " ") {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (words.empty()) return true;
    if ((words[0] == "UNPLUG" || words[0] == "PLUG") && words.size() == 1) {
        SetGone(words[0] == "UNPLUG");
        return true;
    }
    if (words[0] == "RESET" && words.size() == 1) {
        Reset();
        return true;
    }
    if (words[0] == "REFUSE") {
        int what = 0;
        for (std::size_t i = 1; i < words.size(); ++i) {
            if (words[i] == "WAIT") what |= SERIALSHIM_REFUSE_WAIT;
            else if (words[i] == "COUNT") what |= SERIALSHIM_REFUSE_COUNT;
            else if (words[i] != "NONE") return false;
        }
        SetRefused(what);
        return true;
    }
    int lines = 0, levels = 0;
    for (std::size_t i = 0; i < words.size(); i += 2) {
        int bit = 0;
        for (const LineName& line : LineNames)
            if (words[i] == line.name && (line.bit & InputLines)) bit = line.bit;
        if (bit == 0 || i + 1 >= words.size() || (words[i + 1] != "0" && words[i + 1] != "1")) return false;
        lines |= bit;
        if (words[i + 1] == "1") levels |= bit;
    }
    SetInputs(lines, levels);
    return true;
}

void* ReadCommands(void* arg)
{
    const int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(arg));
    Log("READY", 1, MonotonicNs());
    std::string pending;
    char buffer[512];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const std::string command = pending.substr(0, end);
            if (!Follow(command)) std::fprintf(stderr, "serialshim: cannot follow \"%s\"\n", command.c_str());
        }
    }
    return nullptr;
}

constinit std::once_flag controlStarted;

void StartControl()
{
    const char* path = std::getenv("CHRONIVEL_SERIALSHIM_CONTROL");
    if (!path || !*path) return;
    if (mkfifo(path, 0600) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "serialshim: cannot make %s: %s\n", path, std::strerror(errno));
        return;
    }
    // Read and write: the reader never sees the end when a writer closes.
    const int fd = open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "serialshim: cannot open %s: %s\n", path, std::strerror(errno));
        return;
    }
    // The reader takes no signals: they are the program's.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    if (pthread_create(&thread, &attributes, ReadCommands, reinterpret_cast<void*>(std::intptr_t{fd})) != 0) close(fd);
    pthread_attr_destroy(&attributes);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

// --- the interposed ioctl ----------------------------------------------------

bool ModemRequest(unsigned long request)
{
    return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC ||
           request == TIOCMIWAIT || request == TIOCGICOUNT;
}

// A pseudo-terminal slave: /dev/pts/N, majors 136 to 143.
bool PseudoTerminal(int fd)
{
    struct stat s {};
    if (fstat(fd, &s) != 0 || !S_ISCHR(s.st_mode)) return false;
    const unsigned int m = major(s.st_rdev);
    return m >= 136 && m <= 143;
}

int Emulate(unsigned long request, void* arg)
{
    std::call_once(controlStarted, StartControl);
    switch (request) {
    case TIOCMGET: return GetLines(static_cast<int*>(arg));
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC: return SetOutputs(request, static_cast<const int*>(arg));
    case TIOCGICOUNT: return Count(static_cast<serial_icounter_struct*>(arg));
    case TIOCMIWAIT: return WaitForChange(static_cast<int>(reinterpret_cast<std::uintptr_t>(arg)));
    }
    return ENOTTY;
}

using IoctlFunction = int (*)(int, unsigned long, ...);

IoctlFunction RealIoctl()
{
    static const auto real = reinterpret_cast<IoctlFunction>(dlsym(RTLD_NEXT, "ioctl"));
    return real;
}

}  // namespace

SHIM_EXPORT int ioctl(int fd, unsigned long request, ...) noexcept
{
    // Every request has at most one argument, a pointer or a value in its place.
    va_list args;
    va_start(args, request);
    void* const arg = va_arg(args, void*);
    va_end(args);
    if (ModemRequest(request) && PseudoTerminal(fd)) {
        const int error = Emulate(request, arg);
        if (error == 0) return 0;
        errno = error;
        return -1;
    }
    return RealIoctl()(fd, request, arg);
}

SHIM_EXPORT int tcsetattr(int fd, int when, const struct termios* settings) noexcept
{
    using Function = int (*)(int, int, const struct termios*);
    static const auto real = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "tcsetattr"));
    if (settings && PseudoTerminal(fd)) requestedCflag = settings->c_cflag;
    return real(fd, when, settings);
}

SHIM_EXPORT unsigned serialshim_requested_cflag(void)
{
    return requestedCflag;
}

SHIM_EXPORT long long serialshim_set_lines(int lines, int levels)
{
    return SetInputs(lines, levels);
}

SHIM_EXPORT void serialshim_change_before_next_wait(int lines, int levels)
{
    std::lock_guard lock(modem.mutex);
    modem.earlyLines = lines;
    modem.earlyLevels = levels;
}

SHIM_EXPORT void serialshim_slow_wait_entry(long microseconds)
{
    waitEntryNs = microseconds * 1000;
}

SHIM_EXPORT int serialshim_outputs(void)
{
    std::lock_guard lock(modem.mutex);
    return modem.outputs;
}

SHIM_EXPORT void serialshim_refuse(int what)
{
    SetRefused(what);
}

SHIM_EXPORT long long serialshim_unplug(int gone)
{
    return SetGone(gone != 0);
}

SHIM_EXPORT int serialshim_waiters(void)
{
    return waiting;
}

SHIM_EXPORT void serialshim_reset(void)
{
    Reset();
}

SHIM_EXPORT int serialshim_log_to(const char* path)
{
    LogFd();  // the environment's log, if any, is replaced, not opened later
    const int fd = OpenLog(path);
    if (fd < 0) return -1;
    const int previous = logFd.exchange(fd);
    if (previous >= 0) close(previous);
    return 0;
}
