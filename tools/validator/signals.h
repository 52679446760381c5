// The audio and the random choices the checks feed a plug-in: reproducible from one seed, so a failure can
// be run again exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

#include "host/Plugin.h"

namespace zvalidate {

class Random {
public:
    explicit Random(std::uint32_t seed) : engine(seed) {}

    // 0 <= result < 1.
    float uniform();
    // 0 <= result < count.
    std::size_t below(std::size_t count);
    // A value a host might send a parameter: often an end of the range, where rounding faults hide.
    float parameterValue();

private:
    std::mt19937 engine;
};

// Drum-like audio: bursts of decaying noise of random strength and length with gaps between them, so that
// a peak detector keeps starting and ending notes. Every channel differs; all follow one envelope.
vsthost::Channels bursts(Random& random, std::size_t channels, std::size_t frames, float sampleRate);

// Every sample `value`, or for alternating values `value` and -`value` in turn.
vsthost::Channels constant(std::size_t channels, std::size_t frames, float value, bool alternating = false);

// Finds the first sample that is NaN or infinite, channel by channel; false when all are finite.
bool firstNonFinite(const vsthost::Channels& channels, std::size_t& channel, std::size_t& frame);

// The largest difference between two renderings of equal shape, from sample `first` on; NaN matches NaN.
float largestDifference(const vsthost::Channels& a, const vsthost::Channels& b, std::size_t first = 0);

} // namespace zvalidate
