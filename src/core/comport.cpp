// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/comport.h"

#include <utility>

namespace chronivel {

void TComPort::Open()
{
    Close();
    device_ = ports_.Open(device, BuildDeviceControl(settings));
    device_->StartWatching(EventMask(settings.events), *this);
    if (OnOpen) OnOpen();
}

void TComPort::Close()
{
    if (!device_) return;
    device_->StopWatching();  // hands over what the event thread found before it ended
    device_.reset();
    if (OnClose) OnClose();
}

std::uint32_t TComPort::PolledEvents() const
{
    return device_ ? device_->PolledEvents() : 0;
}

void TComPort::Deliver(const ComEventBatch& batch)
{
    const std::pair<std::uint32_t, LineEvent*> order[] = {{ev::Cts, &OnCTS}, {ev::Dsr, &OnDSR}, {ev::Rlsd, &OnRLSD}};
    for (const auto& [bit, callback] : order)
        if ((batch.events & bit) && *callback) (*callback)(batch);
}

void TComPort::Lost(const std::string& reason)
{
    Close();
    if (OnLost) OnLost(reason);
}

}  // namespace chronivel
