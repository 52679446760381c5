#include "tests/plugin/reference_chain.h"

#include <algorithm>
#include <cmath>

namespace zephyrion::testing {

namespace {

constexpr double kDenormalGuard = 1e-24;

} // namespace

ReferenceChain::ReferenceChain() {
    for (const ParameterInfo& info : kParameters) {
        setParameter(info.index, info.initial);
    }
}

void ReferenceChain::setParameter(std::int32_t index, float v) {
    v = v > 1.0f ? 1.0f : (v >= 0.0f ? v : 0.0f);
    if (!isRealParameter(index)) {
        return;
    }
    if (index == kFalloff || index == kRelease) {
        noteActive = false;
        inWindow = false;
    }
    values[static_cast<std::size_t>(index)] = v;
    if (index == kFalloff) {
        const double complement = 1.0 - static_cast<double>(v);
        holdUnit = roundHalfEven(complement * 1000.0) + 1;
        ccInterval = roundHalfEven(complement * 500.0) + 10;
    } else if (index == kRelease) {
        updateReleaseCoeff();
    }
}

void ReferenceChain::setSampleRate(float rate) {
    // Only the release follows the rate: a new rate is no change of Release and leaves the active period.
    sampleRate = rate;
    updateReleaseCoeff();
}

void ReferenceChain::updateReleaseCoeff() {
    const double complement = 1.0 - static_cast<double>(value(kRelease));
    releaseCoeff = static_cast<float>(std::pow(0.5, 1.0 / ((complement + 0.001) * sampleRate)));
}

void ReferenceChain::process(const float* const* inputs, float* const* outputs, std::int32_t frames, bool add,
                             std::vector<MidiMessage>& midi) {
    out = &midi;
    for (std::int32_t i = 0; i < frames; ++i) {
        float left = inputs[0][i];
        float right = inputs[1][i];
        processSample(left, right, i);
        outputs[0][i] = add ? outputs[0][i] + left : left;
        outputs[1][i] = add ? outputs[1][i] + right : right;
    }
}

void ReferenceChain::processSample(float& left, float& right, std::int32_t frame) {
    float x =
        static_cast<float>((static_cast<double>(left) + right) * (1.0 - value(kVolume)) + kDenormalGuard);
    if (!std::isfinite(x)) {
        x = 0.0f;
    }
    const float lowpassed = static_cast<float>(
        runCascade(lowpassStageA, lowpassStageB, x, filterCoefficient(value(kFreqHi))) + kDenormalGuard);
    float y;
    if (value(kFreqLo) < value(kFreqHi)) {
        const float rest =
            runCascade(highpassStageA, highpassStageB, lowpassed, filterCoefficient(value(kFreqLo)));
        y = static_cast<float>(static_cast<double>(lowpassed) - rest);
    } else {
        const float rest = runCascade(highpassStageA, highpassStageB, x, filterCoefficient(value(kFreqLo)));
        const float highpassed = static_cast<float>(static_cast<double>(x) - rest);
        y = static_cast<float>((static_cast<double>(highpassed) + lowpassed) * 0.5);
    }
    y = std::clamp(y, -1.0f, 1.0f);

    const float magnitude = std::fabs(y);
    if (magnitude >= meterLevel) {
        meterLevel = meterPeak = magnitude;
    } else {
        const float decayed = static_cast<float>(meterLevel * 0.99993);
        meterLevel = decayed < 0.001f ? 0.0f : decayed;
    }
    if (magnitude >= envelope) {
        envelope = magnitude;
    } else {
        const float decayed = static_cast<float>(static_cast<double>(envelope) * releaseCoeff);
        envelope = decayed < 1e-10f ? 0.0f : decayed;
    }
    inWindow = testWindow(envelope);
    computeVelocity(envelope);
    advanceHold(envelope, frame);
    switch (roundHalfEven(static_cast<double>(value(kOutMode)) * 10.0)) {
    case 0: left = right = 0.0f; break;
    case 1: left = right = inWindow ? y : 0.0f; break;
    default: break;
    }
    sendNoteEvents(frame);
}

float ReferenceChain::runCascade(Stages& stageA, Stages& stageB, float x, float c) {
    const double coefficient = c;
    for (int k = 1; k <= 8; ++k) {
        stageA[k] = static_cast<float>(stageA[k] + coefficient * (static_cast<double>(x) - stageA[k]));
        stageB[k] =
            static_cast<float>(stageB[k] + coefficient * (static_cast<double>(stageA[k]) - stageB[k]));
        x = stageB[k];
    }
    return x;
}

float ReferenceChain::filterCoefficient(float position) const {
    const double f = position;
    switch (roundHalfEven(static_cast<double>(value(kFreqMode)) * 10.0)) {
    case 0: return static_cast<float>(0.9 * f + 0.1);
    case 1: return static_cast<float>((std::exp(f) - 1.0) / (std::exp(1.0) - 1.0));
    default: return static_cast<float>(std::log(1.0 + 100.0 * f) / std::log(101.0));
    }
}

bool ReferenceChain::testWindow(float level) const {
    const float upper = static_cast<float>(1.0 - value(kAmpLo));
    const float lower = static_cast<float>(1.0 - value(kAmpHi));
    if (value(kAmpLo) <= value(kAmpHi)) {
        return level <= upper && level >= lower;
    }
    return level <= upper || level >= lower;
}

void ReferenceChain::computeVelocity(float level) {
    const std::int32_t base = roundHalfEven(static_cast<double>(value(kMidiVelocity)) * 127.0);
    noteVelocity = base;
    if (value(kVeloSw) > 0.5f) {
        const double upper = static_cast<float>(1.0 - value(kAmpLo));
        const double lower = static_cast<float>(1.0 - value(kAmpHi));
        const double env = level;
        if (value(kAmpLo) <= value(kAmpHi)) {
            noteVelocity = roundHalfEven((env - lower + 1.0) / (upper - lower + 1.0) * (127 - base) + base);
        } else if (env > upper) {
            noteVelocity = roundHalfEven((env - lower + 1.0) / (2.0 - lower) * (127 - base) + base);
        }
    }
    noteVelocity = std::clamp(noteVelocity, 1, 127);
}

void ReferenceChain::advanceHold(float level, std::int32_t frame) {
    if (inWindow) {
        holdCounter = static_cast<std::uint32_t>(5 * holdUnit);
        noteActive = true;
    }
    if (holdCounter > 0) {
        --holdCounter;
        --ccCountdown;
        if (value(kNoteOrCC) > 0.5f && ccCountdown <= 0) {
            send(0xB0, roundHalfEven(static_cast<double>(value(kMidiNote)) * 127.0),
                 roundHalfEven(static_cast<double>(level) * 127.0), frame);
            ccCountdown = ccInterval;
        }
    } else {
        noteActive = false;
        ccCountdown = ccInterval;
    }
}

void ReferenceChain::sendNoteEvents(std::int32_t frame) {
    const bool noteMode = !(value(kNoteOrCC) > 0.5f);
    if (!noteMode && noteSounding) {
        send(static_cast<std::uint8_t>(0x80 | noteChannel), noteNumber, 0, frame);
        noteSounding = false;
    }
    if (noteActive == lastNoteActive) {
        return;
    }
    lastNoteActive = noteActive;
    if (!noteMode) {
        return;
    }
    if (noteActive) {
        noteNumber = std::clamp(roundHalfEven(static_cast<double>(value(kMidiNote)) * 127.0) + 24, 1, 100);
        noteChannel = roundHalfEven(static_cast<double>(value(kMidiChannel)) * 15.0);
        send(static_cast<std::uint8_t>(0x90 | noteChannel), noteNumber, noteVelocity, frame);
        noteSounding = true;
    } else if (noteSounding) {
        send(static_cast<std::uint8_t>(0x80 | noteChannel), noteNumber, 0, frame);
        noteSounding = false;
    }
}

void ReferenceChain::send(std::uint8_t status, std::int32_t data1, std::int32_t data2, std::int32_t frame) {
    out->push_back(
        {status, static_cast<std::uint8_t>(data1 & 0x7F), static_cast<std::uint8_t>(data2 & 0x7F), frame});
}

} // namespace zephyrion::testing
