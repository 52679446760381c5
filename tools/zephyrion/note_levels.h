// How strongly each note's band was excited: the highest level the band reached in the note's first
// moments, read from the plug-in's level buffer block by block, so the whole file's levels are never kept.
#pragma once

#include "tools/zephyrion/midi_event.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace zcli {

// How much of each note counts: its first 30 ms, or less when it ends sooner.
inline constexpr double kNoteLevelSeconds = 0.030;

class NoteLevels {
public:
    // `window` frames from each note-on; `latency`: how much later than the input it belongs to the plug-in
    // sends each event, while its levels are those of the input frames of the call; `blockSize`: the
    // longest call.
    NoteLevels(std::int64_t window, std::int64_t latency, std::size_t blockSize);

    // After each call, in order from the first frame: its levels, and every event of the instance so far at
    // the position the plug-in stamped it (the latency not yet taken off).
    void add(const float* levels, std::size_t frames, const std::vector<MidiEvent>& events);
    // The level of every note-on, in their order; notes still open are measured over what there is.
    std::vector<float> finish();

private:
    struct Note {
        std::size_t index; // among the note-ons
        std::int64_t from;
        std::int64_t to;
        int channel;
        int key;
        bool ended;
    };

    // Measures the oldest open notes whose span is complete and whose note-off, if inside it, has arrived.
    void settle(std::int64_t known);
    void measure(const Note& note);

    std::int64_t window_;
    std::int64_t latency_;
    std::vector<float> ring_; // the latest levels, by input frame modulo its size (a power of two)
    std::int64_t written_ = 0;
    std::size_t seen_ = 0;
    std::deque<Note> open_;
    std::vector<float> levels_;
};

} // namespace zcli
