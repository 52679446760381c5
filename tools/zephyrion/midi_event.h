// One MIDI message as the plug-in sent it, placed at the sample of the input on which it arose.
#pragma once

#include <cstdint>

namespace zcli {

struct MidiEvent {
    std::int64_t position = 0; // samples from the start of the input
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    std::uint8_t kind() const { return status & 0xF0; }
    int channel() const { return status & 0x0F; } // 0..15
    // A note-on with velocity 0 ends a note, as every MIDI receiver reads it.
    bool startsNote() const { return kind() == 0x90 && data2 > 0; }
    bool endsNote() const { return kind() == 0x80 || (kind() == 0x90 && data2 == 0); }
};

inline constexpr std::uint8_t kNoteOff = 0x80;
inline constexpr std::uint8_t kNoteOn = 0x90;
inline constexpr std::uint8_t kControlChange = 0xB0;

// Number of data bytes that follow a channel status byte; system messages (0xF0 and above) are not carried.
inline int channelMessageDataBytes(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    if (status < 0x80 || status >= 0xF0) {
        return -1;
    }
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

} // namespace zcli
