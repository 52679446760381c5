// Reads a Standard MIDI File back for the tests, independently of the tool's writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zcli_test {

struct SmfEvent {
    std::int64_t tick; // absolute
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
};

struct SmfTrack {
    std::string name;                // from the first track name event
    std::vector<SmfEvent> events;    // every track's, track after track
    std::vector<SmfTrack> trackList; // the same, track by track
};

struct SmfFile {
    int format = -1;
    int tracks = 0;
    int division = 0;
    std::int64_t tempo = -1;         // microseconds per quarter, from the first tempo event
    bool endOfTrack = false;         // the last event of the track is its end marker
    std::vector<SmfEvent> events;    // every track's, track after track
    std::vector<SmfTrack> trackList; // the same, track by track
};

// Throws std::runtime_error describing the first malformed byte.
SmfFile parseSmf(const std::string& bytes);
SmfFile readSmf(const std::string& path);

} // namespace zcli_test
