// The audio callbacks: the engine runs the block, and each MIDI message it makes goes to the host at once.
#include "plugin/uPlugin.h"

namespace zephyrion {

void APlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    engine.process(inputs, outputs, sampleFrames, OutputMode::Add, *this);
}

void APlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    engine.process(inputs, outputs, sampleFrames, OutputMode::Replace, *this);
}

void APlugin::receive(const MidiMessage& message) {
    midiEvent->midiData[0] = static_cast<char>(message.status);
    midiEvent->midiData[1] = static_cast<char>(message.data1);
    midiEvent->midiData[2] = static_cast<char>(message.data2);
    midiEvent->deltaFrames = message.frame;
    sendVstEventsToHost(midiEvents.get());
}

} // namespace zephyrion
