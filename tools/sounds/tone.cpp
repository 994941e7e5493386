// SPDX-License-Identifier: GPL-3.0-or-later
#include "tone.h"

#include <cmath>
#include <numbers>

namespace chronivel::sounds {

void AddTone(std::vector<double>& buffer, int sampleRate, const Tone& tone)
{
    const auto first = static_cast<std::size_t>(std::lround(tone.start * sampleRate));
    const auto count = static_cast<std::size_t>(std::lround(tone.length * sampleRate));
    if (buffer.size() < first + count) buffer.resize(first + count, 0.0);

    double phase = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double toEnd = tone.length - t;
        double envelope = std::exp(-tone.decay * t);
        if (t < tone.attack) envelope *= 0.5 - 0.5 * std::cos(std::numbers::pi * t / tone.attack);
        if (toEnd < tone.release)
            envelope *= 0.5 - 0.5 * std::cos(std::numbers::pi * std::max(0.0, toEnd) / tone.release);
        const double hz = tone.fromHz + (tone.toHz - tone.fromHz) * t / tone.length;
        phase += 2 * std::numbers::pi * hz / sampleRate;
        buffer[first + i] += tone.amplitude * envelope * (0.85 * std::sin(phase) + 0.15 * std::sin(2 * phase));
    }
}

}  // namespace chronivel::sounds
