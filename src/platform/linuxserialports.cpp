// SPDX-License-Identifier: GPL-3.0-or-later
// Serial ports on Linux. termios takes the line settings; the event thread
// sleeps in TIOCMIWAIT until a watched modem line moves, stamps the wake with
// the counter at once, and uses the driver's transition counts (TIOCGICOUNT)
// to recover edges that came while it was busy. Drivers that cannot wait are
// polled every millisecond instead.
#include "platform/linuxserialports.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/bootclock.h"
#include "platform/linuxdevicewatch.h"
#include "platform/serialinbox.h"
#include "platform/systemserialports.h"

namespace chronivel {
namespace {

using namespace linuxserial;

std::string SystemText(int error)
{
    return std::strerror(error);
}

// The driver has no such request: it cannot wait, or cannot count.
bool Refused(int error)
{
    constexpr int NoIoctlCommand = 515;  // ENOIOCTLCMD, should a driver let it through
    return error == ENOTTY || error == EINVAL || error == NoIoctlCommand;
}

std::int64_t MonotonicCounter()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return BootCounterOffset + std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// The kernel's termios2, which carries any line speed (asm-generic layout;
// <asm/termbits.h> cannot be included next to <termios.h>).
struct KernelTermios2 {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};
static_assert(sizeof(KernelTermios2) == 44);
constexpr unsigned long GetTermios2 = _IOR('T', 0x2A, KernelTermios2);
constexpr unsigned long SetTermios2 = _IOW('T', 0x2B, KernelTermios2);
constexpr tcflag_t OtherSpeed = CBAUDEX;  // BOTHER
constexpr int InputSpeedShift = 16;       // IBSHIFT: the input speed's bits; none means "as output"

speed_t StandardSpeed(std::uint32_t rate)
{
    static constexpr std::pair<std::uint32_t, speed_t> speeds[] = {
        {50, B50},         {75, B75},           {110, B110},         {134, B134},         {150, B150},
        {200, B200},       {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
        {2400, B2400},     {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
        {57600, B57600},   {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
        {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
    };
    for (const auto& [value, speed] : speeds)
        if (value == rate) return speed;
    return B0;
}

// Throws EComState with the reason for `error`.
[[noreturn]] void StateFailed(int error)
{
    throw EComState("Unable to set com state: " + SystemText(error));
}

void Configure(int fd, const DeviceControl& dc)
{
    if (dc.BaudRate == 0 || dc.ByteSize < 5 || dc.ByteSize > 8 || dc.Parity > 4 || dc.StopBits > 2)
        StateFailed(EINVAL);
    termios t{};
    if (tcgetattr(fd, &t) != 0) StateFailed(errno);
    cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    // A dropped DCD is a light barrier's signal, never a hang-up.
    t.c_cflag |= CLOCAL | CREAD;
    static constexpr tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[dc.ByteSize - 5];
    static constexpr tcflag_t parities[] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD, PARENB | CMSPAR};
    t.c_cflag |= parities[dc.Parity];
    if (dc.StopBits != 0) t.c_cflag |= CSTOPB;  // one and a half becomes two
    if (dc.flags & (DeviceControl::fOutxCtsFlow | DeviceControl::fRtsControlHandshake)) t.c_cflag |= CRTSCTS;
    if (dc.flags & DeviceControl::fOutX) t.c_iflag |= IXON;
    if (dc.flags & DeviceControl::fInX) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dc.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dc.XoffChar);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    // Other rates are set exactly below; 38400 only stands in until then.
    const speed_t speed = StandardSpeed(dc.BaudRate);
    cfsetispeed(&t, speed == B0 ? B38400 : speed);
    cfsetospeed(&t, speed == B0 ? B38400 : speed);
    if (tcsetattr(fd, TCSANOW, &t) != 0) StateFailed(errno);
    if (speed == B0) {
        KernelTermios2 t2{};
        if (ioctl(fd, GetTermios2, &t2) != 0) StateFailed(errno);
        t2.c_cflag = (t2.c_cflag & ~static_cast<tcflag_t>(CBAUD | (CBAUD << InputSpeedShift))) | OtherSpeed;
        t2.c_ispeed = t2.c_ospeed = dc.BaudRate;
        if (ioctl(fd, SetTermios2, &t2) != 0) StateFailed(errno);
    }
    int raise = TIOCM_RTS;
    if (dc.flags & DeviceControl::fDtrControlEnable) raise |= TIOCM_DTR;
    if (ioctl(fd, TIOCMBIS, &raise) != 0) StateFailed(errno);
    if (!(dc.flags & DeviceControl::fDtrControlEnable)) {
        int drop = TIOCM_DTR;
        if (ioctl(fd, TIOCMBIC, &drop) != 0) StateFailed(errno);
    }
}

// An open device taken for this program alone; closing gives it back.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (exclusive_) ioctl(fd_, TIOCNXCL);
        close(fd_);
    }
    int get() const { return fd_; }

    // The kernel refuses further opens after TIOCEXCL, except to root; the
    // lock keeps out root too, and the programs that respect such locks.
    // Exclusivity is given back on close: a pseudo-terminal would keep it.
    void TakeExclusively()
    {
        if (flock(fd_, LOCK_EX | LOCK_NB) != 0) HandleFailed(errno == EWOULDBLOCK ? EBUSY : errno);
        if (ioctl(fd_, TIOCEXCL) != 0) HandleFailed(errno);
        exclusive_ = true;
    }

    [[noreturn]] static void HandleFailed(int error)
    {
        throw EComHandle("Unable to open com port: " + SystemText(error));
    }

private:
    int fd_;
    bool exclusive_ = false;
};

// Wakes the event thread from TIOCMIWAIT or clock_nanosleep: its handler is
// installed without SA_RESTART, so the call returns EINTR and the thread
// reads the lines and looks at its stop flag. A real-time signal nothing
// else in the program uses.
int WakeSignal()
{
    static const int signal = [] {
        const int s = SIGRTMIN + 5;
        struct sigaction action {};
        action.sa_handler = +[](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        sigaction(s, &action, nullptr);
        return s;
    }();
    return signal;
}

class LinuxSerialDevice final : public SerialDevice {
public:
    LinuxSerialDevice(std::unique_ptr<Descriptor> fd, std::string name, std::function<std::int64_t()> readCounter,
                      PostToScheduler post)
        : fd_(std::move(fd)), name_(std::move(name)), readCounter_(std::move(readCounter)), post_(std::move(post))
    {
        ReadModemStatus();
    }

    ~LinuxSerialDevice() override { StopWatching(); }

    std::uint32_t ReadModemStatus() override
    {
        int levels = 0;
        if (ioctl(fd_->get(), TIOCMGET, &levels) == 0) status_ = StatusOf(levels);
        return status_;
    }

    std::int32_t InputQueueCount() override
    {
        int count = 0;
        return ioctl(fd_->get(), FIONREAD, &count) == 0 ? count : 0;
    }

    void StartWatching(std::uint32_t mask, ComEventSink& sink) override;
    void StopWatching() override;
    std::uint32_t PolledEvents() const override { return polled_; }

private:
    void Watch();
    int WaitForChange();
    int WaitLoop(int firstResult);
    int PollLoop();
    int Report(bool stampNow, std::int64_t counter);
    int Read(LineReading& reading);
    int Sample(LineReading& reading, bool counted) const;
    bool HungUp() const;
    void Signal(bool& flag);
    void KickUntil(const bool& flag);
    void Arm();
    void Disarm();
    void Guard();
    void EndGuard();

    std::unique_ptr<Descriptor> fd_;
    const std::string name_;
    const std::function<std::int64_t()> readCounter_;
    const PostToScheduler post_;
    std::atomic<std::uint32_t> status_{0};
    std::atomic<std::uint32_t> polled_{0};

    // The event thread and what it shares with the UI thread.
    std::thread thread_;
    pthread_t watcher_{};
    std::uint32_t mask_ = 0;
    int lines_ = 0;
    std::shared_ptr<SerialInbox> inbox_;
    LineReading last_;
    bool counted_ = true;
    std::atomic<bool> stop_{false};
    std::atomic<bool> inWait_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool decided_ = false;
    bool ended_ = false;

    // The guard and what it shares with the event thread.
    std::thread guard_;
    std::mutex guardMutex_;
    std::condition_variable guardChanged_;
    std::uint64_t armed_ = 0;  // waits begun
    bool waiting_ = false;     // in the wait begun last
    LineReading baseline_;     // the reading it began from
    bool guardEnds_ = false;
};

void LinuxSerialDevice::StartWatching(std::uint32_t mask, ComEventSink& sink)
{
    StopWatching();
    mask_ = LineEvents(mask);
    lines_ = WatchedLines(mask_);
    polled_ = 0;
    if (lines_ == 0) return;  // no line to watch; the data events are not reported here
    inbox_ = std::make_shared<SerialInbox>(sink, post_);
    stop_ = false;
    decided_ = ended_ = false;
    counted_ = true;
    armed_ = 0;
    waiting_ = guardEnds_ = false;
    if (Read(last_) != 0) last_ = LineReading{};  // the thread meets the error itself
    WakeSignal();

    // The threads take no signal but the wake signal, so process signals go elsewhere.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        thread_ = std::thread(&LinuxSerialDevice::Watch, this);
        watcher_ = thread_.native_handle();
        // Whether the driver can wait shows in the first wait: refused at
        // once, or blocking until woken. PolledEvents is known on return.
        KickUntil(decided_);
        if (polled_ == 0) guard_ = std::thread(&LinuxSerialDevice::Guard, this);
    } catch (...) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        StopWatching();
        throw;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void LinuxSerialDevice::StopWatching()
{
    if (thread_.joinable()) {
        stop_ = true;
        // A wake signal that arrives between the thread's look at the flag and
        // its entry into the wait is lost, so it is sent again until the thread ends.
        KickUntil(ended_);
        thread_.join();
    }
    EndGuard();
    if (guard_.joinable()) guard_.join();
    if (inbox_) std::exchange(inbox_, nullptr)->Close();
}

void LinuxSerialDevice::KickUntil(const bool& flag)
{
    std::unique_lock lock(mutex_);
    auto pause = std::chrono::microseconds(50);
    while (!flag) {
        if (inWait_) pthread_kill(watcher_, WakeSignal());
        changed_.wait_for(lock, pause);
        pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(20));
    }
}

void LinuxSerialDevice::Signal(bool& flag)
{
    std::lock_guard lock(mutex_);
    flag = true;
    changed_.notify_all();
}

void LinuxSerialDevice::Watch()
{
    sigset_t wake;
    sigemptyset(&wake);
    sigaddset(&wake, WakeSignal());
    pthread_sigmask(SIG_UNBLOCK, &wake, nullptr);
    pthread_setname_np(pthread_self(), "serial lines");
    // The counter is read when this thread runs, so it should run the moment
    // its wait ends. Without the privilege for real-time scheduling it stays as it was.
    sched_param realTime{};
    realTime.sched_priority = sched_get_priority_min(SCHED_FIFO) + 40;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &realTime);

    Arm();
    const int first = WaitForChange();
    const bool polling = first != 0 && Refused(first);
    if (polling) polled_ = mask_;
    Signal(decided_);
    const int error = polling ? PollLoop() : WaitLoop(first);
    if (error != 0 && !stop_) inbox_->Lost(name_ + ": " + SystemText(error));
    EndGuard();
    Signal(ended_);
}

// 0 when a watched line moved, else the error (EINTR when woken).
int LinuxSerialDevice::WaitForChange()
{
    inWait_ = true;
    int result = EINTR;
    if (!stop_) result = ioctl(fd_->get(), TIOCMIWAIT, static_cast<unsigned long>(lines_)) == 0 ? 0 : errno;
    inWait_ = false;
    return result;
}

int LinuxSerialDevice::WaitLoop(int result)
{
    for (;;) {
        // The moment of the edge is the moment of the wake: read at once.
        const std::int64_t counter = readCounter_();
        Disarm();
        if (result != 0 && result != EINTR) return result;
        if (stop_) return 0;
        // Also after EINTR: the interrupted wait may have hidden an edge.
        if (const int error = Report(result != 0, counter)) return error;
        Arm();
        result = WaitForChange();
    }
}

// The kernel's wait compares the counts with those at its own start, so an
// edge in the instant between the last reading and that start would wait
// for the next edge. The guard looks at the lines a few times after each
// wait has begun, and wakes the thread if they moved since its reading.
void LinuxSerialDevice::Arm()
{
    std::lock_guard lock(guardMutex_);
    baseline_ = last_;
    ++armed_;
    waiting_ = true;
    guardChanged_.notify_one();
}

void LinuxSerialDevice::Disarm()
{
    std::lock_guard lock(guardMutex_);
    waiting_ = false;
}

void LinuxSerialDevice::EndGuard()
{
    std::lock_guard lock(guardMutex_);
    guardEnds_ = true;
    guardChanged_.notify_one();
}

void LinuxSerialDevice::Guard()
{
    pthread_setname_np(pthread_self(), "serial guard");
    prctl(PR_SET_TIMERSLACK, 1ul);  // its short sleeps as short as the system allows
    constexpr auto FirstLook = std::chrono::microseconds(50);
    constexpr auto LastLook = std::chrono::milliseconds(25);
    std::unique_lock lock(guardMutex_);
    std::uint64_t seen = 0;
    const auto newWait = [&] { return guardEnds_ || (waiting_ && armed_ != seen); };
    const auto waitOver = [&] { return guardEnds_ || !waiting_ || armed_ != seen; };
    for (;;) {
        guardChanged_.wait(lock, newWait);
        if (guardEnds_) return;
        seen = armed_;
        const LineReading baseline = baseline_;
        for (auto pause = std::chrono::microseconds(FirstLook); pause <= LastLook;) {
            if (guardChanged_.wait_for(lock, pause, waitOver)) break;
            lock.unlock();
            LineReading now;
            const bool changed = Sample(now, baseline.counted) == 0 && Moved(baseline, now, mask_);
            lock.lock();
            // Woken too early, the thread may not have been in the wait yet: look again soon.
            if (changed && !waitOver() && inWait_) pthread_kill(watcher_, WakeSignal());
            if (!changed) pause *= 2;
        }
    }
}

int LinuxSerialDevice::PollLoop()
{
    constexpr long Period = 1'000'000;  // ns
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (;;) {
        next.tv_nsec += Period;
        if (next.tv_nsec >= 1'000'000'000) {
            next.tv_nsec -= 1'000'000'000;
            ++next.tv_sec;
        }
        inWait_ = true;
        while (!stop_ && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
        }
        inWait_ = false;
        if (stop_) return 0;
        if (HungUp()) return EIO;
        if (const int error = Report(true, 0)) return error;
        // Late by more than a period: the missed ticks are not made up in a burst.
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec > next.tv_nsec)) next = now;
    }
}

bool LinuxSerialDevice::HungUp() const
{
    pollfd p{fd_->get(), 0, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLNVAL));
}

// Delivers the edges since the last reading; `stampNow` takes the counter
// after the reading instead of `counter`. Edges that come while delivering
// are looked for again before returning: a wait started later would not see them.
int LinuxSerialDevice::Report(bool stampNow, std::int64_t counter)
{
    for (;;) {
        LineReading now;
        if (const int error = Read(now)) return error;
        if (stampNow) counter = readCounter_();
        const std::vector<ComEventBatch> batches = EdgesBetween(last_, now, mask_, counter);
        last_ = now;
        if (batches.empty()) return 0;
        for (const ComEventBatch& batch : batches) {
            if (stop_) return 0;
            inbox_->Deliver(batch);
        }
        stampNow = true;
    }
}

int LinuxSerialDevice::Read(LineReading& reading)
{
    int error = Sample(reading, counted_);
    if (error != 0 && counted_ && Refused(error)) {
        counted_ = false;  // this driver does not count
        error = Sample(reading, false);
    }
    if (error == 0) status_ = StatusOf(reading.levels);
    return error;
}

// Levels and counts that belong together: the counts are read around the
// levels and the reading is repeated if a line moved in between.
int LinuxSerialDevice::Sample(LineReading& reading, bool counted) const
{
    const int fd = fd_->get();
    const auto counts = [](const serial_icounter_struct& c) {
        return std::array<std::uint32_t, 4>{static_cast<std::uint32_t>(c.cts), static_cast<std::uint32_t>(c.dsr),
                                            static_cast<std::uint32_t>(c.rng), static_cast<std::uint32_t>(c.dcd)};
    };
    for (int attempt = 0;; ++attempt) {
        serial_icounter_struct before{}, after{};
        if (counted && ioctl(fd, TIOCGICOUNT, &before) != 0) return errno;
        int levels = 0;
        if (ioctl(fd, TIOCMGET, &levels) != 0) return errno;
        if (counted && ioctl(fd, TIOCGICOUNT, &after) != 0) return errno;
        if (counted && counts(before) != counts(after) && attempt < 3) continue;
        reading.levels = levels;
        reading.counted = counted;
        reading.transitions = counted ? counts(after) : std::array<std::uint32_t, 4>{};
        return 0;
    }
}

class LinuxSerialPorts final : public SerialPorts {
public:
    LinuxSerialPorts(std::function<std::int64_t()> readCounter, PostToScheduler post)
        : readCounter_(readCounter ? std::move(readCounter) : MonotonicCounter), post_(std::move(post))
    {
    }

    std::unique_ptr<SerialDevice> Open(const std::string& device, const DeviceControl& control) override
    {
        const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) Descriptor::HandleFailed(errno);
        auto descriptor = std::make_unique<Descriptor>(fd);
        descriptor->TakeExclusively();
        Configure(fd, control);
        return std::make_unique<LinuxSerialDevice>(std::move(descriptor), device, readCounter_, post_);
    }
    std::vector<SerialPortEntry> List() const override { return ListedPorts(linuxserial::FindPorts()); }
    // Ports go by their paths here, so an old port number names none.
    std::string DeviceOfNumber(int) const override { return {}; }
    std::string AccessHint(const std::string& device) const override
    {
        if (access(device.c_str(), F_OK) != 0 || access(device.c_str(), W_OK) == 0) return {};
        return "\n\nThis user may not use " + device +
               ". On Linux, serial ports belong to the group \"dialout\": add yourself with \"sudo usermod -aG "
               "dialout $USER\", then log out and in again.";
    }
    std::string PersistentName(const std::string& device) const override
    {
        return linuxserial::PersistentName(device);
    }
    std::unique_ptr<DeviceWatch> WatchFor(const std::string& device, std::function<void()> changed) override
    {
        return linuxserial::WatchDevice(device, std::move(changed));
    }

private:
    const std::function<std::int64_t()> readCounter_;
    const PostToScheduler post_;
};

}  // namespace

std::unique_ptr<SerialPorts> MakeSystemSerialPorts(std::function<std::int64_t()> readCounter, PostToScheduler post)
{
    return std::make_unique<LinuxSerialPorts>(std::move(readCounter), std::move(post));
}

}  // namespace chronivel
