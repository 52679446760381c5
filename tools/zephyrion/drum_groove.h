// A short drum groove made from nothing: kick, snare and hi-hat at known positions and strengths, so the
// demo can show what the plug-in finds and how close in time it lands.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zcli {

enum class Drum { Kick, Snare, HiHat };

std::string_view drumName(Drum drum);

struct DrumHit {
    std::int64_t position; // first sample of the hit
    Drum drum;
    float strength; // loudness, roughly the peak level of the hit, 0..1
};

struct DrumGroove {
    double sampleRate = 44100.0;
    std::vector<float> samples; // mono
    std::vector<DrumHit> hits;
};

// Two bars of eighth notes at a tempo slow enough for every hit to end before the next one starts, as the
// plug-in's default release needs.
DrumGroove synthesiseGroove(double sampleRate);

} // namespace zcli
