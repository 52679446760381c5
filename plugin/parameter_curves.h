// What the normalised values of the frequency edges, Falloff and Release mean to the engine: the band
// filter's coefficient, the hold and the envelope's half-life. The engine runs on them; the tools read the
// settings in Hz and ms from them.
#pragma once

#include "plugin/parameters.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>

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

// The gain of one side at w radians per sample. A section s = s + c * (in - s) answers c / (1 - (1 - c)
// e^-jw); the lowpass side is its sections in series, the highpass side the input less them.
inline double bandSideGain(double c, double w, bool highpass) {
    const double a = 1.0 - c;
    const double half = std::sin(0.5 * w);
    // c + 2a sin²(w/2) is 1 - a cos w without the cancellation that would lose a small c.
    const std::complex<double> section = c / std::complex<double>(c + 2.0 * a * half * half, a * std::sin(w));
    std::complex<double> cascade = 1.0;
    for (int i = 0; i < kSectionsPerSide; ++i) {
        cascade *= section;
    }
    return std::abs(highpass ? 1.0 - cascade : cascade);
}

// A band passing from a highpass edge at 1 kHz or above hears only highs, a hi-hat's: the start of its hits
// is sought in the highs (HitStartFinder::findInHighs).
inline bool hearsOnlyHighs(double highpassCoefficient, bool bandPass, double sampleRate) {
    const double w = 2.0 * std::numbers::pi * 1000.0 / sampleRate;
    return bandPass && w < std::numbers::pi && bandSideGain(highpassCoefficient, w, true) <= std::sqrt(0.5);
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
