// What the normalised values of the frequency edges, Falloff and Release mean to the engine: the band
// filter's coefficient, the hold and the envelope's half-life. The engine runs on them; the tools read the
// settings in Hz and ms from them.
#pragma once

#include "plugin/parameters.h"

#include <cmath>
#include <cstdint>

namespace zephyrion {

// One side of the band filter: this many sections s = s + c * (in - s) in series.
inline constexpr int kSectionsPerSide = 16;

// The coefficient c for Freq.Lo or Freq.Hi, by the step of Freq.Mode: 0 linear, 1 exponential,
// 2 logarithmic.
inline float filterCoefficient(float position, std::int32_t mode) {
    const double f = position;
    switch (mode) {
    case 0: return static_cast<float>(0.9 * f + 0.1);
    case 1: return static_cast<float>((std::exp(f) - 1.0) / (std::exp(1.0) - 1.0));
    default: return static_cast<float>(std::log(1.0 + 100.0 * f) / std::log(101.0));
    }
}

// Falloff: the hold lasts this many frames for each of its steps, 1 to 1001 of them.
inline constexpr std::int32_t kHoldStepFrames = 5;
inline std::int32_t holdStepsFor(float falloff) {
    return roundHalfEven((1.0 - static_cast<double>(falloff)) * 1000.0) + 1;
}

// Release: the envelope halves every this many seconds, 0.001 to 1.001.
inline double halfLifeSecondsFor(float release) {
    return 1.0 - static_cast<double>(release) + 0.001;
}

} // namespace zephyrion
