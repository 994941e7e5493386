// SPDX-License-Identifier: GPL-3.0-or-later
#include "wavfile.h"

#include <fstream>

namespace chronivel::sounds {

namespace {

// RIFF is little-endian whatever the host is, so bytes are put out one by one.
void Put(std::ofstream& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool WriteWav(const std::string& path, int sampleRate, const std::vector<std::int16_t>& samples)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const std::uint32_t channels = 1;
    const std::uint32_t bits = 16;
    const std::uint32_t blockAlign = channels * bits / 8;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * blockAlign);

    out.write("RIFF", 4);
    Put(out, 36 + dataBytes, 4);
    out.write("WAVE", 4);
    out.write("fmt ", 4);
    Put(out, 16, 4);  // size of the PCM format block
    Put(out, 1, 2);   // PCM
    Put(out, channels, 2);
    Put(out, static_cast<std::uint32_t>(sampleRate), 4);
    Put(out, static_cast<std::uint32_t>(sampleRate) * blockAlign, 4);
    Put(out, blockAlign, 2);
    Put(out, bits, 2);
    out.write("data", 4);
    Put(out, dataBytes, 4);
    for (std::int16_t s : samples) Put(out, static_cast<std::uint16_t>(s), 2);
    return static_cast<bool>(out.flush());
}

}  // namespace chronivel::sounds
