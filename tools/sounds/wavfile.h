// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace chronivel::sounds {

// Writes 16-bit PCM mono samples as a RIFF WAVE file; false when it cannot be written.
bool WriteWav(const std::string& path, int sampleRate, const std::vector<std::int16_t>& samples);

}  // namespace chronivel::sounds
