// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux serial adapter on pseudo-terminals, whose modem lines come from
// the preloaded shim (serialshim/serialshim.h): settings, exclusivity, the
// edges of each line with their counter readings, recovery of edges that
// came while the event thread was busy, polling, unplugging and stopping.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/linuxserialports.h"
#include "platform/systemserialports.h"
#include "serialshim/ptyport.h"
#include "serialshim/serialshim.h"

namespace chronivel {
namespace {

using namespace serialtest;
constexpr std::uint32_t LineMask = ev::Cts | ev::Dsr | ev::Rlsd | ev::Ring;

// --- the edges between two readings, without a device ------------------------

linuxserial::LineReading Reading(int levels, std::array<std::uint32_t, 4> counts = {}, bool counted = true)
{
    return {levels, counts, counted};
}

TEST(LinuxSerialEdges, LinesThatChangedTogetherShareOneBatch)
{
    const auto batches = linuxserial::EdgesBetween(Reading(0), Reading(TIOCM_CTS | TIOCM_CD, {1, 0, 0, 1}), LineMask, 77);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0].events, ev::Cts | ev::Rlsd);
    EXPECT_EQ(batches[0].status, ms::CtsOn | ms::RlsdOn);
    EXPECT_EQ(batches[0].counter, 77);
}

TEST(LinuxSerialEdges, MissedTransitionsBecomeTheirOwnBatchesInOrder)
{
    // DCD went on, off and on again (three counts) while CTS went on once.
    const auto batches =
        linuxserial::EdgesBetween(Reading(0), Reading(TIOCM_CTS | TIOCM_CD, {1, 0, 0, 3}), LineMask, 5);
    ASSERT_EQ(batches.size(), 3u);
    EXPECT_EQ(batches[0].events, ev::Cts | ev::Rlsd);
    EXPECT_EQ(batches[0].status, ms::CtsOn | ms::RlsdOn);
    EXPECT_EQ(batches[1].events, ev::Rlsd);
    EXPECT_EQ(batches[1].status, ms::CtsOn);
    EXPECT_EQ(batches[2].events, ev::Rlsd);
    EXPECT_EQ(batches[2].status, ms::CtsOn | ms::RlsdOn);
    for (const ComEventBatch& batch : batches) EXPECT_EQ(batch.counter, 5);
}

TEST(LinuxSerialEdges, LevelsDecideWhereCountsAreMissingOrDisagree)
{
    // No counts: what the levels show, once.
    auto batches = linuxserial::EdgesBetween(Reading(TIOCM_DSR, {}, false), Reading(0, {}, false), LineMask, 1);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0].events, ev::Dsr);
    EXPECT_EQ(batches[0].status, 0u);
    // A driver that counts only the trailing edge of a ring: one count, same level, a whole pulse.
    batches = linuxserial::EdgesBetween(Reading(0), Reading(0, {0, 0, 1, 0}), LineMask, 1);
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0].status, ms::RingOn);
    EXPECT_EQ(batches[1].status, 0u);
    EXPECT_EQ(batches[1].events, ev::Ring);
    // Counters that wrapped still count forwards.
    batches = linuxserial::EdgesBetween(Reading(0, {0xFFFFFFFFu, 0, 0, 0}), Reading(0, {1, 0, 0, 0}), LineMask, 1);
    EXPECT_EQ(batches.size(), 2u);
}

TEST(LinuxSerialEdges, OnlyWatchedLinesAreReportedButAllLevelsShow)
{
    const auto batches =
        linuxserial::EdgesBetween(Reading(0), Reading(TIOCM_CTS | TIOCM_DSR, {1, 1, 0, 0}), ev::Cts | ev::RxChar, 9);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0].events, ev::Cts);
    EXPECT_EQ(batches[0].status, ms::CtsOn | ms::DsrOn);
    EXPECT_TRUE(linuxserial::EdgesBetween(Reading(0), Reading(TIOCM_DSR, {0, 1, 0, 0}), ev::Cts, 9).empty());
}

TEST(LinuxSerialEdges, BounceIsCutButEndsAtTheRightLevel)
{
    const auto batches = linuxserial::EdgesBetween(Reading(0), Reading(TIOCM_CD, {0, 0, 0, 1001}), LineMask, 1);
    ASSERT_EQ(batches.size(), linuxserial::MaxEdgesPerWake + 1);
    EXPECT_EQ(batches.back().status, ms::RlsdOn);
}

// --- the adapter on a pseudo-terminal ----------------------------------------

class LinuxSerial : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(shim.Loaded()) << "run with LD_PRELOAD=<build>/tests/serialshim/libchronivel_serialshim.so "
                                      "(ctest sets it)";
        ASSERT_TRUE(pty.Valid());
        shim.reset();
    }
    void TearDown() override
    {
        if (shim.Loaded()) shim.reset();
    }

    std::unique_ptr<SerialDevice> Open(const DeviceControl& control = BuildDeviceControl(ComSettings{}))
    {
        return ports->Open(pty.Slave(), control);
    }

    // Makes an edge and waits for the batch it brings; checks that its
    // counter lies between the edge and the moment it was seen delivered.
    ComEventBatch Edge(Recorder& recorder, int lines, int levels)
    {
        const std::size_t before = recorder.Batches().size();
        const long long edge = shim.setLines(lines, levels);
        EXPECT_TRUE(recorder.WaitForBatches(before + 1));
        const std::int64_t after = Counter();
        const auto batches = recorder.Batches();
        if (batches.size() <= before) return {};
        const ComEventBatch batch = batches[before];
        EXPECT_GE(batch.counter, CounterAt(edge));
        EXPECT_LE(batch.counter, after);
        return batch;
    }

    serialshim::Control shim = serialshim::Find();
    PseudoTerminal pty;
    std::unique_ptr<SerialPorts> ports = MakeSystemSerialPorts(Counter, RunHere);
};

struct SettingsCase {
    DeviceControl control;
    speed_t speed;
    tcflag_t size;
    tcflag_t parity;  // of PARENB | PARODD | CMSPAR
    bool twoStopBits;
    bool rtsCts;
    tcflag_t xonXoff;  // of IXON | IXOFF
    int outputs;
};

DeviceControl Control(std::uint32_t baud, std::uint8_t size, std::uint8_t parity, std::uint8_t stop, std::uint32_t flags)
{
    DeviceControl dc;
    dc.BaudRate = baud;
    dc.ByteSize = size;
    dc.Parity = parity;
    dc.StopBits = stop;
    dc.flags = DeviceControl::fBinary | flags;
    dc.XonChar = 0x11;
    dc.XoffChar = 0x13;
    return dc;
}

TEST_F(LinuxSerial, OpensWithTheSettingsAppliedAndDtrRtsRaised)
{
    constexpr auto dtr = DeviceControl::fDtrControlEnable;
    constexpr auto rtsCts = DeviceControl::fOutxCtsFlow | DeviceControl::fRtsControlHandshake;
    constexpr auto xonXoff = DeviceControl::fOutX | DeviceControl::fInX;
    const SettingsCase cases[] = {
        {BuildDeviceControl(ComSettings{}), B9600, CS8, 0, false, false, 0, TIOCM_DTR | TIOCM_RTS},
        {Control(19200, 7, 2, 2, dtr | rtsCts), B19200, CS7, PARENB, true, true, 0, TIOCM_DTR | TIOCM_RTS},
        {Control(115200, 5, 1, 1, xonXoff), B115200, CS5, PARENB | PARODD, true, false, IXON | IXOFF, TIOCM_RTS},
        {Control(1200, 6, 3, 0, dtr), B1200, CS6, PARENB | PARODD | CMSPAR, false, false, 0, TIOCM_DTR | TIOCM_RTS},
        {Control(57600, 8, 4, 0, 0), B57600, CS8, PARENB | CMSPAR, false, false, 0, TIOCM_RTS},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.control.BaudRate);
        shim.reset();
        const auto device = Open(c.control);
        termios t{};
        ASSERT_EQ(tcgetattr(pty.Master(), &t), 0);
        EXPECT_EQ(cfgetospeed(&t), c.speed);
        EXPECT_EQ(cfgetispeed(&t), c.speed);
        // A pseudo-terminal keeps CS8 without parity whatever it is asked; the shim saw the request.
        EXPECT_EQ(shim.requestedCflag() & CSIZE, c.size);
        EXPECT_EQ(shim.requestedCflag() & (PARENB | PARODD | CMSPAR), c.parity);
        EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), c.parity & (PARODD | CMSPAR));
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.rtsCts);
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF), c.xonXoff);
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t{CLOCAL | CREAD});
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw";
        EXPECT_EQ(t.c_oflag & OPOST, 0u) << "raw";
        EXPECT_EQ(shim.outputs(), c.outputs);
    }
}

// The kernel's termios2 (asm-generic), to read back any line speed.
struct Termios2 {
    tcflag_t c_iflag, c_oflag, c_cflag, c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed, c_ospeed;
};

TEST_F(LinuxSerial, RatesWithoutATermiosConstantAreSetExactly)
{
    for (const std::uint32_t rate : {14400u, 56000u, 128000u, 250000u, 256000u, 9600u}) {
        SCOPED_TRACE(rate);
        const auto device = Open(Control(rate, 8, 0, 0, 0));
        Termios2 t{};
        ASSERT_EQ(ioctl(pty.Master(), _IOR('T', 0x2A, Termios2), &t), 0);
        EXPECT_EQ(t.c_ospeed, rate);
        if (rate == 9600)  // after the others: a standard rate again
            EXPECT_EQ(t.c_cflag & CBAUD, tcflag_t{B9600});
        else
            EXPECT_EQ(t.c_cflag & CBAUD, tcflag_t{CBAUDEX}) << "BOTHER";
    }
}

// TIOCGEXCL through a descriptor of our own (root may open an exclusive port).
int ExclusiveMode(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    int exclusive = -1;
    if (fd >= 0 && ioctl(fd, TIOCGEXCL, &exclusive) != 0) exclusive = -1;
    if (fd >= 0) close(fd);
    return exclusive;
}

TEST_F(LinuxSerial, RefusedOpensSayWhy)
{
    try {
        ports->Open("/dev/no-such-port", BuildDeviceControl(ComSettings{}));
        ADD_FAILURE() << "opened a device that does not exist";
    } catch (const EComHandle& error) {
        EXPECT_STREQ(error.what(), "Unable to open com port: No such file or directory");
    }

    auto first = Open();
    EXPECT_EQ(ExclusiveMode(pty.Slave()), 1);
    try {
        Open();
        ADD_FAILURE() << "opened a port twice";
    } catch (const EComHandle& error) {
        EXPECT_STREQ(error.what(), "Unable to open com port: Device or resource busy");
    }
    first.reset();
    EXPECT_EQ(ExclusiveMode(pty.Slave()), 0) << "given back on close";
    EXPECT_NO_THROW(first = Open()) << "a closed port is free again";
    first.reset();

    // Settings the device cannot take close it again.
    try {
        Open(Control(9600, 9, 0, 0, 0));
        ADD_FAILURE() << "took nine data bits";
    } catch (const EComState& error) {
        EXPECT_STREQ(error.what(), "Unable to set com state: Invalid argument");
    }
    EXPECT_NO_THROW(Open());
}

TEST_F(LinuxSerial, EachLineDeliversItsEdgesWithTheirCounter)
{
    shim.setLines(TIOCM_DSR, TIOCM_DSR);  // a level before watching starts
    const auto device = Open();
    EXPECT_EQ(device->ReadModemStatus(), ms::DsrOn);
    Recorder recorder;
    device->StartWatching(LineMask, recorder);
    EXPECT_EQ(device->PolledEvents(), 0u) << "the shim waits like a driver";

    struct Line {
        int tiocm;
        std::uint32_t event, status;
    };
    std::uint32_t status = ms::DsrOn;
    for (const Line line : {Line{TIOCM_CTS, ev::Cts, ms::CtsOn}, Line{TIOCM_DSR, ev::Dsr, ms::DsrOn},
                            Line{TIOCM_CD, ev::Rlsd, ms::RlsdOn}, Line{TIOCM_RI, ev::Ring, ms::RingOn}}) {
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(testing::Message() << std::hex << line.event << " round " << round);
            status ^= line.status;
            const ComEventBatch batch = Edge(recorder, line.tiocm, (status & line.status) ? line.tiocm : 0);
            EXPECT_EQ(batch.events, line.event);
            EXPECT_EQ(batch.status, status);
            EXPECT_EQ(device->ReadModemStatus(), status);
        }
    }
    device->StopWatching();
    EXPECT_EQ(recorder.Batches().size(), 8u);
    EXPECT_TRUE(recorder.Losses().empty());
}

TEST_F(LinuxSerial, CtsAndDcdTogetherAreOneBatchAndUnwatchedLinesAreQuiet)
{
    const auto device = Open();
    Recorder recorder;
    device->StartWatching(ev::Cts | ev::Rlsd | ev::RxChar, recorder);
    const ComEventBatch both = Edge(recorder, TIOCM_CTS | TIOCM_CD, TIOCM_CTS | TIOCM_CD);
    EXPECT_EQ(both.events, ev::Cts | ev::Rlsd);
    EXPECT_EQ(both.status, ms::CtsOn | ms::RlsdOn);
    shim.setLines(TIOCM_DSR, TIOCM_DSR);  // not watched
    // The next batch is the next watched edge: nothing came in between.
    const ComEventBatch next = Edge(recorder, TIOCM_CD, 0);
    EXPECT_EQ(next.events, ev::Rlsd);
    EXPECT_EQ(next.status, ms::CtsOn | ms::DsrOn);
    device->StopWatching();
    EXPECT_EQ(recorder.Batches().size(), 2u);
}

TEST_F(LinuxSerial, EdgesWhileTheThreadIsBusyAreCountedNotLost)
{
    const auto device = Open();
    Recorder recorder;
    device->StartWatching(LineMask, recorder);
    recorder.Hold();
    shim.setLines(TIOCM_CD, TIOCM_CD);
    ASSERT_TRUE(recorder.WaitForBatches(1));  // the thread is now held in Deliver
    shim.setLines(TIOCM_CD, 0);
    const long long last = shim.setLines(TIOCM_CD, TIOCM_CD);
    recorder.Release();
    ASSERT_TRUE(recorder.WaitForBatches(3));
    const ComEventBatch dsr = Edge(recorder, TIOCM_DSR, TIOCM_DSR);
    device->StopWatching();

    const auto batches = recorder.Batches();
    ASSERT_EQ(batches.size(), 4u) << "one batch per edge, and no more";
    EXPECT_EQ(batches[0].status, ms::RlsdOn);
    EXPECT_EQ(batches[1].events, ev::Rlsd);
    EXPECT_EQ(batches[1].status, 0u);
    EXPECT_EQ(batches[2].events, ev::Rlsd);
    EXPECT_EQ(batches[2].status, ms::RlsdOn);
    EXPECT_EQ(batches[1].counter, batches[2].counter) << "found at the same wake";
    EXPECT_GE(batches[1].counter, CounterAt(last));
    EXPECT_EQ(dsr.events, ev::Dsr);
}

TEST_F(LinuxSerial, AnEdgeJustBeforeTheWaitBeginsIsNotLeftForTheNextEdge)
{
    const auto device = Open();
    Recorder recorder;
    device->StartWatching(LineMask, recorder);
    ASSERT_TRUE(Eventually([&] { return shim.waiters() == 1; }));
    // The CTS edge wakes the thread; DCD moves as it goes back to wait,
    // too early for that wait to see it.
    shim.changeBeforeNextWait(TIOCM_CD, TIOCM_CD);
    const std::int64_t before = Counter();
    EXPECT_EQ(Edge(recorder, TIOCM_CTS, TIOCM_CTS).events, ev::Cts);
    ASSERT_TRUE(recorder.WaitForBatches(2)) << "no DCD edge without a further edge";
    const ComEventBatch dcd = recorder.Batches()[1];
    EXPECT_EQ(dcd.events, ev::Rlsd);
    EXPECT_EQ(dcd.status, ms::CtsOn | ms::RlsdOn);
    EXPECT_GE(dcd.counter, before);
    device->StopWatching();
    EXPECT_EQ(recorder.Batches().size(), 2u);
}

TEST_F(LinuxSerial, WithoutCountsTheLevelStillTells)
{
    shim.refuse(SERIALSHIM_REFUSE_COUNT);
    const auto device = Open();
    Recorder recorder;
    device->StartWatching(LineMask, recorder);
    recorder.Hold();
    shim.setLines(TIOCM_CTS, TIOCM_CTS);
    ASSERT_TRUE(recorder.WaitForBatches(1));
    const long long off = shim.setLines(TIOCM_CTS, 0);
    recorder.Release();
    ASSERT_TRUE(recorder.WaitForBatches(2));
    const auto batches = recorder.Batches();
    EXPECT_EQ(batches[1].events, ev::Cts);
    EXPECT_EQ(batches[1].status, 0u);
    EXPECT_GE(batches[1].counter, CounterAt(off));
    EXPECT_EQ(Edge(recorder, TIOCM_CD, TIOCM_CD).events, ev::Rlsd);
    device->StopWatching();
    EXPECT_EQ(recorder.Batches().size(), 3u);
}

TEST_F(LinuxSerial, DriversThatCannotWaitArePolled)
{
    shim.refuse(SERIALSHIM_REFUSE_WAIT | SERIALSHIM_REFUSE_COUNT);
    const auto device = Open();
    Recorder recorder;
    device->StartWatching(ev::Cts | ev::Rlsd | ev::RxChar | ev::TxEmpty, recorder);
    EXPECT_EQ(device->PolledEvents(), ev::Cts | ev::Rlsd);
    const ComEventBatch on = Edge(recorder, TIOCM_CD, TIOCM_CD);
    EXPECT_EQ(on.events, ev::Rlsd);
    EXPECT_EQ(on.status, ms::RlsdOn);
    const ComEventBatch both = Edge(recorder, TIOCM_CD | TIOCM_CTS, TIOCM_CTS);
    EXPECT_EQ(both.events, ev::Cts | ev::Rlsd);
    EXPECT_EQ(both.status, ms::CtsOn);
    EXPECT_EQ(shim.waiters(), 0);
    device->StopWatching();
    EXPECT_EQ(device->PolledEvents(), ev::Cts | ev::Rlsd) << "still what the port does";
    EXPECT_EQ(EventThreads(), 0);

    // A driver that waits is not polled.
    shim.refuse(0);
    device->StartWatching(ev::Cts, recorder);
    EXPECT_EQ(device->PolledEvents(), 0u);
}

TEST_F(LinuxSerial, UnplugEndsTheThreadWithOneLossAndTheDeviceOpensAgain)
{
    for (const int refused : {0, SERIALSHIM_REFUSE_WAIT}) {
        SCOPED_TRACE(refused ? "polled" : "waiting");
        shim.reset();
        shim.refuse(refused);
        shim.setLines(TIOCM_CTS, TIOCM_CTS);
        auto device = Open();
        Recorder recorder;
        device->StartWatching(LineMask, recorder);
        ASSERT_GE(EventThreads(), 1);
        shim.unplug(1);
        ASSERT_TRUE(recorder.WaitForLoss());
        EXPECT_TRUE(Eventually([] { return EventThreads() == 0; })) << "the thread ends by itself";
        EXPECT_EQ(device->ReadModemStatus(), ms::CtsOn) << "the last status that could be read";
        device->StopWatching();
        device.reset();
        EXPECT_EQ(recorder.Losses(), std::vector<std::string>{pty.Slave() + ": Input/output error"});
        EXPECT_TRUE(recorder.Batches().empty());

        shim.unplug(0);
        device = Open();
        Recorder again;
        device->StartWatching(LineMask, again);
        EXPECT_EQ(Edge(again, TIOCM_CD, TIOCM_CD).events, ev::Rlsd);
    }
}

// Ends the test program with a message if it is still alive when its time is up.
class Watchdog {
public:
    explicit Watchdog(const char* what)
        : thread_([this, what] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, std::chrono::seconds(60), [this] { return finished_; })) {
                  std::fprintf(stderr, "hangs: %s\n", what);
                  std::abort();
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

TEST_F(LinuxSerial, APolledPortThatHangsUpIsLost)
{
    shim.refuse(SERIALSHIM_REFUSE_WAIT);
    const auto device = Open();
    Recorder recorder;
    device->StartWatching(LineMask, recorder);
    ASSERT_NE(device->PolledEvents(), 0u);
    pty.CloseMaster();
    ASSERT_TRUE(recorder.WaitForLoss());
    EXPECT_TRUE(Eventually([] { return EventThreads() == 0; }));
    device->StopWatching();
    EXPECT_EQ(recorder.Losses(), std::vector<std::string>{pty.Slave() + ": Input/output error"});
}

TEST_F(LinuxSerial, StopWatchingEndsAPendingWaitEveryTime)
{
    const auto device = Open();
    Recorder recorder;
    device->StopWatching();  // not watching: nothing to do
    const Watchdog watchdog("StopWatching");
    for (int i = 0; i < 400; ++i) {
        // Some waits begin slowly: a wake that comes just before one begins is lost.
        shim.slowWaitEntry(i % 8 >= 4 ? 300 : 0);
        device->StartWatching(LineMask, recorder);
        // Stop at once, while surely waiting, or right after an edge woke the thread.
        if (i % 4 == 1) {
            ASSERT_TRUE(Eventually([&] { return shim.waiters() == 1; }));
        }
        if (i % 4 >= 2) shim.setLines(TIOCM_CTS, (i / 4) % 2 ? 0 : TIOCM_CTS);
        device->StopWatching();
        ASSERT_EQ(shim.waiters(), 0) << "round " << i;
    }
    shim.slowWaitEntry(0);
    device->StopWatching();
    EXPECT_EQ(EventThreads(), 0);
    // A stopped device never calls its sink again.
    const std::size_t delivered = recorder.Batches().size();
    shim.setLines(TIOCM_CTS | TIOCM_CD, ~0);
    usleep(20'000);
    EXPECT_EQ(recorder.Batches().size(), delivered);
}

TEST_F(LinuxSerial, InputQueueCountsWaitingBytes)
{
    const auto device = Open();
    EXPECT_EQ(device->InputQueueCount(), 0);
    ASSERT_EQ(write(pty.Master(), "12345", 5), 5);
    EXPECT_TRUE(Eventually([&] { return device->InputQueueCount() == 5; }));
}

}  // namespace
}  // namespace chronivel
