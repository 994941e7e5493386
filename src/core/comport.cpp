// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/comport.h"

#include <utility>

namespace chronivel {

// What the event thread leaves for the UI thread. It outlives the port as
// long as a posted call still refers to it; a port that is gone is not called.
class TComPort::Inbox final : public ComEventSink, public std::enable_shared_from_this<Inbox> {
public:
    Inbox(TComPort* port, Post post) : port_(port), post_(std::move(post)) {}

    void Deliver(const ComEventBatch& batch) override
    {
        {
            std::lock_guard lock(mutex_);
            batches_.push_back(batch);
        }
        Wake();
    }

    void Lost(const std::string& reason) override
    {
        {
            std::lock_guard lock(mutex_);
            lost_ = reason.empty() ? std::string("the device is gone") : reason;
        }
        Wake();
    }

    // UI thread.
    std::deque<ComEventBatch> TakeBatches()
    {
        std::lock_guard lock(mutex_);
        return std::exchange(batches_, {});
    }
    std::string TakeLost()
    {
        std::lock_guard lock(mutex_);
        return std::exchange(lost_, {});
    }
    void Forget() { port_ = nullptr; }

private:
    void Wake()
    {
        post_([self = weak_from_this()] {
            const auto inbox = self.lock();
            if (inbox && inbox->port_) inbox->port_->DrainInbox();
        });
    }

    TComPort* port_;
    Post post_;
    std::mutex mutex_;
    std::deque<ComEventBatch> batches_;
    std::string lost_;
};

TComPort::TComPort(SerialPorts& ports, Post post) : ports_(ports), inbox_(std::make_shared<Inbox>(this, std::move(post)))
{
}

TComPort::~TComPort()
{
    Close();
    inbox_->Forget();
}

void TComPort::Open()
{
    Close();
    device_ = ports_.Open(device, BuildDeviceControl(settings));
    device_->StartWatching(EventMask(settings.events), *inbox_);
    if (OnOpen) OnOpen();
}

void TComPort::Close()
{
    if (!device_) return;
    device_->StopWatching();
    // What the thread found before it ended still counts.
    for (const ComEventBatch& batch : inbox_->TakeBatches()) Dispatch(batch);
    device_.reset();
    inbox_->TakeLost();
    if (OnClose) OnClose();
}

std::uint32_t TComPort::PolledEvents() const
{
    return device_ ? device_->PolledEvents() : 0;
}

void TComPort::DrainInbox()
{
    for (const ComEventBatch& batch : inbox_->TakeBatches()) {
        if (!device_) return;  // closed by a callback: the rest belongs to no port
        Dispatch(batch);
    }
    const std::string lost = inbox_->TakeLost();
    if (lost.empty() || !device_) return;
    Close();
    if (OnLost) OnLost(lost);
}

void TComPort::Dispatch(const ComEventBatch& batch)
{
    const std::pair<std::uint32_t, LineEvent*> order[] = {{ev::Cts, &OnCTS}, {ev::Dsr, &OnDSR}, {ev::Rlsd, &OnRLSD}};
    for (const auto& [bit, callback] : order)
        if ((batch.events & bit) && *callback) (*callback)(batch);
}

}  // namespace chronivel
