#include "core/barrierpipeline.h"

#include <stdexcept>
#include <utility>

#include "core/chronometer.h"

namespace chronivel {

namespace {

std::string EventNames(std::uint32_t events)
{
    std::string names;
    auto add = [&names](const char* name) { names += (names.empty() ? "" : ", ") + std::string(name); };
    if (events & ev::Cts) add("CTS");
    if (events & ev::Dsr) add("DSR");
    if (events & ev::Rlsd) add("DCD");
    if (events & ev::Ring) add("RI");
    return names;
}

}  // namespace

BarrierPipeline::BarrierPipeline(Chronometer& clock, SerialPorts& ports, TComPort::Post post)
    : clock_(clock), ports_(ports), port_(ports, std::move(post))
{
    // The barriers feed on DTR and RTS; the driver raises both while the port is open.
    port_.settings.flowControl = TFlowControl::fcRtsCts;
    port_.settings.events = EventBit(TEvent::evCTS) | EventBit(TEvent::evDSR) | EventBit(TEvent::evRLSD);
    port_.OnCTS = [this](const ComEventBatch& b) { Carry(rules_.Cts(b.status, Context(b.counter)), b.counter); };
    port_.OnRLSD = [this](const ComEventBatch& b) { Carry(rules_.Dcd(b.status, Context(b.counter)), b.counter); };
    port_.OnDSR = [this](const ComEventBatch& b) { Carry(rules_.Dsr(b.status, Context(b.counter)), b.counter); };
    port_.OnOpen = [this] {
        if (connectedChanged) connectedChanged(true);
    };
    port_.OnClose = [this] {
        if (connectedChanged) connectedChanged(false);
    };
    port_.OnLost = [this](const std::string& reason) {
        if (reportError)
            reportError("The light barriers' serial port is gone (" + reason +
                        "). Plug the adapter in again and choose its port in the Hardware menu.");
    };
}

void BarrierPipeline::Restore()
{
    if (device_.empty()) device_ = ports_.DeviceOfNumber(portNumber_);
    if (!device_.empty())
        Open("\n\nChronivel opens the light barriers' port chosen when it last ran. If the barriers are not in "
             "use, choose \"None\" in the Hardware menu.");
}

void BarrierPipeline::Choose(const std::string& device, int number)
{
    device_ = device;
    portNumber_ = number;
    if (device_.empty()) {
        port_.Close();
        return;
    }
    Open();
}

void BarrierPipeline::Open(const std::string& hint)
{
    port_.device = device_;
    try {
        port_.Open();
    } catch (const std::runtime_error& error) {  // EComHandle, EComState
        if (reportError) reportError(error.what() + ports_.AccessHint(device_) + hint);
        return;
    }
    const std::uint32_t polled = port_.PolledEvents();
    if (polled != 0 && !toldPolled_.contains(device_) && reportInfo) {
        toldPolled_.insert(device_);
        reportInfo("The adapter of " + device_ + " cannot report changes of " + EventNames(polled) +
                   " by itself. Chronivel looks at " + (polled & (polled - 1) ? "these lines" : "this line") +
                   " every millisecond instead, so barrier times there may be up to a millisecond late.");
    }
}

BarrierContext BarrierPipeline::Context(std::int64_t counter) const
{
    return {clock_.State(),         clock_.LapEnabled(),  pauseEnabled_,
            clock_.LockTimerOn(),   clock_.RunsStarted(), clock_.SinceLastLapMs(counter)};
}

void BarrierPipeline::Carry(BarrierCommand command, std::int64_t counter)
{
    switch (command) {
    case BarrierCommand::Stop:
    case BarrierCommand::Start: clock_.StartStopReset(counter); break;
    case BarrierCommand::Lap:
        if (clock_.LapEnabled()) clock_.TakeLap(counter);
        break;
    case BarrierCommand::Pause: clock_.TogglePause(counter); break;
    case BarrierCommand::None: break;
    }
}

}  // namespace chronivel
