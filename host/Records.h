// What the host keeps of each call a plug-in makes to it.
#pragma once

#include <cstdint>

#include "vst/DAEffectX.h"

namespace vsthost {

// Block index of a MIDI event that arrived outside any process call.
inline constexpr std::int64_t kOutsideProcessing = -1;

struct CallRecord {
    vst::VstInt32 opcode;
    // For audioMasterAutomate: the parameter index; its new value is `opt`.
    vst::VstInt32 index;
    vst::VstIntPtr value;
    bool ptrWasNull;
    float opt;
    vst::VstIntPtr answer;
    // True when the call came from inside one of this instance's process calls.
    bool duringProcessing;
    // The text of an audioMasterCanDo query (cut to fit), empty for every other call.
    char text[48];
};

struct MidiRecord {
    vst::VstMidiEvent event;
    // Index of the process call the event came in (the first call is 0), or kOutsideProcessing.
    std::int64_t block;
    // Absolute sample position: the block's first sample plus the event's deltaFrames; outside processing
    // it counts from the number of samples processed so far.
    std::int64_t position;
};

} // namespace vsthost
