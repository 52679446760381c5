// Standard MIDI Files: format 0, one track with a tempo event and the plug-in's messages, or format 1 with a
// named track per band.
#pragma once

#include "tools/zephyrion/midi_event.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zcli {

struct SmfTiming {
    int ppq = 960;
    double bpm = 120.0;
    double sampleRate = 44100.0;
};

inline constexpr int kMaxPpq = 32767;  // bit 15 of the division would mean SMPTE time
inline constexpr double kMinBpm = 4.0; // the tempo event holds at most 2^24 - 1 microseconds per quarter
inline constexpr double kMaxBpm = 1000.0;

// The tick of an absolute sample position. Every event is placed from its own position, so rounding never
// accumulates over a long file.
std::int64_t ticksAt(std::int64_t position, const SmfTiming& timing);

// The whole file. Events must be in order of position; messages that are not channel messages are left out.
std::string encodeSmf(const std::vector<MidiEvent>& events, const SmfTiming& timing);

struct SmfTrack {
    std::string name;
    const std::vector<MidiEvent>* events = nullptr;
};

// Format 1: a track per entry, each named, the tempo in the first.
std::string encodeSmfTracks(const std::vector<SmfTrack>& tracks, const SmfTiming& timing);

} // namespace zcli
