// What this host tells a plug-in about itself, and how much it keeps of what the plug-in tells it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "vst/DAEffect.h"

namespace vsthost {

// The VST version this host claims to implement.
inline constexpr vst::VstIntPtr kHostVersion = 2400;

struct HostSettings {
    // The answer to audioMasterVersion; 0 makes a well-behaved plug-in refuse the host.
    vst::VstIntPtr version = kHostVersion;
    // Reported through audioMasterGetSampleRate / GetBlockSize until the plug-in is told otherwise.
    float sampleRate = 44100.0f;
    vst::VstInt32 blockSize = 512;
    std::string vendor = "Zephyrion";
    std::string product = "Zephyrion host";
    vst::VstIntPtr vendorVersion = 1000;
    // audioMasterCanDo answers 1 for these texts and 0 for every other.
    std::vector<std::string> capabilities = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                             "receiveVstMidiEvent"};
    // Records kept; later ones are counted as dropped.
    std::size_t callbackCapacity = 16384;
    std::size_t midiCapacity = 16384;
};

} // namespace vsthost
