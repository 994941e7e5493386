// SPDX-License-Identifier: GPL-3.0-or-later
// Serial ports through the Windows communications API: one overlapped
// WaitCommEvent at a time on a thread of the port's own.
#include "platform/win32serialports.h"

#include <thread>
#include <utility>

#include "platform/serialinbox.h"
#include "platform/systemserialports.h"
#include "platform/win32devicewatch.h"
#include "platform/win32text.h"

namespace chronivel {

// The core numbers events, lines and the control block as Windows does, so
// they pass to the API unchanged.
static_assert(ev::RxChar == EV_RXCHAR && ev::RxFlag == EV_RXFLAG && ev::TxEmpty == EV_TXEMPTY &&
              ev::Cts == EV_CTS && ev::Dsr == EV_DSR && ev::Rlsd == EV_RLSD && ev::Break == EV_BREAK &&
              ev::Err == EV_ERR && ev::Ring == EV_RING);
static_assert(ms::CtsOn == MS_CTS_ON && ms::DsrOn == MS_DSR_ON && ms::RingOn == MS_RING_ON &&
              ms::RlsdOn == MS_RLSD_ON);
static_assert(sizeof(DCB) == DeviceControl{}.DCBlength);
static_assert(NOPARITY == 0 && ODDPARITY == 1 && EVENPARITY == 2 && MARKPARITY == 3 && SPACEPARITY == 4);
static_assert(ONESTOPBIT == 0 && ONE5STOPBITS == 1 && TWOSTOPBITS == 2);

namespace {

// What the driver buffers each way; the settings' default sizes, which the
// XON limit of the control block is worked out from.
constexpr DWORD kQueueSize = 2048;
// Failed waits in a row after which the port counts as gone.
constexpr int kFailuresBeforeLost = 3;
// Between two failed waits, so that a failing driver is not asked again at once.
constexpr DWORD kRetryPauseMs = 50;

// What drivers answer once the device behind the handle has gone, an
// unplugged USB adapter above all; no later wait can succeed.
bool DeviceGone(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_READY:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        return true;
    default:
        return false;
    }
}

std::string LostText(DWORD error)
{
    return "Lost the com port: " + SystemMessage(error);
}

class Win32SerialDevice final : public SerialDevice {
public:
    Win32SerialDevice(HANDLE handle, std::function<std::int64_t()> readCounter, PostToScheduler post,
                      CommCalls calls)
        : handle_(handle), readCounter_(std::move(readCounter)), post_(std::move(post)), calls_(std::move(calls))
    {
    }

    ~Win32SerialDevice() override
    {
        StopWatching();
        CloseHandle(handle_);
    }

    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

    std::uint32_t ReadModemStatus() override
    {
        // Clears an error state that would otherwise hold up the port.
        DWORD errors = 0;
        calls_.clearCommError(handle_, &errors, nullptr);
        DWORD status = 0;
        if (!calls_.getCommModemStatus(handle_, &status)) return 0;
        return status;
    }

    std::int32_t InputQueueCount() override
    {
        DWORD errors = 0;
        COMSTAT state{};
        if (!calls_.clearCommError(handle_, &errors, &state)) return 0;
        return static_cast<std::int32_t>(state.cbInQue);
    }

    void StartWatching(std::uint32_t mask, ComEventSink& sink) override
    {
        StopWatching();
        inbox_ = std::make_shared<SerialInbox>(sink, post_);
        // A mask the driver refuses shows up as failing waits, which the thread reports.
        calls_.setCommMask(handle_, mask);
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (stop_ == nullptr) {
            // Reported as a loss, so that the port closes the usual way.
            inbox_->Lost(LostText(GetLastError()));
            return;
        }
        try {
            thread_ = std::thread([this] { Watch(*inbox_); });
        } catch (...) {
            CloseHandle(stop_);
            stop_ = nullptr;
            throw;
        }
    }

    void StopWatching() override
    {
        if (stop_ != nullptr) {
            SetEvent(stop_);
            if (thread_.joinable()) thread_.join();
            CloseHandle(stop_);
            stop_ = nullptr;
        }
        if (inbox_) std::exchange(inbox_, nullptr)->Close();
    }

    std::uint32_t PolledEvents() const override { return 0; }

private:
    // The event thread: waits for the driver until stopped or the device is gone.
    void Watch(ComEventSink& sink)
    {
        OVERLAPPED overlapped{};
        overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (overlapped.hEvent == nullptr) {
            sink.Lost(LostText(GetLastError()));
            return;
        }
        bool pending = false;
        int failures = 0;
        DWORD lostError = ERROR_SUCCESS;
        for (;;) {
            DWORD events = 0;
            // Cleared by hand: a signal left from the last wait would repeat its batch.
            ResetEvent(overlapped.hEvent);
            DWORD error = calls_.waitCommEvent(handle_, &events, &overlapped) ? ERROR_SUCCESS : GetLastError();
            // Done at once, the wait has its events already; failed at once,
            // it never started and its event says nothing.
            if (error == ERROR_IO_PENDING) {
                pending = true;
                const HANDLE handles[] = {stop_, overlapped.hEvent};
                const DWORD woke = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
                if (woke == WAIT_OBJECT_0) break;
                if (woke != WAIT_OBJECT_0 + 1) {
                    const DWORD waitError = GetLastError();
                    lostError = waitError != ERROR_SUCCESS ? waitError : ERROR_GEN_FAILURE;
                    break;
                }
                pending = false;
                DWORD unused = 0;
                error = calls_.getOverlappedResult(handle_, &overlapped, &unused, FALSE) ? ERROR_SUCCESS
                                                                                          : GetLastError();
            }
            if (error == ERROR_SUCCESS) {
                failures = 0;
                // The counter first: it is the time of the edge.
                const std::int64_t counter = readCounter_ ? readCounter_() : 0;
                DWORD status = 0;
                calls_.getCommModemStatus(handle_, &status);
                sink.Deliver({events, status, counter});
                continue;
            }
            if (DeviceGone(error) || ++failures >= kFailuresBeforeLost) {
                lostError = error;
                break;
            }
            if (WaitForSingleObject(stop_, kRetryPauseMs) != WAIT_TIMEOUT) break;
        }

        if (pending) {
            // An empty mask ends the wait on every driver; the OVERLAPPED is
            // the driver's until it has let go of it.
            calls_.setCommMask(handle_, 0);
            calls_.cancelIo(handle_);
            DWORD unused = 0;
            calls_.getOverlappedResult(handle_, &overlapped, &unused, TRUE);
        }
        calls_.purgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR);
        CloseHandle(overlapped.hEvent);
        if (lostError != ERROR_SUCCESS) sink.Lost(LostText(lostError));
    }

    HANDLE handle_;
    std::function<std::int64_t()> readCounter_;
    PostToScheduler post_;
    CommCalls calls_;
    HANDLE stop_ = nullptr;
    std::shared_ptr<SerialInbox> inbox_;
    std::thread thread_;
};

bool Configure(HANDLE handle, const DeviceControl& control)
{
    DCB dcb = Win32Dcb(control);
    if (!SetCommState(handle, &dcb)) return false;
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(handle, &timeouts)) return false;
    // Reads return at once with what has come; a write may take its time.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 1000;
    timeouts.WriteTotalTimeoutConstant = 1500;
    return SetCommTimeouts(handle, &timeouts) && SetupComm(handle, kQueueSize, kQueueSize);
}

class Win32SerialPorts final : public SerialPorts {
public:
    Win32SerialPorts(std::function<std::int64_t()> readCounter, PostToScheduler post)
        : readCounter_(std::move(readCounter)), post_(std::move(post))
    {
    }

    std::unique_ptr<SerialDevice> Open(const std::string& device, const DeviceControl& control) override
    {
        const HANDLE handle = CreateFileW(Utf16(ComDevicePath(device)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            throw EComHandle("Unable to open com port: " + SystemMessage(GetLastError()));
        if (!Configure(handle, control)) {
            const DWORD error = GetLastError();  // before CloseHandle can change it
            CloseHandle(handle);
            throw EComState("Unable to set com state: " + SystemMessage(error));
        }
        return AdoptComHandle(handle, readCounter_, post_);
    }
    std::vector<SerialPortEntry> List() const override { return ListedPorts(FindComPorts()); }
    std::string DeviceOfNumber(int number) const override
    {
        return number > 0 ? "COM" + std::to_string(number) : std::string();
    }
    // Windows has no group that a user must join for a port.
    std::string AccessHint(const std::string&) const override { return {}; }
    // COMn stays with an adapter when it is plugged in again: PersistentName keeps it as it is.
    std::unique_ptr<DeviceWatch> WatchFor(const std::string& device, std::function<void()> changed) override
    {
        auto watch = std::make_unique<Win32DeviceWatch>(device, std::move(changed));
        if (!watch->Watching()) return nullptr;
        return watch;
    }

private:
    std::function<std::int64_t()> readCounter_;
    PostToScheduler post_;
};

}  // namespace

DCB Win32Dcb(const DeviceControl& control)
{
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = control.BaudRate;
    const auto has = [&control](std::uint32_t flag) { return (control.flags & flag) != 0; };
    dcb.fBinary = has(DeviceControl::fBinary);
    dcb.fOutxCtsFlow = has(DeviceControl::fOutxCtsFlow);
    dcb.fDtrControl = has(DeviceControl::fDtrControlEnable) ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fOutX = has(DeviceControl::fOutX);
    dcb.fInX = has(DeviceControl::fInX);
    dcb.fRtsControl = has(DeviceControl::fRtsControlHandshake) ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_DISABLE;
    dcb.XonLim = control.XonLim;
    dcb.XoffLim = control.XoffLim;
    dcb.ByteSize = control.ByteSize;
    dcb.Parity = control.Parity;
    dcb.StopBits = control.StopBits;
    dcb.XonChar = control.XonChar;
    dcb.XoffChar = control.XoffChar;
    return dcb;
}

std::string ComDevicePath(const std::string& device)
{
    // A name in a namespace already ("\\.\COM3", "\\?\...") stays as it is.
    if (device.rfind("\\\\", 0) == 0) return device;
    return "\\\\.\\" + device;
}

std::unique_ptr<SerialDevice> AdoptComHandle(HANDLE handle, std::function<std::int64_t()> readCounter,
                                             PostToScheduler post, CommCalls calls)
{
    return std::make_unique<Win32SerialDevice>(handle, std::move(readCounter), std::move(post), std::move(calls));
}

std::unique_ptr<SerialPorts> MakeSystemSerialPorts(std::function<std::int64_t()> readCounter, PostToScheduler post)
{
    return std::make_unique<Win32SerialPorts>(std::move(readCounter), std::move(post));
}

}  // namespace chronivel
