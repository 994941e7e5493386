// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace chronivel {

// A serial port as the light barriers use it: a watched set of modem lines.
// This is the boundary to the operating system; TComPort builds on it.

enum class TBaudRate {
    br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400, br56000, br57600, br115200,
    br128000, br256000, brUser
};
enum class TParity { prNone, prOdd, prEven, prMark, prSpace };
enum class TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum class TFlowControl { fcNone, fcRtsCts, fcXonXoff };
enum class TEvent { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD };

// A set of TEvent: bit n stands for the event of ordinal n.
using TEvents = std::uint16_t;
constexpr TEvents EventBit(TEvent event) { return static_cast<TEvents>(1u << static_cast<unsigned>(event)); }
inline constexpr TEvents AllEvents = 0x01FF;

// The events a port reports, as the Windows serial API numbers them.
namespace ev {
inline constexpr std::uint32_t RxChar = 0x0001;
inline constexpr std::uint32_t RxFlag = 0x0002;
inline constexpr std::uint32_t TxEmpty = 0x0004;
inline constexpr std::uint32_t Cts = 0x0008;
inline constexpr std::uint32_t Dsr = 0x0010;
inline constexpr std::uint32_t Rlsd = 0x0020;  // DCD
inline constexpr std::uint32_t Break = 0x0040;
inline constexpr std::uint32_t Err = 0x0080;
inline constexpr std::uint32_t Ring = 0x0100;
}  // namespace ev

// The modem status word: which input lines are on.
namespace ms {
inline constexpr std::uint32_t CtsOn = 0x10;
inline constexpr std::uint32_t DsrOn = 0x20;
inline constexpr std::uint32_t RingOn = 0x40;
inline constexpr std::uint32_t RlsdOn = 0x80;  // DCD
}  // namespace ms

std::uint32_t EventMask(TEvents events);

// The line settings of a port, with the values of a new component.
struct ComSettings {
    TBaudRate baudRate = TBaudRate::br9600;
    std::int32_t baudRateUser = 9600;
    TParity parity = TParity::prNone;
    TStopBits stopBits = TStopBits::sbOneStopBit;
    TFlowControl flowControl = TFlowControl::fcNone;
    std::uint8_t dataBits = 8;
    TEvents events = AllEvents;
    bool enableDTR = true;
    std::int32_t writeBufSize = 2048;
    std::int32_t readBufSize = 2048;
};

// The Windows device-control block, field for field, as the settings fill
// it; the Linux adapter translates the same fields to termios.
struct DeviceControl {
    static constexpr std::uint32_t fBinary = 0x0001;
    static constexpr std::uint32_t fOutxCtsFlow = 0x0004;
    static constexpr std::uint32_t fDtrControlEnable = 0x0010;
    static constexpr std::uint32_t fOutX = 0x0100;
    static constexpr std::uint32_t fInX = 0x0200;
    static constexpr std::uint32_t fRtsControlHandshake = 0x2000;

    std::uint32_t DCBlength = 28;
    std::uint32_t BaudRate = 0;
    std::uint32_t flags = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;

    friend bool operator==(const DeviceControl&, const DeviceControl&) = default;
};

std::uint32_t BaudRateValue(TBaudRate rate, std::int32_t user);
DeviceControl BuildDeviceControl(const ComSettings& settings);

// The device could not be opened: "Unable to open com port: " and the system's reason.
class EComHandle : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// The device would not take its settings: "Unable to set com state: " and the system's reason.
class EComState : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What one wake of the event thread found: the events, the lines' levels
// and the time source's counter at that moment.
struct ComEventBatch {
    std::uint32_t events = 0;  // ev:: bits
    std::uint32_t status = 0;  // ms:: bits
    std::int64_t counter = 0;
};

// Where a device hands what its event thread found; called on the
// scheduler's thread, in the order found.
class ComEventSink {
public:
    virtual ~ComEventSink() = default;
    virtual void Deliver(const ComEventBatch& batch) = 0;
    // The device went away (unplugged); the thread ends after this.
    virtual void Lost(const std::string& reason) = 0;
};

// An open, configured device.
class SerialDevice {
public:
    // Closes the device; watching must have stopped.
    virtual ~SerialDevice() = default;
    virtual std::uint32_t ReadModemStatus() = 0;
    virtual std::int32_t InputQueueCount() = 0;
    // Starts the event thread for the events in `mask` (ev:: bits).
    virtual void StartWatching(std::uint32_t mask, ComEventSink& sink) = 0;
    // Ends the event thread and waits for it; a pending wait is ended
    // first. What it found is handed to the sink before this returns;
    // afterwards the sink is never called again.
    virtual void StopWatching() = 0;
    // The events of the mask that the driver cannot wait for, which are
    // polled instead; 0 when it waits for all of them.
    virtual std::uint32_t PolledEvents() const = 0;
};

// A serial port as the system reports it.
struct FoundPort {
    std::string name;         // "ttyUSB0", "COM3"
    std::string device;       // what Open takes: its path on Linux, COMn on Windows
    std::string description;  // what the system calls it, or empty
};

// A serial port as the "Hardware" menu lists it.
struct SerialPortEntry {
    std::string device;
    std::string caption;  // "ttyUSB0 \u2014 FT232R USB UART"
    int number = 0;       // the "Port" setting: n of COMn, else its place in the list
};
// Sorted by name, each with its caption and number.
std::vector<SerialPortEntry> ListedPorts(std::vector<FoundPort> found);

// Watching for a device to come back; it ends when this is destroyed.
class DeviceWatch {
public:
    virtual ~DeviceWatch() = default;
};

// Lists and opens devices by name: a path such as /dev/ttyUSB0, or COM3.
class SerialPorts {
public:
    virtual ~SerialPorts() = default;
    // The ports the system has now.
    virtual std::vector<SerialPortEntry> List() const = 0;
    // Throws EComHandle or EComState.
    virtual std::unique_ptr<SerialDevice> Open(const std::string& device, const DeviceControl& control) = 0;
    // The device an old "Port" setting (n of COMn) names where such names
    // exist; empty elsewhere.
    virtual std::string DeviceOfNumber(int number) const = 0;
    // Follows a failed Open's message when this user may not use `device`: how to get access.
    virtual std::string AccessHint(const std::string& device) const = 0;
    // The name that stays with an adapter when it is plugged in again
    // (/dev/serial/by-id/... on Linux), for a device that has one; else `device`.
    virtual std::string PersistentName(const std::string& device) const { return device; }
    // Calls `changed`, from any thread, whenever `device` may have come or
    // changed (made, linked, its permissions set), until the watch is
    // destroyed; a call may be for nothing. Null where the system cannot
    // tell: the caller then looks now and then.
    virtual std::unique_ptr<DeviceWatch> WatchFor(const std::string& device, std::function<void()> changed)
    {
        (void)device;
        (void)changed;
        return nullptr;
    }
};

}  // namespace chronivel
