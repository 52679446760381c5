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
constexpr float kHighStartShare = 0.1f;

constexpr double kLowEdgeHz = 400.0;
constexpr double kHighEdgeHz = 2000.0;
constexpr double kPauseSeconds = 0.002; // longer than half a period of a drum's body
constexpr double kLeadSeconds = 0.0005;
constexpr double kSettleSeconds = 0.002;
constexpr double kHatLeadHighShare = 0.8;
constexpr double kMaxHatLeadSeconds = 0.0015; // a beater's click leads its body by more
constexpr double kLowDelaySeconds = 0.00075;  // the lowpass's delay at a hit's start
constexpr double kLowLeadSeconds = 0.0005;
constexpr double kLowWeight = 0.5;
constexpr double kWarmUpSeconds = 0.01;
constexpr std::array kButterworthQ = {0.5412, 1.3066};

} // namespace

std::int32_t hitStartBefore(const float* levels, std::int32_t last, float share, std::int32_t quietSpan) {
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
        if (quiet == quietSpan) {
            return i + quietSpan;
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
    pauseSpan = std::max(1, framesOf(kPauseSeconds));
    leadSpan = std::max(1, framesOf(kLeadSeconds));
    settleSpan = framesOf(kSettleSeconds);
    maxHatLead = framesOf(kMaxHatLeadSeconds);
    const double lowW = 2.0 * std::numbers::pi * std::min(kLowEdgeHz, 0.45 * rate) / rate;
    const double highW = 2.0 * std::numbers::pi * std::min(kHighEdgeHz, 0.45 * rate) / rate;
    for (std::size_t i = 0; i < lowpass.size(); ++i) {
        const double lowAlpha = std::sin(lowW) / (2.0 * kButterworthQ[i]);
        const double lowA0 = 1.0 + lowAlpha;
        const double lowB1 = (1.0 - std::cos(lowW)) / lowA0;
        lowpass[i] = {lowB1 / 2.0, lowB1, lowB1 / 2.0, -2.0 * std::cos(lowW) / lowA0,
                      (1.0 - lowAlpha) / lowA0};
        const double highAlpha = std::sin(highW) / (2.0 * kButterworthQ[i]);
        const double highA0 = 1.0 + highAlpha;
        const double highB1 = -(1.0 + std::cos(highW)) / highA0;
        highpass[i] = {-highB1 / 2.0, highB1, -highB1 / 2.0, -2.0 * std::cos(highW) / highA0,
                       (1.0 - highAlpha) / highA0};
        const double belowB1 = (1.0 - std::cos(highW)) / highA0;
        belowHighs[i] = {belowB1 / 2.0, belowB1, belowB1 / 2.0, highpass[i].a1, highpass[i].a2};
    }
}

void HitStartFinder::filter(const std::array<Section, 2>& sections, const float* in, std::int32_t count,
                            std::int32_t skip, float* levels) {
    std::array<double, 2> z1{};
    std::array<double, 2> z2{};
    for (std::int32_t i = 0; i < count; ++i) {
        double value = in[i];
        for (std::size_t s = 0; s < sections.size(); ++s) {
            const Section& f = sections[s];
            const double x = value;
            value = f.b0 * x + z1[s];
            z1[s] = f.b1 * x - f.a1 * value + z2[s];
            z2[s] = f.b2 * x - f.a2 * value;
        }
        if (i >= skip) {
            levels[i - skip] = static_cast<float>(std::fabs(value));
        }
    }
}

std::int32_t HitStartFinder::weighedStart(const float* mono, std::int32_t crossing, std::int32_t last,
                                          float* broad, float* low) const {
    for (std::int32_t i = 0; i <= last; ++i) {
        broad[i] = std::fabs(mono[warmUpFrames + i]);
    }
    filter(lowpass, mono, warmUpFrames + last + 1, warmUpFrames, low);
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

double HitStartFinder::highShareAfter(const float* mono, std::int32_t start, std::int32_t last,
                                      float* scratch) const {
    const std::int32_t from = std::max(0, warmUpFrames + start - settleSpan);
    const std::int32_t to = warmUpFrames + std::min(last + 1, start + leadSpan);
    const std::int32_t skip = warmUpFrames + start - from;
    filter(highpass, mono + from, to - from, skip, scratch);
    double all = 0.0;
    double highs = 0.0;
    for (std::int32_t i = 0; i < to - from - skip; ++i) {
        const double value = mono[warmUpFrames + start + i];
        all += value * value;
        highs += static_cast<double>(scratch[i]) * scratch[i];
    }
    return all > 0.0 ? highs / all : 0.0;
}

std::int32_t HitStartFinder::find(const float* mono, std::int32_t crossing, std::int32_t last, float* broad,
                                  float* low, float* other) const {
    const std::int32_t start = weighedStart(mono, crossing, last, broad, low);
    if (start >= crossing || highShareAfter(mono, start, last, other) <= kHatLeadHighShare) {
        return start;
    }
    filter(belowHighs, mono, warmUpFrames + last + 1, warmUpFrames, other);
    const std::int32_t below = hitStartBefore(other, crossing, kBroadStartShare);
    return below < crossing && below - start >= lowLead && below - start <= maxHatLead ? below : start;
}

std::int32_t HitStartFinder::findInHighs(const float* mono, std::int32_t crossing, std::int32_t last,
                                         float* broad, float* low, float* other) const {
    // Whether the input paused decides which start to seek, so neither band's filter runs for nothing.
    for (std::int32_t i = 0; i <= crossing; ++i) {
        broad[i] = std::fabs(mono[warmUpFrames + i]);
    }
    if (hitStartBefore(broad, crossing, kBroadStartShare, pauseSpan) < crossing) {
        return weighedStart(mono, crossing, last, broad, low);
    }
    filter(highpass, mono, warmUpFrames + last + 1, warmUpFrames, other);
    const std::int32_t highStart = hitStartBefore(other, last, kHighStartShare);
    return highStart > crossing ? hitStartBefore(other, crossing, kHighStartShare) : highStart;
}

} // namespace zephyrion
