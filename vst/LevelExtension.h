// Zephyrion's own extension of the format, for hosts that know it: a buffer into which every process call
// writes the envelope level of each of its frames (the level the amplitude window tests), so a tool that
// sees only MIDI can tell how strongly each note's band was excited. It travels through effVendorSpecific
// with an index and a value that no other host sends by chance; ptr is a LevelBuffer, or null to detach.
// The plug-in answers 1 when it took the request and 0 when it refused: it takes one only while suspended.
#pragma once

#include "vst/DAEffect.h"
#include "vst/DVstUtils.h"

namespace vst {

inline constexpr VstInt32 kLevelExtensionIndex = FourCharCode('Z', 'Q', 'l', 'v');
inline constexpr VstIntPtr kLevelExtensionValue = FourCharCode('l', 'e', 'v', 'l');

// A process call of more frames than the capacity writes nothing into it.
struct LevelBuffer {
    float* levels;
    VstInt32 capacity;
};

} // namespace vst
