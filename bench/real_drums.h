// Grooves built from real recorded drum hits (Debian's hydrogen-drumkits): kick, snare and hi-hat at known
// positions and strengths over a little noise, with the true start of every hit, for benchmarks that must
// run on real material rather than on sounds made from nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

enum class Instrument { Kick, Snare, HiHat };

const char* instrumentName(Instrument instrument);

struct Hit {
    std::int64_t position;  // where the hit's recording is placed
    std::int64_t trueStart; // first sample where the hit's own recording rises above 2% of its peak
    Instrument instrument;
    float strength; // 0..1, picks the recorded layer and scales it
};

struct Groove {
    std::string kit;
    double sampleRate = 44100.0;
    std::vector<float> left, right;
    std::vector<Hit> hits;
    std::vector<std::vector<double>> parts; // each instrument alone, by Instrument, before the mix's gain
    std::vector<float> noise;               // the floor under the mix and every stem
};

// One instrument's own microphone: its part with the others bleeding in `bleedDb` down, over the same noise
// floor as the mix; mono.
std::vector<float> stemOf(const Groove& groove, Instrument instrument, double bleedDb);

// The folder Debian installs the kits into.
const char* drumkitFolder();

// The kits that have a kick, a snare and a closed hi-hat, by folder name; empty when none is installed.
std::vector<std::string> usableKits();

// `bars` bars of a rock beat at 110 bpm from the kit in `folder`: kicks on 1 and 3, snares on 2 and 4,
// hi-hats on the eighths, strengths varied by a fixed seed. Nothing when the kit lacks one of the three.
std::optional<Groove> buildGroove(const std::string& kitFolder, int bars, double sampleRate = 44100.0);

} // namespace bench
