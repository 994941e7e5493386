// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/barrierpipeline.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

#include "core/chronometer.h"
#include "core/highrestimer.h"

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

std::string Joined(std::string first, const std::string& second)
{
    if (!first.empty() && !second.empty()) first += ' ';
    return first + second;
}

}  // namespace

std::string AwayText(std::int64_t ms, std::optional<std::int64_t> firstRun, std::optional<std::int64_t> lastRun)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", static_cast<double>(ms) / 1000.0);
    std::string text = "Barriers away " + std::string(seconds) + " s";
    if (firstRun && lastRun && *firstRun != *lastRun)
        text += " during runs " + std::to_string(*firstRun) + " to " + std::to_string(*lastRun);
    else if (firstRun || lastRun)
        text += " during run " + std::to_string(firstRun ? *firstRun : *lastRun);
    return text + ".";
}

BarrierPipeline::BarrierPipeline(Chronometer& clock, THighResTimer& timer, SerialPorts& ports, Scheduler& scheduler)
    : clock_(clock),
      timer_(timer),
      ports_(ports),
      port_(ports),
      comeback_(ports, scheduler, [this] { return Reopen(); })
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
    port_.OnLost = [this](const std::string& reason) { Lost(reason); };
}

void BarrierPipeline::Restore()
{
    if (device_.empty()) device_ = ports_.DeviceOfNumber(portNumber_);
    if (device_.empty()) return;
    if (const std::string problem = Open(); problem.empty()) Opened({}, {});
    else
        AwaitAdapter("Barriers missing",
                     "The light barriers' adapter " + device_ + " cannot be opened. " + problem +
                         " Chronivel opens it as soon as it is there; if the barriers are not in use, choose "
                         "\"None\" in the Hardware menu.");
}

std::string BarrierPipeline::Choose(const std::string& device, int number)
{
    comeback_.Stop();
    gone_.reset();
    device_ = device;
    portNumber_ = number;
    if (device_.empty()) {
        port_.Close();
        if (tell) tell(std::nullopt);
        return {};
    }
    const std::string problem = Open();
    if (problem.empty()) Opened({}, {});
    else  // it stays chosen, as one unplugged does
        AwaitAdapter("Waiting for barriers",
                     "Waiting for the light barriers' adapter " + device_ + ": Chronivel opens it as soon as it can.");
    return problem;
}

void BarrierPipeline::AwaitAdapter(std::string headline, std::string text)
{
    gone_ = Gone{};
    Tell(Notice::Kind::Problem, std::move(headline), std::move(text));
    comeback_.Await(device_);
}

void BarrierPipeline::Close()
{
    comeback_.Stop();
    port_.Close();
}

std::string BarrierPipeline::Open()
{
    port_.device = device_;
    try {
        port_.Open();
    } catch (const std::runtime_error& error) {  // EComHandle, EComState
        return error.what() + ports_.AccessHint(device_);
    }
    return {};
}

void BarrierPipeline::Opened(std::string headline, std::string news)
{
    if (const std::string persistent = ports_.PersistentName(device_); persistent != device_) {
        device_ = persistent;
        port_.device = device_;
        if (deviceRenamed) deviceRenamed();
    }
    const std::uint32_t polled = port_.PolledEvents();
    if (polled != 0 && !toldPolled_.contains(device_)) {
        toldPolled_.insert(device_);
        if (headline.empty()) headline = "Barrier lines polled";
        news = Joined(std::move(news), "The adapter of " + device_ + " cannot report changes of " +
                                           EventNames(polled) + " by itself. Chronivel looks at " +
                                           (polled & (polled - 1) ? "these lines" : "this line") +
                                           " every millisecond instead, so barrier times there may be up to a "
                                           "millisecond late.");
    }
    if (!news.empty()) Tell(Notice::Kind::News, std::move(headline), std::move(news));
    else if (tell) tell(std::nullopt);
}

void BarrierPipeline::Lost(std::string reason)
{
    if (reason.starts_with(device_ + ": ")) reason.erase(0, device_.size() + 2);  // named once is enough
    gone_ = Gone{timer_.ReadCounter(), RunNow()};
    Tell(Notice::Kind::Problem, "Barriers gone",
         "The light barriers' adapter " + device_ + " is gone (" + reason + "). " +
             (gone_->run ? "The run goes on; " : "") + "Chronivel opens its port again as soon as it is plugged in.");
    comeback_.Await(device_);
}

bool BarrierPipeline::Reopen()
{
    if (!Open().empty()) return false;  // still away: nothing new to tell
    std::string headline = "Barriers back";
    std::string back;
    if (gone_ && gone_->since) {
        const std::int64_t ms = CountsToMilliseconds(timer_.ReadCounter() - *gone_->since, timer_.CountSpeed());
        const std::string away = AwayText(ms, gone_->run, RunNow());
        headline = away.substr(0, away.find(" during"));
        if (headline.back() == '.') headline.pop_back();
        back = "The light barriers are back on " + device_ + ". " + away;
    } else {
        back = "The light barriers' adapter " + device_ + " is there now; its edges count from now on.";
    }
    gone_.reset();
    Opened(std::move(headline), std::move(back));
    return true;
}

std::optional<std::int64_t> BarrierPipeline::RunNow() const
{
    if (clock_.State() != RunState::Running) return std::nullopt;
    return std::int64_t{clock_.DayCounter()} + 1;
}

void BarrierPipeline::Tell(Notice::Kind kind, std::string headline, std::string text)
{
    if (tell) tell(Notice{NoticeTopic::Barriers, kind, std::move(headline), std::move(text)});
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
