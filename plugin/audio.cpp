// The audio callbacks: the engine runs the block, and each MIDI message it makes goes to the host at once;
// the levels of its frames go into the host's level buffer when one is attached and the block fits.
#include "plugin/uPlugin.h"
#include "vst/LevelExtension.h"

namespace zephyrion {

void APlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    engine.process(inputs, outputs, sampleFrames, OutputMode::Add, *this, levelsFor(sampleFrames));
}

void APlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    engine.process(inputs, outputs, sampleFrames, OutputMode::Replace, *this, levelsFor(sampleFrames));
}

float* APlugin::levelsFor(VstInt32 frames) const {
    return frames <= levelCapacity ? levelBuffer : nullptr;
}

vst::VstIntPtr APlugin::vendorSpecific(VstInt32 index, vst::VstIntPtr value, void* ptr, float /*opt*/) {
    if (index != vst::kLevelExtensionIndex || value != vst::kLevelExtensionValue || resumed) {
        return 0;
    }
    const auto* buffer = static_cast<const vst::LevelBuffer*>(ptr);
    if (buffer != nullptr && (buffer->levels == nullptr || buffer->capacity < 1)) {
        return 0;
    }
    levelBuffer = buffer != nullptr ? buffer->levels : nullptr;
    levelCapacity = buffer != nullptr ? buffer->capacity : 0;
    return 1;
}

void APlugin::receive(const MidiMessage& message) {
    midiEvent->midiData[0] = static_cast<char>(message.status);
    midiEvent->midiData[1] = static_cast<char>(message.data1);
    midiEvent->midiData[2] = static_cast<char>(message.data2);
    midiEvent->deltaFrames = message.frame;
    sendVstEventsToHost(midiEvents.get());
}

} // namespace zephyrion
