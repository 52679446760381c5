// The engine's parameters and what is derived from them.
#include "plugin/engine/PeakEngine.h"

#include "plugin/parameter_curves.h"

#include <cmath>

namespace zephyrion {

PeakEngine::PeakEngine() {
    for (const ParameterInfo& info : kParameters) {
        setParameter(info.index, info.initial);
    }
}

float PeakEngine::setParameter(std::int32_t index, float value) {
    // Written so that NaN, which fails every comparison, ends up as 0.
    if (value > 1.0f) {
        value = 1.0f;
    } else if (!(value >= 0.0f)) {
        value = 0.0f;
    }
    if (!isRealParameter(index)) {
        return value;
    }
    if (index == kFalloff || index == kRelease) {
        clearNoteActive();
    }
    values[static_cast<std::size_t>(index)] = value;
    if (index == kFalloff) {
        holdUnit = holdStepsFor(value);
        ccInterval = roundHalfEven((1.0 - static_cast<double>(value)) * 500.0) + 10;
    } else if (index == kRelease) {
        updateReleaseCoeff();
    }
    return value;
}

float PeakEngine::getParameter(std::int32_t index) const {
    return isRealParameter(index) ? static_cast<float>(values[static_cast<std::size_t>(index)]) : 0.0f;
}

void PeakEngine::setSampleRate(float rate) {
    if (std::isfinite(rate) && rate > 0.0f) {
        sampleRate = rate;
        updateReleaseCoeff();
    }
}

std::int32_t PeakEngine::getLatency() const {
    return getParameter(kLookahead) > 0.5f ? HitAligner::latencyFor(sampleRate) : 0;
}

void PeakEngine::updateReleaseCoeff() {
    const double seconds = halfLifeSecondsFor(getParameter(kRelease));
    releaseCoeff = static_cast<float>(std::pow(0.5, 1.0 / (seconds * static_cast<float>(sampleRate))));
}

float PeakEngine::coefficientFor(CachedCoefficient& cache, float position, std::int32_t mode) {
    // exp and ln cost more than a whole sample of the chain: only a changed setting computes them again.
    if (cache.position != position || cache.mode != mode) {
        cache.value = filterCoefficient(position, mode);
        cache.position = position;
        cache.mode = mode;
    }
    return cache.value;
}

void PeakEngine::clearNoteActive() {
    noteActive = false;
    periodEnded.store(true, std::memory_order_release);
}

ChainSettings PeakEngine::readSettings() {
    std::array<float, kNumRealParams> v{};
    for (std::size_t i = 0; i < v.size(); ++i) {
        v[i] = values[i];
    }
    ChainSettings s{};
    const std::int32_t mode = threeStepOf(v[kFreqMode]);
    s.lowpassCoefficient = coefficientFor(lowpassCache, v[kFreqHi], mode);
    s.highpassCoefficient = coefficientFor(highpassCache, v[kFreqLo], mode);
    s.bandPass = v[kFreqLo] < v[kFreqHi];
    s.gain = 1.0 - static_cast<double>(v[kVolume]);
    s.upper = static_cast<float>(1.0 - static_cast<double>(v[kAmpLo]));
    s.lower = static_cast<float>(1.0 - static_cast<double>(v[kAmpHi]));
    s.inverted = v[kAmpLo] > v[kAmpHi];
    s.outputStep = threeStepOf(v[kOutMode]);
    s.controllerMode = v[kNoteOrCC] > 0.5f;
    s.hold = static_cast<std::uint32_t>(kHoldStepFrames * holdUnit);
    s.ccInterval = ccInterval;
    s.releaseCoeff = releaseCoeff;
    s.midiNote = roundHalfEven(static_cast<double>(v[kMidiNote]) * 127.0);
    s.midiChannel = roundHalfEven(static_cast<double>(v[kMidiChannel]) * 15.0);
    s.velocity = roundHalfEven(static_cast<double>(v[kMidiVelocity]) * 127.0);
    s.velocityFromLevel = v[kVeloSw] > 0.5f;
    return s;
}

} // namespace zephyrion
