#include "tools/validator/midi_checker.h"

namespace zvalidate {
namespace {

constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;

// Data bytes that follow a status byte; -1 for a status that has no place in a VstMidiEvent (system
// exclusive goes in a sysex event; the rest are undefined).
int dataBytesAfter(std::uint8_t status) {
    if (status < 0xF0) {
        const std::uint8_t kind = status & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }
    switch (status) {
    case 0xF1:
    case 0xF3: return 1;
    case 0xF2: return 2;
    case 0xF6:
    case 0xF8:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFE:
    case 0xFF: return 0;
    default: return -1;
    }
}

std::string hex(std::uint8_t byte) {
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[byte >> 4] + digits[byte & 0x0F];
}

std::string noteName(std::uint8_t channelStatus, std::uint8_t note) {
    return "note " + std::to_string(note) + " on channel " + std::to_string((channelStatus & 0x0F) + 1);
}

} // namespace

void MidiChecker::inspect(const vsthost::MidiRecord& record, std::int32_t blockFrames) {
    ++events;
    const vst::VstMidiEvent& event = record.event;
    const std::string where = " at sample " + std::to_string(record.position);
    if (event.byteSize != static_cast<vst::VstInt32>(sizeof(vst::VstMidiEvent))) {
        formFindings.warn("MIDI event of byteSize " + std::to_string(event.byteSize) + " instead of " +
                              std::to_string(sizeof(vst::VstMidiEvent)) + where,
                          "event of another byteSize");
    }
    if (record.block == vsthost::kOutsideProcessing) {
        formFindings.warn("MIDI event sent outside a process call, where it has no time",
                          "event outside a process call");
    } else if (blockFrames >= 0 && (event.deltaFrames < 0 || event.deltaFrames >= blockFrames)) {
        formFindings.fail("deltaFrames " + std::to_string(event.deltaFrames) + " outside its block of " +
                              std::to_string(blockFrames) + " samples" + where,
                          "deltaFrames outside its block");
    }
    const auto status = static_cast<std::uint8_t>(event.midiData[0]);
    if (status < 0x80) {
        formFindings.fail("MIDI event without a status byte (first byte " + hex(status) + ")" + where,
                          "event without a status byte");
        return;
    }
    const int dataBytes = dataBytesAfter(status);
    if (dataBytes < 0) {
        formFindings.fail("status byte " + hex(status) + " has no place in a MIDI event" + where,
                          "status byte out of place");
        return;
    }
    for (int i = 1; i <= dataBytes; ++i) {
        const auto data = static_cast<std::uint8_t>(event.midiData[i]);
        if (data >= 0x80) {
            formFindings.fail("data byte " + std::to_string(data) + " (above 127) after status " +
                                  hex(status) + where,
                              "data byte above 127");
            return;
        }
    }
    const auto note = static_cast<std::uint8_t>(event.midiData[1]);
    const auto velocity = static_cast<std::uint8_t>(event.midiData[2]);
    if ((status & 0xF0) == kNoteOn && velocity == 0) {
        formFindings.fail("note-on with velocity 0 (a note-off to a receiver) for " + noteName(status, note) +
                              where,
                          "note-on with velocity 0");
    }
    track(status, note, velocity, where);
}

void MidiChecker::track(std::uint8_t status, std::uint8_t note, std::uint8_t velocity,
                        const std::string& where) {
    const std::uint8_t kind = status & 0xF0;
    if (kind != kNoteOn && kind != kNoteOff) {
        return;
    }
    const int channel = status & 0x0F;
    if (kind == kNoteOn && velocity > 0) {
        ++sounding[channel][note];
        silentNoteOn[channel][note] = false;
        return;
    }
    if (sounding[channel][note] > 0) {
        --sounding[channel][note];
        return;
    }
    if (kind == kNoteOn) {
        // Already a form failure; the note-off that follows it is the one a receiver stumbles over.
        silentNoteOn[channel][note] = true;
        return;
    }
    noteFindings.fail("note-off for " + noteName(status, note) + where + ", which is not sounding" +
                          (silentNoteOn[channel][note] ? " (its note-on had velocity 0)" : ""),
                      "note-off for a note not sounding");
}

void MidiChecker::missed(std::size_t count) {
    if (count > 0) {
        formFindings.warn(std::to_string(count) +
                          " MIDI events did not fit the host's records and went unchecked");
    }
}

void MidiChecker::expectNoSoundingNotes(const std::string& when) {
    for (int channel = 0; channel < 16; ++channel) {
        for (int note = 0; note < 128; ++note) {
            if (sounding[channel][note] > 0) {
                noteFindings.fail("note " + std::to_string(note) + " on channel " +
                                      std::to_string(channel + 1) + " still sounding " + when,
                                  "note left sounding");
            }
        }
    }
}

} // namespace zvalidate
