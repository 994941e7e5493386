// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace chronivel::sounds {

// One note of a sound: a sine, gliding from one pitch to another, with a little
// second harmonic for warmth. Its envelope rises and falls along a raised cosine,
// so it starts and ends without a click, and may die away exponentially between.
struct Tone {
    double start = 0;        // seconds
    double length = 0.1;     // seconds
    double fromHz = 1000;
    double toHz = 1000;
    double amplitude = 0.5;  // of full scale
    double attack = 0.005;   // seconds of fade-in
    double release = 0.02;   // seconds of fade-out
    double decay = 0;        // per second; 0 holds the level
};

// Mixes `tone` into `buffer` (samples in -1..1), growing it as needed.
void AddTone(std::vector<double>& buffer, int sampleRate, const Tone& tone);

}  // namespace chronivel::sounds
