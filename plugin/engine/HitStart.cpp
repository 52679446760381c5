// The two starts of a hit and how they are weighed.
#include "plugin/engine/HitStart.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zephyrion {

namespace {

// A hit has begun where the level has stayed below a share of its peak for a whole span before.
constexpr float kBroadStartShare = 0.05f;
constexpr float kLowStartShare = 0.02f;
constexpr std::int32_t kQuietSpan = 16;

constexpr double kLowEdgeHz = 400.0;
constexpr double kLowDelaySeconds = 0.00075; // the lowpass's delay at a hit's start
constexpr double kLowLeadSeconds = 0.0005;
constexpr double kLowWeight = 0.5;
constexpr double kWarmUpSeconds = 0.01;
constexpr std::array kButterworthQ = {0.5412, 1.3066};

} // namespace

std::int32_t hitStartBefore(const float* levels, std::int32_t last, float share) {
    std::int32_t peakAt = last;
    for (std::int32_t i = 0; i <= last; ++i) {
        if (levels[i] >= levels[peakAt]) {
            peakAt = i; // the latest of equal peaks
        }
    }
    const float threshold = share * levels[peakAt];
    if (!(threshold > 0.0f)) {
        return last; // nothing heard: the crossing is the best guess
    }
    // `quiet` counts the samples below the threshold from i upwards; the first full span ends the walk.
    std::int32_t quiet = 0;
    for (std::int32_t i = peakAt - 1; i >= 0; --i) {
        quiet = levels[i] < threshold ? quiet + 1 : 0;
        if (quiet == kQuietSpan) {
            return i + kQuietSpan;
        }
    }
    // No quiet before the peak in the whole window: the hit began earlier than the window reaches, or the
    // sound never paused; the crossing is the better guess then.
    return last;
}

HitStartFinder::HitStartFinder(float sampleRate, std::int32_t maxWarmUp) {
    const double rate = sampleRate > 0.0f ? sampleRate : 44100.0;
    const auto framesOf = [rate](double seconds) {
        return static_cast<std::int32_t>(std::lround(seconds * rate));
    };
    warmUpFrames = std::clamp(framesOf(kWarmUpSeconds), 0, std::max(0, maxWarmUp));
    lowDelay = framesOf(kLowDelaySeconds);
    lowLead = framesOf(kLowLeadSeconds);
    const double w = 2.0 * std::numbers::pi * std::min(kLowEdgeHz, 0.45 * rate) / rate;
    for (std::size_t i = 0; i < lowpass.size(); ++i) {
        const double alpha = std::sin(w) / (2.0 * kButterworthQ[i]);
        const double a0 = 1.0 + alpha;
        const double b1 = (1.0 - std::cos(w)) / a0;
        lowpass[i] = {b1 / 2.0, b1, b1 / 2.0, -2.0 * std::cos(w) / a0, (1.0 - alpha) / a0};
    }
}

std::int32_t HitStartFinder::find(const float* mono, std::int32_t crossing, std::int32_t last, float* broad,
                                  float* low) const {
    std::array<double, 2> z1{};
    std::array<double, 2> z2{};
    for (std::int32_t i = 0; i <= warmUpFrames + last; ++i) {
        double value = mono[i];
        for (std::size_t s = 0; s < lowpass.size(); ++s) {
            const Section& f = lowpass[s];
            const double in = value;
            value = f.b0 * in + z1[s];
            z1[s] = f.b1 * in - f.a1 * value + z2[s];
            z2[s] = f.b2 * in - f.a2 * value;
        }
        if (i >= warmUpFrames) {
            broad[i - warmUpFrames] = std::fabs(mono[i]);
            low[i - warmUpFrames] = static_cast<float>(std::fabs(value));
        }
    }
    const std::int32_t lowStart = hitStartBefore(low, last, kLowStartShare);
    const std::int32_t lowShifted = lowStart - lowDelay;
    std::int32_t broadStart = hitStartBefore(broad, last, kBroadStartShare);
    if (crossing < last && (broadStart > crossing || (lowStart < last && broadStart > lowStart))) {
        // Looking past the crossing, a louder sound there can make this hit's own beginning look quiet: a
        // hit starts no later than the crossing, nor after its low band. Its peak lies before the crossing.
        broadStart = hitStartBefore(broad, crossing, kBroadStartShare);
    }
    if (lowStart == last || lowShifted > crossing || lowShifted < broadStart + lowLead) {
        return broadStart;
    }
    return broadStart + static_cast<std::int32_t>(std::lround(kLowWeight * (lowShifted - broadStart)));
}

} // namespace zephyrion
