// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/serialline.h"

#include <algorithm>
#include <array>
#include <regex>

namespace chronivel {

std::uint32_t EventMask(TEvents events)
{
    // By TEvent ordinal.
    constexpr std::array<std::uint32_t, 9> bits{ev::RxChar, ev::TxEmpty, ev::RxFlag, ev::Ring, ev::Break,
                                                ev::Cts,    ev::Dsr,     ev::Err,    ev::Rlsd};
    std::uint32_t mask = 0;
    for (unsigned i = 0; i < bits.size(); ++i)
        if (events & (1u << i)) mask |= bits[i];
    return mask;
}

std::uint32_t BaudRateValue(TBaudRate rate, std::int32_t user)
{
    constexpr std::array<std::uint32_t, 15> rates{110,   300,   600,   1200,   2400,   4800,   9600,  14400,
                                                  19200, 38400, 56000, 57600, 115200, 128000, 256000};
    const auto index = static_cast<std::size_t>(rate);
    return index < rates.size() ? rates[index] : static_cast<std::uint32_t>(user);
}

DeviceControl BuildDeviceControl(const ComSettings& s)
{
    DeviceControl d;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    d.XonLim = static_cast<std::uint16_t>(s.writeBufSize / 4);
    d.XoffLim = 1;
    d.flags = DeviceControl::fBinary;
    if (s.enableDTR) d.flags |= DeviceControl::fDtrControlEnable;
    if (s.flowControl == TFlowControl::fcRtsCts)
        d.flags |= DeviceControl::fOutxCtsFlow | DeviceControl::fRtsControlHandshake;
    else if (s.flowControl == TFlowControl::fcXonXoff)
        d.flags |= DeviceControl::fOutX | DeviceControl::fInX;
    d.Parity = static_cast<std::uint8_t>(s.parity);
    d.StopBits = static_cast<std::uint8_t>(s.stopBits);
    d.ByteSize = s.dataBits;
    d.BaudRate = BaudRateValue(s.baudRate, s.baudRateUser);
    return d;
}

std::vector<SerialPortEntry> ListedPorts(std::vector<FoundPort> found)
{
    std::sort(found.begin(), found.end(), [](const FoundPort& a, const FoundPort& b) { return a.name < b.name; });
    static const std::regex comNumber("^COM(\\d+)$");
    std::vector<SerialPortEntry> ports;
    for (const FoundPort& port : found) {
        std::smatch com;
        const int number = std::regex_match(port.name, com, comNumber) ? std::stoi(com[1].str())
                                                                        : static_cast<int>(ports.size()) + 1;
        ports.push_back({port.device,
                         port.description.empty() ? port.name : port.name + " \u2014 " + port.description, number});
    }
    return ports;
}

}  // namespace chronivel
