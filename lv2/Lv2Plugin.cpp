#include "lv2/Lv2Plugin.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>

#include <lv2/core/lv2_util.h>
#include <lv2/midi/midi.h>

namespace zephyrion::lv2 {

namespace {

// A three-byte MIDI message in a sequence: the event header with its time, then the body padded to 8.
constexpr std::uint32_t kMidiEventSize = sizeof(LV2_Atom_Event) + 8;

} // namespace

LV2_URID_Map* findMap(const LV2_Feature* const* features) {
    return features != nullptr ? static_cast<LV2_URID_Map*>(lv2_features_data(features, LV2_URID__map))
                               : nullptr;
}

std::string instantiationError(double sampleRate, const LV2_Feature* const* features) {
    if (!std::isfinite(sampleRate) || sampleRate <= 0.0) {
        return "the host gave no usable sample rate (" + std::to_string(sampleRate) + ")";
    }
    const LV2_URID_Map* map = findMap(features);
    if (map == nullptr || map->map == nullptr) {
        return "the host gives no " LV2_URID__map " feature, which the plug-in requires";
    }
    return {};
}

Lv2Plugin::Lv2Plugin(double sampleRate, LV2_URID_Map& map)
    : midiEvent(map.map(map.handle, LV2_MIDI__MidiEvent)) {
    engine.setSampleRate(static_cast<float>(sampleRate));
    lv2_atom_forge_init(&forge, &map);
    for (const ParameterInfo& parameter : kParameters) {
        takenBits[static_cast<std::size_t>(parameter.index)] =
            std::bit_cast<std::uint32_t>(engine.getParameter(parameter.index));
    }
}

void Lv2Plugin::connectPort(std::uint32_t port, void* data) {
    if (isParameterPort(port)) {
        controls[static_cast<std::size_t>(parameterOfPort(port))] = static_cast<const float*>(data);
        return;
    }
    switch (port) {
    case kInputLeft: inputs[0] = static_cast<const float*>(data); break;
    case kInputRight: inputs[1] = static_cast<const float*>(data); break;
    case kOutputLeft: outputs[0] = static_cast<float*>(data); break;
    case kOutputRight: outputs[1] = static_cast<float*>(data); break;
    case kMidiOut: midiOut = static_cast<LV2_Atom_Sequence*>(data); break;
    case kMeterLevelPort: meterLevel = static_cast<float*>(data); break;
    case kMeterPeakPort: meterPeak = static_cast<float*>(data); break;
    case kNoteActivePort: noteActive = static_cast<float*>(data); break;
    case kLatencyPort: latency = static_cast<float*>(data); break;
    default: break;
    }
}

void Lv2Plugin::activate() {
    engine.suspend();
}

void Lv2Plugin::takeControls() {
    for (const ParameterInfo& parameter : kParameters) {
        const auto slot = static_cast<std::size_t>(parameter.index);
        if (controls[slot] == nullptr) {
            continue;
        }
        const float value = *controls[slot];
        // Falloff and Release end a sounding note when set: only a real change may do that.
        const auto bits = std::bit_cast<std::uint32_t>(value);
        if (bits != takenBits[slot]) {
            takenBits[slot] = bits;
            engine.setParameter(parameter.index, value);
        }
    }
}

bool Lv2Plugin::openMidiSequence() {
    if (midiOut == nullptr) {
        return false;
    }
    // The host says in the atom's size how many bytes its buffer holds.
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(midiOut), midiOut->atom.size);
    return lv2_atom_forge_sequence_head(&forge, &sequenceFrame, 0) != 0;
}

void Lv2Plugin::run(std::uint32_t frames) {
    takeControls();
    midiOpen = openMidiSequence();
    if (inputs[0] != nullptr && inputs[1] != nullptr && outputs[0] != nullptr && outputs[1] != nullptr) {
        // No host runs 2^31 frames at once; the cap only keeps such a call from turning negative.
        const auto count = static_cast<std::int32_t>(std::min<std::uint32_t>(frames, INT32_MAX));
        engine.process(inputs.data(), outputs.data(), count, OutputMode::Replace, *this);
    }
    if (midiOpen) {
        lv2_atom_forge_pop(&forge, &sequenceFrame);
        midiOpen = false;
    }
    publishState();
}

void Lv2Plugin::publishState() {
    if (meterLevel != nullptr) {
        *meterLevel = engine.getMeterLevel();
    }
    if (meterPeak != nullptr) {
        *meterPeak = engine.getMeterPeak();
    }
    if (noteActive != nullptr) {
        *noteActive = engine.isNoteActive() ? 1.0f : 0.0f;
    }
    if (latency != nullptr) {
        *latency = static_cast<float>(engine.getLatency());
    }
}

void Lv2Plugin::receive(const MidiMessage& message) {
    // A full buffer drops the message whole rather than leave half an event in the sequence.
    if (!midiOpen || forge.offset + kMidiEventSize > forge.size) {
        return;
    }
    const std::uint8_t bytes[3] = {message.status, message.data1, message.data2};
    lv2_atom_forge_frame_time(&forge, message.frame);
    lv2_atom_forge_atom(&forge, sizeof bytes, midiEvent);
    lv2_atom_forge_write(&forge, bytes, sizeof bytes);
}

} // namespace zephyrion::lv2
