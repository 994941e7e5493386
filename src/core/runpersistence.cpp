// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/runpersistence.h"

#include <algorithm>
#include <cmath>

#include "core/highrestimer.h"
#include "core/runnumbers.h"

namespace chronivel {

namespace {

// A run older by the counter than by the wall clock by more than this is
// damage; less is the wall clock being corrected while the run went on.
constexpr std::int64_t ClockSlackMs = 10 * 60'000;

std::string Texts(const std::vector<std::string>& lines, const char* separator)
{
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined += separator;
        joined += lines[i];
    }
    return joined;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator)
{
    std::vector<std::string> parts;
    while (!text.empty()) {
        const std::size_t end = text.find(separator);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + separator.size());
    }
    return parts;
}

// The stored value when it is there with the type it is written with.
std::optional<RegValue> Typed(const SettingsStore& store, std::string_view name, RegType type)
{
    std::optional<RegValue> value = store.Get(name);
    if (!value || !value->Is(type)) return std::nullopt;
    if (type == RegType::Dword && value->data.size() < 4) return std::nullopt;
    if (type == RegType::Binary && value->data.size() > sizeof(std::int64_t)) return std::nullopt;
    return value;
}

std::int32_t IntegerOr(const SettingsStore& store, std::string_view name, std::int32_t fallback)
{
    const std::optional<RegValue> value = Typed(store, name, RegType::Dword);
    return value ? value->AsDword() : fallback;
}

std::int64_t BlockOr0(const SettingsStore& store, std::string_view name)
{
    std::int64_t block = 0;
    if (Typed(store, name, RegType::Binary)) ReadBlock(store, name, block);
    return block;
}

bool IsText(const RegValue& value)
{
    return value.Is(RegType::Sz) || value.Is(RegType::ExpandSz);
}

std::string TextOrEmpty(const SettingsStore& store, std::string_view name)
{
    const std::optional<RegValue> value = store.Get(name);
    return value && IsText(*value) ? value->AsText() : std::string();
}

}  // namespace

std::int64_t WallClockStart(std::int64_t startCount, std::int64_t nowCounter, double countSpeed,
                            std::int64_t nowWallMs)
{
    return nowWallMs - CountsToMilliseconds(nowCounter - startCount, countSpeed);
}

std::int64_t ResumeStartCount(const Settings& stored, std::string_view currentBoot, std::int64_t nowCounter,
                              double countSpeed, std::int64_t nowWallMs)
{
    if (stored.tickCount <= 0) return 0;
    if (stored.tickBoot.empty() || stored.tickTime == 0 || stored.tickBoot == currentBoot) return stored.tickCount;
    // A wall clock set back while the machine was off cannot make the run younger than nothing.
    const std::int64_t elapsedMs = std::max<std::int64_t>(0, nowWallMs - stored.tickTime);
    const auto elapsedCounts = static_cast<std::int64_t>(std::llround(static_cast<double>(elapsedMs) * 1000.0 * countSpeed));
    return std::max<std::int64_t>(1, nowCounter - elapsedCounts);
}

std::string DamagedRun(const Settings& stored, bool startTimeKept, std::string_view currentBoot,
                       std::int64_t nowCounter, double countSpeed, std::int64_t nowWallMs)
{
    if (stored.tickCount == 0) return {};
    const std::string what = "The run in progress kept in the settings (\"TickCount\" " +
                             std::to_string(stored.tickCount) + ") is damaged: ";
    const std::string dropped = " It is not resumed, and its time is kept out of the best time.";
    if (stored.tickCount < 0) return what + "a start count below zero." + dropped;
    if (!stored.tickBoot.empty() && stored.tickTime != 0 && stored.tickBoot != currentBoot) return {};
    if (stored.tickCount > nowCounter) return what + "its start lies ahead of the counter." + dropped;
    if (stored.tickTime == 0) return startTimeKept ? what + "it has no start time \"TickTime\"." + dropped : "";
    const std::int64_t counterAgeMs = CountsToMilliseconds(nowCounter - stored.tickCount, countSpeed);
    if (counterAgeMs > nowWallMs - stored.tickTime + ClockSlackMs)
        return what + "it would be older than its start time \"TickTime\" allows." + dropped;
    return {};
}

StoredRuns LoadRuns(const SettingsStore& store)
{
    StoredRuns runs;
    RunDetails& run = runs.run;
    run.lines = Split(TextOrEmpty(store, "TickLines"), "\n");
    run.selected = IntegerOr(store, "TickSelected", -1);
    run.lapCount = IntegerOr(store, "TickLaps", 0);
    run.firstLapElapsed = BlockOr0(store, "TickFirstLap");
    run.prevLapElapsed = BlockOr0(store, "TickLastLap");
    run.paused = IntegerOr(store, "TickPaused", 0) != 0;
    run.pausedAtUs = BlockOr0(store, "TickPausedAt");
    run.pauseBeganMs = BlockOr0(store, "TickPauseTime");
    // Lap-list lines are never empty: an empty line parts two runs.
    for (const std::string& block : Split(TextOrEmpty(store, "PendingRuns"), "\n\n"))
        runs.pending.push_back(Split(block, "\n"));
    return runs;
}

void KeepUnreadableRuns(SettingsStore& store, LoadReport& report)
{
    constexpr std::string_view name = "PendingRuns";
    const std::optional<RegValue> value = store.Get(name);
    if (!value || IsText(*value)) return;
    std::string told = "'";
    told.append(name).append("' (wrong type; ");
    try {
        told.append("its bytes are kept in ").append(store.KeepAside(name, *value));
    } catch (const SettingsError& error) {
        told.append("its bytes could not be kept: ").append(error.what());
    }
    told.append(")");
    report.unread.push_back(std::move(told));
}

std::int32_t DayRunsCounted(const StoredRuns& runs, std::string_view shortDate, std::int32_t protocolHighest)
{
    std::int32_t counted = protocolHighest;
    for (const std::vector<std::string>& pending : runs.pending)
        if (!pending.empty()) counted = std::max(counted, RunNumberOn(pending.front(), shortDate).value_or(0));
    if (!runs.run.lines.empty())
        if (const std::optional<std::int32_t> running = RunNumberOn(runs.run.lines.front(), shortDate))
            counted = std::max(counted, *running - 1);
    return counted;
}

bool KeepsStartTime(const SettingsStore& store)
{
    return store.Get("TickTime").has_value();
}

void SaveRuns(SettingsStore& store, const StoredRuns& runs)
{
    const RunDetails& run = runs.run;
    WriteText(store, "TickLines", Texts(run.lines, "\n"));
    WriteInteger(store, "TickSelected", run.selected);
    WriteInteger(store, "TickLaps", run.lapCount);
    store.Set("TickFirstLap", BlockValue(run.firstLapElapsed));
    store.Set("TickLastLap", BlockValue(run.prevLapElapsed));
    WriteInteger(store, "TickPaused", run.paused ? 1 : 0);
    store.Set("TickPausedAt", BlockValue(run.pausedAtUs));
    store.Set("TickPauseTime", BlockValue(run.pauseBeganMs));
    std::vector<std::string> blocks;
    for (const std::vector<std::string>& pending : runs.pending) blocks.push_back(Texts(pending, "\n"));
    WriteText(store, "PendingRuns", Texts(blocks, "\n\n"));
}

}  // namespace chronivel
