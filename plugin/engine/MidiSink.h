// Where the engine hands its MIDI messages: in order, during the process call, each stamped with the frame
// of the block it arose on.
#pragma once

#include <cstdint>

namespace zephyrion {

struct MidiMessage {
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
    std::int32_t frame; // index of the sample within the block being processed
};

class MidiSink {
public:
    // Audio thread, from inside PeakEngine::process. The message is valid during the call only.
    virtual void receive(const MidiMessage& message) = 0;
    virtual ~MidiSink() = default;
};

} // namespace zephyrion
