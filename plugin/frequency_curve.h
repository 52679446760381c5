// The curve from a frequency edge's normalised value to the coefficient of the band filter's one-pole
// sections, one for each step of Freq.Mode. The engine filters with it; the tools read an edge in Hz from it.
#pragma once

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

} // namespace zephyrion
