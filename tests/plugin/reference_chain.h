// The engine as it was first written: the whole chain sample by sample, 32 filter sections one after the
// other, every parameter read where it is used. Slow and plain, it is the oracle that the engine's faster
// schedule must match event for event and bit for bit.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "plugin/engine/MidiSink.h"
#include "plugin/parameters.h"

namespace zephyrion::testing {

class ReferenceChain {
public:
    ReferenceChain();

    void setParameter(std::int32_t index, float value);
    void setSampleRate(float rate);
    void suspend() { holdCounter = 0; }
    // Appends every message to `midi`, stamped with its frame in the block.
    void process(const float* const* inputs, float* const* outputs, std::int32_t frames, bool add,
                 std::vector<MidiMessage>& midi);

    float meterLevel = 0.0f;
    float meterPeak = 0.0f;
    float envelope = 0.0f;
    bool noteActive = false;

private:
    using Stages = std::array<float, 9>; // indexed 1..8

    void processSample(float& left, float& right, std::int32_t frame);
    float runCascade(Stages& stageA, Stages& stageB, float x, float c);
    void updateReleaseCoeff();
    float filterCoefficient(float position) const;
    bool testWindow(float level) const;
    void computeVelocity(float level);
    void advanceHold(float level, std::int32_t frame);
    void sendNoteEvents(std::int32_t frame);
    void send(std::uint8_t status, std::int32_t data1, std::int32_t data2, std::int32_t frame);
    float value(std::int32_t index) const { return values[static_cast<std::size_t>(index)]; }

    std::array<float, kNumRealParams> values{};
    float sampleRate = 44100.0f;
    std::int32_t holdUnit = 0;
    std::int32_t ccInterval = 0;
    float releaseCoeff = 0.0f;
    Stages lowpassStageA{}, lowpassStageB{}, highpassStageA{}, highpassStageB{};
    std::int32_t noteVelocity = 0;
    std::int32_t noteNumber = 0;
    std::int32_t noteChannel = 0;
    std::int32_t ccCountdown = 0;
    std::uint32_t holdCounter = 0;
    bool lastNoteActive = false;
    bool inWindow = false;
    bool noteSounding = false;
    std::vector<MidiMessage>* out = nullptr;
};

} // namespace zephyrion::testing
