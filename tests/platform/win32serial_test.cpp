// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows serial adapter: its control block, opening ports, and the event
// thread against a stand-in driver. In the Wine prefix of tools/wine-run
// COM1..COM255 open (to a device object with no driver behind it), so only
// names that are no port at all are opened here: COM0, COM999 and NUL.
#ifdef _WIN32

#include "platform/win32serialports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/systemserialports.h"
#include "platform/win32text.h"

namespace chronivel {
namespace {

// Only a hang ever runs into it; no test measures time.
constexpr auto kHangGuard = std::chrono::seconds(30);

// The light-barrier port of the main window.
ComSettings LightBarrierSettings()
{
    ComSettings s;
    s.flowControl = TFlowControl::fcRtsCts;
    s.events = EventBit(TEvent::evCTS) | EventBit(TEvent::evDSR) | EventBit(TEvent::evRLSD);
    s.dataBits = 8;
    s.baudRate = TBaudRate::br9600;
    return s;
}

constexpr std::uint32_t kLightBarrierMask = ev::Cts | ev::Dsr | ev::Rlsd;

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(value));
    return text;
}

// How the stand-in driver logs the purge that ends every watch.
const std::string kPurge = "purge " + Hex(PURGE_RXABORT | PURGE_RXCLEAR);

// The word of bitfields after BaudRate, as the driver reads it.
DWORD FlagWord(const DCB& dcb)
{
    DWORD word = 0;
    std::memcpy(&word, reinterpret_cast<const char*>(&dcb) + offsetof(DCB, BaudRate) + sizeof dcb.BaudRate,
                sizeof word);
    return word;
}

TEST(Win32Dcb, TheLightBarrierPortRaisesDtrAndHandshakesRts)
{
    const DCB dcb = Win32Dcb(BuildDeviceControl(LightBarrierSettings()));
    EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 0u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 1u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_HANDSHAKE));
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(dcb.XonLim, 512);
    EXPECT_EQ(dcb.XoffLim, 1);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
}

TEST(Win32Dcb, XonXoffAndTheOtherSettingsReachTheirFields)
{
    ComSettings s;
    s.flowControl = TFlowControl::fcXonXoff;
    s.enableDTR = false;
    s.parity = TParity::prEven;
    s.stopBits = TStopBits::sbTwoStopBits;
    s.dataBits = 7;
    s.baudRate = TBaudRate::brUser;
    s.baudRateUser = 250'000;
    const DCB dcb = Win32Dcb(BuildDeviceControl(s));
    EXPECT_EQ(dcb.fOutX, 1u);
    EXPECT_EQ(dcb.fInX, 1u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_DISABLE));
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.BaudRate, 250'000u);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.ByteSize, 7);
}

TEST(Win32Dcb, EachFlagAloneReachesItsOwnBitfield)
{
    for (const std::uint32_t flag : {DeviceControl::fBinary, DeviceControl::fOutxCtsFlow,
                                     DeviceControl::fDtrControlEnable, DeviceControl::fOutX, DeviceControl::fInX,
                                     DeviceControl::fRtsControlHandshake}) {
        DeviceControl control;
        control.flags = flag;
        EXPECT_EQ(FlagWord(Win32Dcb(control)), flag) << Hex(flag);
    }
}

TEST(ComDevicePath, EveryPortIsOpenedInTheDeviceNamespace)
{
    EXPECT_EQ(ComDevicePath("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(ComDevicePath("COM12"), "\\\\.\\COM12");
    EXPECT_EQ(ComDevicePath("\\\\.\\COM3"), "\\\\.\\COM3");
}

TEST(SystemMessage, GivesTheSystemsWordsOrTheNumber)
{
    const std::string text = SystemMessage(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find(std::to_string(ERROR_FILE_NOT_FOUND)), std::string::npos) << text;
    // The customer bit: no system message has such a code.
    const DWORD unknown = 0x2000'1234;
    EXPECT_NE(SystemMessage(unknown).find(std::to_string(unknown)), std::string::npos) << SystemMessage(unknown);
}

TEST(Win32SerialPorts, AnOldPortNumberNamesItsComPortAndListedPortsGoByTheirComName)
{
    const auto ports = MakeSystemSerialPorts([] { return std::int64_t{0}; }, {});
    EXPECT_EQ(ports->DeviceOfNumber(3), "COM3");
    EXPECT_EQ(ports->DeviceOfNumber(0), "") << "no port chosen";
    for (const SerialPortEntry& port : ports->List()) {
        EXPECT_EQ(port.device, "COM" + std::to_string(port.number)) << "no printer port is listed";
        EXPECT_EQ(port.caption.rfind(port.device, 0), 0u) << port.caption;
    }
}

TEST(Win32SerialPorts, APortThatIsNotThereCannotBeOpened)
{
    const auto ports = MakeSystemSerialPorts([] { return std::int64_t{0}; }, {});
    const std::string prefix = "Unable to open com port: ";
    for (const std::string name : {"COM0", "COM999"}) {
        // The system's own answer for this name, which the message must give.
        const HANDLE probe = CreateFileW(Utf16(ComDevicePath(name)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        const DWORD error = GetLastError();
        if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
        ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << name << " exists on this system";
        try {
            ports->Open(name, BuildDeviceControl(LightBarrierSettings()));
            ADD_FAILURE() << name << " opened";
        } catch (const EComHandle& e) {
            const std::string text = e.what();
            EXPECT_EQ(text, prefix + SystemMessage(error));
            EXPECT_EQ(text.find(std::to_string(error)), std::string::npos) << "no words from the system: " << text;
        }
    }
}

TEST(Win32SerialPorts, ADeviceThatIsNoPortRefusesTheSettings)
{
    const auto ports = MakeSystemSerialPorts([] { return std::int64_t{0}; }, {});
    const std::string prefix = "Unable to set com state: ";
    try {
        ports->Open("NUL", BuildDeviceControl(LightBarrierSettings()));
        ADD_FAILURE() << "the null device took serial settings";
    } catch (const EComState& e) {
        const std::string text = e.what();
        ASSERT_EQ(text.rfind(prefix, 0), 0u) << text;
        EXPECT_GT(text.size(), prefix.size());
    }
}

// Stands in for a serial driver. A wait stays pending until the test
// completes it, unless events for waits done at once are queued; every
// call is logged in order.
class FakeDriver {
public:
    CommCalls Calls()
    {
        CommCalls calls;
        // As on Windows, a new mask ends the pending wait with no events.
        calls.setCommMask = [this](HANDLE, DWORD mask) { return Cancel("mask " + Hex(mask), ERROR_SUCCESS); };
        calls.waitCommEvent = [this](HANDLE, DWORD* events, OVERLAPPED* overlapped) -> BOOL {
            DWORD error = ERROR_IO_PENDING;
            // As the system does when a request starts.
            ResetEvent(overlapped->hEvent);
            {
                std::lock_guard lock(mutex_);
                Log("wait");
                ++state_.waits;
                if (pending_) {
                    state_.overlapping = true;
                    error = ERROR_INVALID_PARAMETER;
                } else if (failAlways != ERROR_SUCCESS) {
                    error = failAlways;
                } else if (!doneAtOnce.empty()) {
                    *events = doneAtOnce.front();
                    doneAtOnce.pop_front();
                    error = result_ = ERROR_SUCCESS;
                    SetEvent(overlapped->hEvent);
                } else {
                    pending_ = true;
                    events_ = events;
                    overlapped_ = overlapped;
                    result_ = ERROR_IO_INCOMPLETE;
                }
            }
            changed_.notify_all();
            return Reply(error);
        };
        calls.getOverlappedResult = [this](HANDLE, OVERLAPPED* overlapped, DWORD*, BOOL wait) -> BOOL {
            if (wait) WaitForSingleObject(overlapped->hEvent, INFINITE);
            DWORD error;
            {
                std::lock_guard lock(mutex_);
                Log(wait ? "result wait" : "result");
                error = result_;
            }
            return Reply(error);
        };
        calls.getCommModemStatus = [this](HANDLE, DWORD* status) {
            *status = modemStatus;
            return Note("status");
        };
        calls.clearCommError = [this](HANDLE, DWORD* errors, COMSTAT* state) {
            *errors = CE_FRAME;
            if (state) state->cbInQue = inQueue;
            return Note("clear");
        };
        calls.cancelIo = [this](HANDLE) { return Cancel("cancel", ERROR_OPERATION_ABORTED); };
        calls.purgeComm = [this](HANDLE, DWORD flags) { return Note("purge " + Hex(flags)); };
        return calls;
    }

    std::int64_t ReadCounter()
    {
        Note("counter");
        return 1000 + counterReads_++;  // only ever on the event thread
    }

    // Ends the pending wait as the driver would; false when none is pending.
    bool Complete(DWORD error, DWORD events)
    {
        std::lock_guard lock(mutex_);
        if (!pending_) return false;
        Finish(error, events);
        return true;
    }

    // What the driver has seen so far.
    struct State {
        std::vector<std::string> log;
        int waits = 0;
        bool overlapping = false;  // a wait was asked for while one was pending
        bool eventAlive = false;   // the OVERLAPPED's event could be set when the last wait ended
    };
    State Now()
    {
        std::lock_guard lock(mutex_);
        return state_;
    }
    // Until the `n`th wait has begun and is pending.
    bool AwaitPending(int n) { return Await([&] { return pending_ && state_.waits >= n; }); }
    bool AwaitLogged(const std::string& entry)
    {
        return Await([&] { return std::find(state_.log.begin(), state_.log.end(), entry) != state_.log.end(); });
    }

    // Set before watching starts.
    std::deque<DWORD> doneAtOnce;
    DWORD failAlways = ERROR_SUCCESS;
    bool completeOnCancel = true;
    DWORD modemStatus = 0;
    DWORD inQueue = 0;

private:
    BOOL Note(std::string entry)
    {
        std::lock_guard lock(mutex_);
        Log(std::move(entry));
        return TRUE;
    }
    BOOL Cancel(std::string entry, DWORD error)
    {
        std::lock_guard lock(mutex_);
        Log(std::move(entry));
        if (pending_ && completeOnCancel) Finish(error, 0);
        return TRUE;
    }
    static BOOL Reply(DWORD error)
    {
        if (error == ERROR_SUCCESS) return TRUE;
        SetLastError(error);
        return FALSE;
    }

    template <class Condition>
    bool Await(Condition condition)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kHangGuard, condition);
    }
    // With the mutex held.
    void Finish(DWORD error, DWORD events)
    {
        if (error == ERROR_SUCCESS) *events_ = events;
        result_ = error;
        pending_ = false;
        Log("complete");
        state_.eventAlive = SetEvent(overlapped_->hEvent) != 0;
    }
    void Log(std::string entry)
    {
        state_.log.push_back(std::move(entry));
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    State state_;
    bool pending_ = false;
    DWORD* events_ = nullptr;
    OVERLAPPED* overlapped_ = nullptr;
    DWORD result_ = ERROR_IO_INCOMPLETE;
    std::int64_t counterReads_ = 0;
};

// Hands the findings over on the event thread itself, for tests of the device alone.
void RunHere(std::function<void()> call)
{
    call();
}

class RecordingSink final : public ComEventSink {
public:
    struct Record {
        std::vector<ComEventBatch> batches;
        std::vector<std::string> lost;
        bool onTestThread = false;  // a batch came on the thread that started watching
    };

    void Deliver(const ComEventBatch& batch) override
    {
        std::lock_guard lock(mutex_);
        record_.batches.push_back(batch);
        if (std::this_thread::get_id() == testThread_) record_.onTestThread = true;
        changed_.notify_all();
    }
    void Lost(const std::string& reason) override
    {
        std::lock_guard lock(mutex_);
        record_.lost.push_back(reason);
        changed_.notify_all();
    }

    Record Now()
    {
        std::lock_guard lock(mutex_);
        return record_;
    }
    bool AwaitBatches(std::size_t n) { return Await([&] { return record_.batches.size() >= n; }); }
    bool AwaitLost(std::size_t n) { return Await([&] { return record_.lost.size() >= n; }); }

private:
    template <class Condition>
    bool Await(Condition condition)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kHangGuard, condition);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    Record record_;
    const std::thread::id testThread_ = std::this_thread::get_id();
};

// A batch as events, lines and counter, for comparing.
using Fields = std::tuple<std::uint32_t, std::uint32_t, std::int64_t>;
std::vector<Fields> FieldsOf(const std::vector<ComEventBatch>& batches)
{
    std::vector<Fields> fields;
    for (const ComEventBatch& b : batches) fields.emplace_back(b.events, b.status, b.counter);
    return fields;
}

// Where `entry` is first logged at or after `from`; -1 when nowhere.
std::ptrdiff_t IndexOf(const std::vector<std::string>& log, const std::string& entry, std::size_t from = 0)
{
    const auto start = log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size()));
    const auto found = std::find(start, log.end(), entry);
    return found == log.end() ? -1 : found - log.begin();
}

class Win32SerialDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(handle_, nullptr); }
    void Adopt() { device = AdoptComHandle(handle_, [this] { return fake.ReadCounter(); }, RunHere, fake.Calls()); }
    void Watch()
    {
        Adopt();
        device->StartWatching(kLightBarrierMask, sink);
    }

    FakeDriver fake;
    RecordingSink sink;
    // Any handle does for the stand-in driver; the device closes it.
    HANDLE handle_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Last, so it goes first: its thread uses the fake and the sink.
    std::unique_ptr<SerialDevice> device;
};

TEST_F(Win32SerialDeviceTest, EachEndedWaitIsDeliveredWithTheCounterAndTheLines)
{
    Watch();
    ASSERT_TRUE(fake.AwaitPending(1));
    fake.modemStatus = ms::CtsOn | ms::DsrOn;
    ASSERT_TRUE(fake.Complete(ERROR_SUCCESS, ev::Cts));
    ASSERT_TRUE(sink.AwaitBatches(1));
    ASSERT_TRUE(fake.AwaitPending(2));
    fake.modemStatus = ms::RlsdOn;
    ASSERT_TRUE(fake.Complete(ERROR_SUCCESS, ev::Rlsd | ev::Dsr));
    ASSERT_TRUE(sink.AwaitBatches(2));
    ASSERT_TRUE(fake.AwaitPending(3));

    EXPECT_EQ(FieldsOf(sink.Now().batches),
              (std::vector<Fields>{{ev::Cts, ms::CtsOn | ms::DsrOn, 1000}, {ev::Rlsd | ev::Dsr, ms::RlsdOn, 1001}}));
    EXPECT_FALSE(sink.Now().onTestThread);

    const auto log = fake.Now().log;
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "mask " + Hex(kLightBarrierMask));
    // The counter is read first, at the edge; the lines' levels after it.
    const auto counter = IndexOf(log, "counter");
    ASSERT_GE(counter, 0);
    EXPECT_EQ(IndexOf(log, "status"), counter + 1);
    EXPECT_FALSE(fake.Now().overlapping);

    device->StopWatching();
    EXPECT_EQ(sink.Now().batches.size(), 2u) << "the wait ended by stopping is no event";
    EXPECT_TRUE(sink.Now().lost.empty());
    const auto stopped = fake.Now().log;
    const auto ended = IndexOf(stopped, "complete", log.size());
    ASSERT_GE(ended, 0) << "the pending wait was not ended";
    EXPECT_GT(IndexOf(stopped, kPurge, log.size()), ended);
}

TEST_F(Win32SerialDeviceTest, AWaitDoneAtOnceIsDeliveredOnce)
{
    fake.doneAtOnce = {ev::Dsr};
    fake.modemStatus = ms::DsrOn;
    Watch();
    ASSERT_TRUE(fake.AwaitPending(2));
    device->StopWatching();
    EXPECT_FALSE(fake.Now().overlapping);
    EXPECT_TRUE(sink.Now().lost.empty());
    EXPECT_EQ(FieldsOf(sink.Now().batches), (std::vector<Fields>{{ev::Dsr, ms::DsrOn, 1000}}));
}

TEST_F(Win32SerialDeviceTest, FailedWaitsApartDeliverNothingAndAreNoLoss)
{
    Watch();
    int wait = 0;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(fake.AwaitPending(++wait));
        ASSERT_TRUE(fake.Complete(ERROR_OPERATION_ABORTED, 0));
        ASSERT_TRUE(fake.AwaitPending(++wait));
        ASSERT_TRUE(fake.Complete(ERROR_OPERATION_ABORTED, 0));
        ASSERT_TRUE(fake.AwaitPending(++wait));
        ASSERT_TRUE(fake.Complete(ERROR_SUCCESS, ev::Cts));
        ASSERT_TRUE(sink.AwaitBatches(static_cast<std::size_t>(round) + 1));
    }
    ASSERT_TRUE(fake.AwaitPending(++wait));
    device->StopWatching();
    EXPECT_EQ(FieldsOf(sink.Now().batches), (std::vector<Fields>{{ev::Cts, 0, 1000}, {ev::Cts, 0, 1001}}));
    EXPECT_TRUE(sink.Now().lost.empty());
}

TEST_F(Win32SerialDeviceTest, WaitsThatKeepFailingAtOnceEndInOneLoss)
{
    fake.failAlways = ERROR_INVALID_PARAMETER;
    Watch();
    ASSERT_TRUE(sink.AwaitLost(1));
    ASSERT_TRUE(fake.AwaitLogged(kPurge));
    const int waits = fake.Now().waits;
    device->StopWatching();
    EXPECT_GT(waits, 1) << "one failure may pass";
    EXPECT_LE(waits, 5) << "the thread spins";
    EXPECT_EQ(fake.Now().waits, waits) << "the thread went on after the loss";
    const auto lost = sink.Now().lost;
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_NE(lost[0].find(SystemMessage(ERROR_INVALID_PARAMETER)), std::string::npos) << lost[0];
    EXPECT_TRUE(sink.Now().batches.empty());
}

TEST_F(Win32SerialDeviceTest, AGoneDeviceIsLostAtItsFirstFailure)
{
    fake.failAlways = ERROR_ACCESS_DENIED;  // as an unplugged USB adapter answers
    Watch();
    ASSERT_TRUE(sink.AwaitLost(1));
    device->StopWatching();
    EXPECT_EQ(fake.Now().waits, 1);

    // Again, with the failure ending a pending wait.
    fake.failAlways = ERROR_SUCCESS;
    device->StartWatching(kLightBarrierMask, sink);
    ASSERT_TRUE(fake.AwaitPending(2));
    ASSERT_TRUE(fake.Complete(ERROR_GEN_FAILURE, 0));
    ASSERT_TRUE(sink.AwaitLost(2));
    device->StopWatching();
    EXPECT_EQ(fake.Now().waits, 2);
    const auto record = sink.Now();
    ASSERT_EQ(record.lost.size(), 2u);
    EXPECT_NE(record.lost[0].find(SystemMessage(ERROR_ACCESS_DENIED)), std::string::npos) << record.lost[0];
    EXPECT_NE(record.lost[1].find(SystemMessage(ERROR_GEN_FAILURE)), std::string::npos) << record.lost[1];
    EXPECT_TRUE(record.batches.empty());
}

TEST_F(Win32SerialDeviceTest, StoppingLetsThePendingWaitEndBeforeItsEventGoes)
{
    fake.completeOnCancel = false;  // the driver lets go only when the test says so
    Watch();
    ASSERT_TRUE(fake.AwaitPending(1));
    std::thread stopper([this] { device->StopWatching(); });
    ASSERT_TRUE(fake.AwaitLogged("cancel"));
    EXPECT_TRUE(fake.Complete(ERROR_OPERATION_ABORTED, 0));
    stopper.join();

    EXPECT_TRUE(fake.Now().eventAlive);
    const auto log = fake.Now().log;
    const auto complete = IndexOf(log, "complete");
    ASSERT_GE(complete, 0);
    EXPECT_GT(IndexOf(log, "result wait"), complete);
    EXPECT_GT(IndexOf(log, kPurge), complete);
    EXPECT_TRUE(sink.Now().batches.empty());
    EXPECT_TRUE(sink.Now().lost.empty()) << "stopping is no loss";
}

TEST_F(Win32SerialDeviceTest, StoppingTwiceIsHarmlessAndWatchingStartsAgain)
{
    Adopt();
    device->StopWatching();  // nothing to stop yet
    device->StartWatching(kLightBarrierMask, sink);
    ASSERT_TRUE(fake.AwaitPending(1));
    device->StopWatching();
    device->StopWatching();
    const std::size_t before = fake.Now().log.size();

    device->StartWatching(ev::Cts, sink);
    ASSERT_TRUE(fake.AwaitPending(2));
    ASSERT_TRUE(fake.Complete(ERROR_SUCCESS, ev::Cts));
    ASSERT_TRUE(sink.AwaitBatches(1));
    EXPECT_GE(IndexOf(fake.Now().log, "mask " + Hex(ev::Cts), before), 0);
    EXPECT_EQ(sink.Now().batches[0].events, ev::Cts);
    device->StopWatching();
    EXPECT_FALSE(fake.Now().overlapping);
}

TEST_F(Win32SerialDeviceTest, TheModemStatusIsReadAfterClearingErrors)
{
    fake.modemStatus = ms::CtsOn | ms::RlsdOn;
    fake.inQueue = 17;
    Adopt();
    EXPECT_EQ(device->ReadModemStatus(), ms::CtsOn | ms::RlsdOn);
    EXPECT_EQ(fake.Now().log, (std::vector<std::string>{"clear", "status"}));
    EXPECT_EQ(device->InputQueueCount(), 17);
    EXPECT_EQ(device->PolledEvents(), 0u);
}

TEST_F(Win32SerialDeviceTest, DestroyingItStopsWatchingAndClosesTheHandle)
{
    HANDLE writeEnd = nullptr;
    CloseHandle(handle_);
    ASSERT_TRUE(CreatePipe(&handle_, &writeEnd, nullptr, 0));
    device = AdoptComHandle(handle_, nullptr, RunHere, fake.Calls());
    device->StartWatching(kLightBarrierMask, sink);
    ASSERT_TRUE(fake.AwaitPending(1));
    ASSERT_TRUE(fake.Complete(ERROR_SUCCESS, ev::Dsr));
    ASSERT_TRUE(sink.AwaitBatches(1));
    EXPECT_EQ(sink.Now().batches[0].counter, 0) << "no counter, no time";
    ASSERT_TRUE(fake.AwaitPending(2));
    device.reset();

    EXPECT_GE(IndexOf(fake.Now().log, kPurge), 0);
    // With the read end closed, the pipe is broken.
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(writeEnd, "x", 1, &written, nullptr));
    CloseHandle(writeEnd);
}

// The system's own calls on a device that opens but is no serial port:
// every wait fails at once.
TEST(Win32SerialDevice, WatchingADeviceThatIsNoPortEndsInOneLoss)
{
    const HANDLE handle = CreateFileW(L"\\\\.\\NUL", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << SystemMessage(GetLastError());
    RecordingSink sink;
    auto device = AdoptComHandle(handle, [] { return std::int64_t{1}; }, RunHere);
    device->StartWatching(kLightBarrierMask, sink);
    ASSERT_TRUE(sink.AwaitLost(1));
    device->StopWatching();
    EXPECT_EQ(sink.Now().lost.size(), 1u);
    EXPECT_TRUE(sink.Now().batches.empty());
}

}  // namespace
}  // namespace chronivel

#endif  // _WIN32
