// Drives one plug-in instance through its entry, as a host does, and keeps every MIDI event and automation
// report it receives, with the absolute sample position of each event.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "plugin/uPlugin.h"
#include "vst/DAEffectX.h"

namespace zephyrion::testing {

struct MidiMessage {
    std::int64_t position; // block start + deltaFrames
    std::int32_t deltaFrames;
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;

    bool isNoteOn() const { return (status & 0xF0) == 0x90; }
    bool isNoteOff() const { return (status & 0xF0) == 0x80; }
    bool isControlChange() const { return (status & 0xF0) == 0xB0; }
};

struct Automation {
    std::int32_t index;
    float value;
};

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;

    explicit StereoBuffer(std::size_t frames = 0, float value = 0.0f)
        : left(frames, value), right(frames, value) {}
    std::size_t size() const { return left.size(); }
};

class EngineHarness {
public:
    explicit EngineHarness(std::int32_t hostVersion = 2400);
    ~EngineHarness();
    EngineHarness(const EngineHarness&) = delete;
    EngineHarness& operator=(const EngineHarness&) = delete;

    vst::AEffect* effect() const { return record; }
    APlugin& plugin() const { return *static_cast<APlugin*>(record->object); }

    vst::VstIntPtr dispatch(std::int32_t opcode, std::int32_t index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);
    void set(std::int32_t index, float value) { record->setParameter(record, index, value); }
    float get(std::int32_t index) const { return record->getParameter(record, index); }

    // Runs `input` through processReplacing in blocks of `blockSize` and answers the output.
    StereoBuffer run(const StereoBuffer& input, std::size_t blockSize = 512);
    // The same through the accumulating process, adding to `output`.
    void accumulate(const StereoBuffer& input, StereoBuffer& output, std::size_t blockSize = 512);
    // Feeds `frames` samples of one constant value on both channels.
    StereoBuffer runConstant(std::size_t frames, float value, std::size_t blockSize = 512);

    std::vector<MidiMessage> midi;
    std::vector<Automation> automations;
    std::vector<std::int32_t> opcodes; // every host callback opcode, in order
    std::int64_t framesDone = 0;
    // Called for every MIDI event while the plug-in is inside its audio callback.
    std::function<void(const MidiMessage&)> onMidi;

private:
    static vst::VstIntPtr hostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                       vst::VstIntPtr value, void* ptr, float opt);
    vst::AEffect* record = nullptr;
    std::int32_t version;
};

// One impulse of `value` on both channels at frame `at` of an otherwise silent buffer.
StereoBuffer impulse(std::size_t frames, std::size_t at, float value);

} // namespace zephyrion::testing
