// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstdint>
#include <vector>

namespace chronivel::testing {

// A 16-bit PCM WAV file's format and samples.
struct Wav {
    bool ok = false;
    int format = 0;
    int channels = 0;
    int sampleRate = 0;
    int bits = 0;
    std::vector<std::int16_t> samples;
};

inline std::uint32_t Le32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<std::uint32_t>(b.constData() + at);
}

inline std::uint16_t Le16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<std::uint16_t>(b.constData() + at);
}

// Reads the file's chunks as RIFF lays them out, rather than trusting a fixed header size.
inline Wav ParseWav(const QByteArray& b)
{
    Wav wav;
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") return wav;
    bool haveFormat = false;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const qsizetype size = Le32(b, at + 4);
        const qsizetype body = at + 8;
        if (body + size > b.size()) return wav;
        if (id == "fmt " && size >= 16) {
            wav.format = Le16(b, body);
            wav.channels = Le16(b, body + 2);
            wav.sampleRate = static_cast<int>(Le32(b, body + 4));
            wav.bits = Le16(b, body + 14);
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            for (qsizetype i = 0; i + 1 < size; i += 2)
                wav.samples.push_back(static_cast<std::int16_t>(Le16(b, body + i)));
            wav.ok = true;
        }
        at = body + size + (size & 1);
    }
    return wav;
}

}  // namespace chronivel::testing
