#include "tests/plugin/engine_harness.h"

#include <stdexcept>

#include "vst/entry.h"

namespace zephyrion::testing {

namespace {

// The version answer of the harness being created, read by the callback's first call: there is no
// effect record to find the harness by yet.
thread_local std::int32_t pendingVersion = 0;
thread_local std::vector<std::int32_t>* pendingOpcodes = nullptr;

} // namespace

EngineHarness::EngineHarness(std::int32_t hostVersion) : version(hostVersion) {
    pendingVersion = hostVersion;
    pendingOpcodes = &opcodes;
    record = vst::pluginEntry(&EngineHarness::hostCallback);
    pendingOpcodes = nullptr;
    if (record != nullptr) {
        record->user = this;
    }
}

EngineHarness::~EngineHarness() {
    if (record != nullptr) {
        record->dispatcher(record, vst::effClose, 0, 0, nullptr, 0.0f);
    }
}

vst::VstIntPtr EngineHarness::hostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                           vst::VstIntPtr value, void* ptr, float opt) {
    auto* self = effect != nullptr ? static_cast<EngineHarness*>(effect->user) : nullptr;
    if (self == nullptr) {
        if (pendingOpcodes != nullptr) {
            pendingOpcodes->push_back(opcode);
        }
        return opcode == vst::audioMasterVersion ? pendingVersion : 0;
    }
    self->opcodes.push_back(opcode);
    switch (opcode) {
    case vst::audioMasterVersion: return self->version;
    case vst::audioMasterAutomate: self->automations.push_back({index, opt}); return 0;
    case vst::audioMasterProcessEvents: {
        const auto* events = static_cast<const vst::VstEvents*>(ptr);
        for (std::int32_t i = 0; i < events->numEvents; ++i) {
            const auto* event = reinterpret_cast<const vst::VstMidiEvent*>(events->events[i]);
            const MidiMessage message{self->framesDone + event->deltaFrames, event->deltaFrames,
                                      static_cast<std::uint8_t>(event->midiData[0]),
                                      static_cast<std::uint8_t>(event->midiData[1]),
                                      static_cast<std::uint8_t>(event->midiData[2])};
            self->midi.push_back(message);
            if (self->onMidi) {
                self->onMidi(message);
            }
        }
        return 1;
    }
    default: (void)value; return 0;
    }
}

vst::VstIntPtr EngineHarness::dispatch(std::int32_t opcode, std::int32_t index, vst::VstIntPtr value,
                                       void* ptr, float opt) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}

StereoBuffer EngineHarness::run(const StereoBuffer& input, std::size_t blockSize) {
    StereoBuffer output(input.size());
    for (std::size_t start = 0; start < input.size(); start += blockSize) {
        const auto frames = static_cast<std::int32_t>(std::min(blockSize, input.size() - start));
        float* inputs[2] = {const_cast<float*>(input.left.data() + start),
                            const_cast<float*>(input.right.data() + start)};
        float* outputs[2] = {output.left.data() + start, output.right.data() + start};
        record->processReplacing(record, inputs, outputs, frames);
        framesDone += frames;
    }
    return output;
}

void EngineHarness::accumulate(const StereoBuffer& input, StereoBuffer& output, std::size_t blockSize) {
    for (std::size_t start = 0; start < input.size(); start += blockSize) {
        const auto frames = static_cast<std::int32_t>(std::min(blockSize, input.size() - start));
        float* inputs[2] = {const_cast<float*>(input.left.data() + start),
                            const_cast<float*>(input.right.data() + start)};
        float* outputs[2] = {output.left.data() + start, output.right.data() + start};
        record->process(record, inputs, outputs, frames);
        framesDone += frames;
    }
}

StereoBuffer EngineHarness::runConstant(std::size_t frames, float value, std::size_t blockSize) {
    return run(StereoBuffer(frames, value), blockSize);
}

StereoBuffer impulse(std::size_t frames, std::size_t at, float value) {
    StereoBuffer buffer(frames);
    buffer.left.at(at) = value;
    buffer.right.at(at) = value;
    return buffer;
}

} // namespace zephyrion::testing
