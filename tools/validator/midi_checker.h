// Judges the MIDI a plug-in sends, event by event: is each one a well-formed message in its block, and do
// its note-ons and note-offs pair up as a receiver needs them to.
#pragma once

#include <cstdint>
#include <string>

#include "host/Records.h"
#include "tools/validator/results.h"

namespace zvalidate {

class MidiChecker {
public:
    // `blockFrames` is the length of the process call the event came in, negative when not known; it is not
    // used for events sent outside processing.
    void inspect(const vsthost::MidiRecord& record, std::int32_t blockFrames);
    // Events the host could not keep, and so never saw.
    void missed(std::size_t count);
    // Every note still sounding is a hanging note; `when` says at what point, e.g. "after 10 s of silence".
    void expectNoSoundingNotes(const std::string& when);

    // Status and data bytes, deltaFrames, note-on velocities.
    const Findings& form() const { return formFindings; }
    // Note-offs without a sounding note, notes that never end.
    const Findings& notes() const { return noteFindings; }
    std::int64_t eventCount() const { return events; }

private:
    void track(std::uint8_t status, std::uint8_t note, std::uint8_t velocity, const std::string& where);

    Findings formFindings;
    Findings noteFindings;
    std::int64_t events = 0;
    // Per channel and note: how many note-ons are waiting for their note-off, and whether the last note-on
    // had velocity 0 (which a receiver reads as a note-off).
    std::int32_t sounding[16][128] = {};
    bool silentNoteOn[16][128] = {};
};

} // namespace zvalidate
