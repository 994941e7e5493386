// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace chronivel {

// What the start/stop button does next, and how it looks meanwhile.
enum class RunState { Ready = 0, Running = 1, Stopped = 2 };

// Colours as 0x00BBGGRR, the form the settings and the face keep them in.
inline constexpr std::uint32_t Lime = 0x00FF00;
inline constexpr std::uint32_t Red = 0x0000FF;
inline constexpr std::uint32_t Yellow = 0x00FFFF;

constexpr std::string_view Caption(RunState state)
{
    switch (state) {
    case RunState::Running: return "STOP";
    case RunState::Stopped: return "RESET";
    default: return "START";
    }
}

constexpr std::uint32_t Colour(RunState state)
{
    switch (state) {
    case RunState::Running: return Red;
    case RunState::Stopped: return Yellow;
    default: return Lime;
    }
}

}  // namespace chronivel
