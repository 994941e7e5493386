// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lightbarriers.h"

#include "core/serialline.h"

namespace chronivel {

void LightBarriers::SetAlgorithm(int algorithm)
{
    algorithm_ = BarrierAlgorithm(algorithm >= 0 && algorithm < AlgorithmCount ? algorithm : 0);
}

void LightBarriers::SetArrangement(int arrangement)
{
    arrangement_ = arrangement >= FirstArrangement && arrangement <= LastArrangement
        ? BarrierArrangement(arrangement) : BarrierArrangement::StopBarrier;
}

BarrierCommand LightBarriers::Cts(std::uint32_t status, const BarrierContext& context)
{
    if (context.runState != RunState::Running) return BarrierCommand::None;
    if (status == lastStatus_) return BarrierCommand::None;  // the same edge seen twice
    const bool cts = (status & ms::CtsOn) != 0;
    lastStatus_ = cts ? status : CtsOffMarker;
    if (context.lockRunning) return BarrierCommand::None;
    if (Rule().stops && Matches(cts)) return BarrierCommand::Stop;
    return BarrierCommand::None;
}

BarrierCommand LightBarriers::Dcd(std::uint32_t status, const BarrierContext& context)
{
    if (!context.lapEnabled && !context.pauseEnabled) return BarrierCommand::None;
    if (status == lastStatus_) return BarrierCommand::None;
    const bool dcd = (status & ms::RlsdOn) != 0;
    lastStatus_ = dcd ? status : DcdOffMarker;
    if (!Matches(dcd)) return BarrierCommand::None;
    if (context.pauseEnabled && arrangement_ == BarrierArrangement::ToggleBarrier) return BarrierCommand::Pause;
    if (!context.lapEnabled) return BarrierCommand::None;

    if (context.run != lapsOfRun_) {
        lapsOfRun_ = context.run;
        barrierLaps_ = 0;
    }
    if (lapLimit_ > 0 && barrierLaps_ >= lapLimit_) return BarrierCommand::None;
    if (minLapMs_ > 0 && context.sinceLastLapMs < minLapMs_) return BarrierCommand::None;
    ++barrierLaps_;
    return BarrierCommand::Lap;
}

BarrierCommand LightBarriers::Dsr(std::uint32_t status, const BarrierContext& context) const
{
    if (!Matches((status & ms::DsrOn) != 0)) return BarrierCommand::None;
    if (context.runState == RunState::Ready) return BarrierCommand::Start;
    // A lone barrier also stops the run it started, once the lock after the
    // start is over; beside a stop barrier it only ever starts.
    if (arrangement_ == BarrierArrangement::Single && context.runState == RunState::Running && !context.lockRunning)
        return BarrierCommand::Stop;
    return BarrierCommand::None;
}

}  // namespace chronivel
