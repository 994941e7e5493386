// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the six event sounds and the alarm clock's ring as WAV files: makesounds <output folder>
#include "tone.h"
#include "wavfile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using chronivel::sounds::AddTone;
using chronivel::sounds::Tone;

namespace {

constexpr int SampleRate = 44100;
// QSoundEffect drops about the last tenth of a second of a file; this silence
// is what it drops instead of the sound.
constexpr double TrailingSilence = 0.26;

std::vector<double> Start()  // a rising two-tone chirp
{
    std::vector<double> b;
    AddTone(b, SampleRate, {.start = 0.00, .length = 0.10, .fromHz = 760, .toHz = 800, .amplitude = 0.45});
    AddTone(b, SampleRate, {.start = 0.11, .length = 0.16, .fromHz = 1150, .toHz = 1200, .amplitude = 0.45,
                            .release = 0.06, .decay = 4});
    return b;
}

std::vector<double> Stop()  // a falling two-tone
{
    std::vector<double> b;
    AddTone(b, SampleRate, {.start = 0.00, .length = 0.10, .fromHz = 1200, .toHz = 1160, .amplitude = 0.45});
    AddTone(b, SampleRate, {.start = 0.11, .length = 0.18, .fromHz = 800, .toHz = 760, .amplitude = 0.45,
                            .release = 0.07, .decay = 4});
    return b;
}

std::vector<double> Lap()  // a click and a short bright beep
{
    std::vector<double> b;
    AddTone(b, SampleRate, {.start = 0.000, .length = 0.006, .fromHz = 3200, .toHz = 3200, .amplitude = 0.35,
                            .attack = 0.001, .release = 0.003});
    AddTone(b, SampleRate, {.start = 0.004, .length = 0.080, .fromHz = 1760, .toHz = 1760, .amplitude = 0.4,
                            .attack = 0.003, .release = 0.03, .decay = 12});
    return b;
}

std::vector<double> Reset()  // a soft double tick
{
    std::vector<double> b;
    for (double at : {0.0, 0.12})
        AddTone(b, SampleRate, {.start = at, .length = 0.035, .fromHz = 1400, .toHz = 1300, .amplitude = 0.35,
                                .attack = 0.002, .release = 0.015, .decay = 60});
    return b;
}

std::vector<double> CountDownEnd()  // three beeps of an alarm
{
    std::vector<double> b;
    for (double at : {0.0, 0.15, 0.30})
        AddTone(b, SampleRate, {.start = at, .length = 0.09, .fromHz = 1047, .toHz = 1047, .amplitude = 0.45,
                                .attack = 0.006, .release = 0.02});
    return b;
}

// Ten seconds left: four short notes alternating a fourth apart,
// low-high-low-high; no other sound has four.
std::vector<double> Warning()
{
    std::vector<double> b;
    for (int note = 0; note < 4; ++note) {
        const double hz = note % 2 == 0 ? 880 : 1175;
        AddTone(b, SampleRate, {.start = note * 0.145, .length = 0.09, .fromHz = hz, .toHz = hz, .amplitude = 0.5,
                                .attack = 0.006, .release = 0.02});
    }
    return b;
}

// An alarm bell, about a second, made to be played over and over: two bright
// bell strokes a minor third apart, each struck twice quickly, with the
// inharmonic partials that make a struck bell rather than a beep.
std::vector<double> AlarmRing()
{
    std::vector<double> b;
    const struct {
        double at, hz;
    } strokes[] = {{0.00, 1320}, {0.12, 1320}, {0.26, 1570}, {0.38, 1570},
                   {0.52, 1320}, {0.64, 1320}, {0.78, 1570}, {0.90, 1570}};
    for (const auto& s : strokes) {
        AddTone(b, SampleRate, {.start = s.at, .length = 0.11, .fromHz = s.hz, .toHz = s.hz, .amplitude = 0.30,
                                .attack = 0.002, .release = 0.02, .decay = 14});
        AddTone(b, SampleRate, {.start = s.at, .length = 0.11, .fromHz = s.hz * 2.76, .toHz = s.hz * 2.76,
                                .amplitude = 0.10, .attack = 0.002, .release = 0.02, .decay = 30});
    }
    return b;
}

std::vector<std::int16_t> ToPcm(const std::vector<double>& sound)
{
    std::vector<std::int16_t> pcm;
    pcm.reserve(sound.size() + static_cast<std::size_t>(TrailingSilence * SampleRate) + 1);
    for (double x : sound)
        pcm.push_back(static_cast<std::int16_t>(std::lround(std::clamp(x, -1.0, 1.0) * 32767)));
    pcm.resize(pcm.size() + static_cast<std::size_t>(std::ceil(TrailingSilence * SampleRate)), 0);
    return pcm;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makesounds <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        std::vector<double> sound;
    } sounds[] = {
        {"START", Start()}, {"STOP", Stop()}, {"LAP", Lap()}, {"RESET", Reset()}, {"CDOWN", CountDownEnd()},
        {"WARN", Warning()}, {"ALARM", AlarmRing()},
    };
    for (const auto& s : sounds) {
        const std::string path = folder + "/" + s.name + ".wav";
        if (!chronivel::sounds::WriteWav(path, SampleRate, ToPcm(s.sound))) {
            std::fprintf(stderr, "makesounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
