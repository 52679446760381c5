// The audio path: every sample is summed to mono, band filtered, followed by an envelope and tested
// against the amplitude window. Nothing here allocates, locks or formats. Each stored value is rounded
// to a 32-bit float; the arithmetic in between is done in double precision.
#include <cmath>

#include "plugin/uPlugin.h"
#include "vst/DVstUtils.h"

namespace zephyrion {

namespace {

// Keeps the filters and the envelope away from denormal numbers.
constexpr double kDenormalGuard = 1e-24;
constexpr double kMeterDecay = 0.99993;
constexpr float kMeterFloor = 0.001f;
constexpr float kEnvelopeFloor = 1e-10f;

inline long stepOf(float mode) {
    return vst::roundHalfEven(static_cast<double>(mode) * 10.0);
}

} // namespace

void APlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    for (VstInt32 i = 0; i < sampleFrames; ++i) {
        float left = inputs[0][i];
        float right = inputs[1][i];
        processSample(left, right, i);
        outputs[0][i] += left;
        outputs[1][i] += right;
    }
}

void APlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    for (VstInt32 i = 0; i < sampleFrames; ++i) {
        float left = inputs[0][i];
        float right = inputs[1][i];
        processSample(left, right, i);
        outputs[0][i] = left;
        outputs[1][i] = right;
    }
}

void APlugin::processSample(float& left, float& right, VstInt32 frame) {
    float x = static_cast<float>((static_cast<double>(left) + right) * (1.0 - volume) + kDenormalGuard);
    // A NaN or infinity would stay in the filter states and the envelope for good.
    if (!std::isfinite(x)) {
        x = 0.0f;
    }

    const float lowEdge = freqLo;
    const float highEdge = freqHi;
    const float lowpassed = static_cast<float>(lowpassCascade(kCascadeDepth, x, highEdge) + kDenormalGuard);
    float y;
    if (lowEdge < highEdge) {
        y = highpassCascade(kCascadeDepth, lowpassed, lowEdge);
    } else {
        const float highpassed = highpassCascade(kCascadeDepth, x, lowEdge);
        y = static_cast<float>((static_cast<double>(highpassed) + lowpassed) * 0.5);
    }
    if (y > 1.0f) {
        y = 1.0f;
    } else if (y < -1.0f) {
        y = -1.0f;
    }

    outputLevel = std::fabs(y);
    const float meter = meterLevel;
    if (outputLevel >= meter) {
        meterLevel = outputLevel;
        meterPeak = outputLevel;
    } else {
        const float decayed = static_cast<float>(meter * kMeterDecay);
        meterLevel = decayed < kMeterFloor ? 0.0f : decayed;
    }

    const float level = followEnvelope(y);
    inWindow = testWindow(level);

    computeVelocity(level);
    advanceHold(level, frame);

    switch (stepOf(outMode)) {
    case 0: left = right = 0.0f; break;
    case 1: left = right = inWindow ? y : 0.0f; break;
    default: break;
    }

    sendNoteEvents(frame);
}

bool APlugin::testWindow(float level) const {
    const float low = ampLo;
    const float high = ampHi;
    const float upper = static_cast<float>(1.0 - low);
    const float lower = static_cast<float>(1.0 - high);
    if (low <= high) {
        return level <= upper && level >= lower;
    }
    return level <= upper || level >= lower;
}

float APlugin::filterCoefficient(float position) const {
    const double f = position;
    switch (stepOf(freqMode)) {
    case 0: return static_cast<float>(0.9 * f + 0.1);
    case 1: return static_cast<float>((std::exp(f) - 1.0) / (std::exp(1.0) - 1.0));
    default: return static_cast<float>(std::log(1.0 + 100.0 * f) / std::log(101.0));
    }
}

namespace {

// Sixteen one-pole lowpass sections in series, over the two stage arrays in turn.
template <typename Stages>
float runCascade(Stages& stageA, Stages& stageB, std::uint8_t depth, float x, float c) {
    const double coefficient = c;
    for (int k = 1; k <= depth; ++k) {
        stageA[k] = static_cast<float>(stageA[k] + coefficient * (static_cast<double>(x) - stageA[k]));
        stageB[k] =
            static_cast<float>(stageB[k] + coefficient * (static_cast<double>(stageA[k]) - stageB[k]));
        x = stageB[k];
    }
    return x;
}

} // namespace

float APlugin::lowpassCascade(std::uint8_t depth, float input, float position) {
    return runCascade(lowpassStageA, lowpassStageB, depth, input, filterCoefficient(position));
}

float APlugin::highpassCascade(std::uint8_t depth, float input, float position) {
    const float lowpassed =
        runCascade(highpassStageA, highpassStageB, depth, input, filterCoefficient(position));
    return static_cast<float>(static_cast<double>(input) - lowpassed);
}

float APlugin::followEnvelope(float sample) {
    const float magnitude = std::fabs(sample);
    if (magnitude >= envelope) {
        envelope = magnitude;
    } else {
        const float decayed = static_cast<float>(static_cast<double>(envelope) * releaseCoeff);
        envelope = decayed < kEnvelopeFloor ? 0.0f : decayed;
    }
    return envelope;
}

} // namespace zephyrion
