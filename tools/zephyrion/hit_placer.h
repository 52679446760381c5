// The tool's own lookahead: it has the whole file, so it puts each note-on on the start of its hit looking
// 25 ms back from where the level crossed into the window, as the plug-in does, and 10 ms past it too. A
// band that crosses early, before its drum has peaked, is then placed by the whole hit, not by what sounded
// before it.
#pragma once

#include "plugin/engine/HitStart.h"
#include "tools/zephyrion/midi_event.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace zcli {

// The last stretch of one input, summed to mono as the plug-in sums it.
class MonoHistory {
public:
    explicit MonoHistory(std::size_t frames);

    void add(const float* left, const float* right, std::size_t frames);
    void addSilence(std::size_t frames);
    std::int64_t end() const { return end_; } // frames added so far

    // Frames from `from` on into `out`: silence before the input and past end(), and for frames no longer
    // kept.
    void copy(std::int64_t from, std::size_t count, float* out) const;

private:
    void push(float sample);

    std::vector<float> ring_;
    std::int64_t end_ = 0;
};

// How the tool places one instance's note-ons.
enum class Placement {
    AsSent,        // where the plug-in put them
    OnHits,        // on the hits
    OnHitsInHighs, // on the hits, for a band that hears only highs (HitStartFinder::findInHighs)
};

class HitPlacer {
public:
    HitPlacer(double sampleRate, int blockSize, Placement placement);

    // How much of its input the placer needs kept, for MonoHistory.
    std::size_t historyFrames() const;

    // Moves the events not yet placed, in order, as far as the history reaches past each note-on, or all of
    // them once the input has `ended`. A note-off moves with its note-on, keeping the note's length; no event
    // goes before one placed earlier.
    void place(std::vector<MidiEvent>& events, const MonoHistory& history, bool ended);

private:
    zephyrion::HitStartFinder finder_;
    std::int32_t lookBack_;
    std::int32_t lookPast_;
    int blockSize_;
    bool inHighs_;
    std::size_t next_ = 0;
    std::int64_t lastPosition_ = 0;
    std::map<std::pair<int, int>, std::int64_t> shifts_; // per channel and note
    std::vector<float> mono_, broad_, low_, other_;
};

} // namespace zcli
