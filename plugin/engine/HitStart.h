// Where a hit began, from the mono input around the sample where its level crossed into the window. The
// lookahead places the plug-in's notes with it, looking back from the crossing; the converter, which has the
// whole file, also looks a little past it.
//
// No allocation: the caller gives the scratch.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

namespace zephyrion {

// Where the hit that made a level cross at `levels[last]` began: from the loudest sample in levels[0..last],
// walk back while some sample of the `quietSpan` samples just before stays above `share` of that peak.
// Returns an index in 0..last; `last` itself when the level never paused in the window. Bounded work: two
// passes over the levels given.
std::int32_t hitStartBefore(const float* levels, std::int32_t last, float share, std::int32_t quietSpan = 16);

// Two starts are weighed: the broadband level's and the low band's, where a kick's or a snare's body sounds
// and a hi-hat hardly does. A hi-hat struck a few milliseconds before a kick pulls the broadband start
// early; a drum's own click, before its body, pulls the low band's start late. When the low band starts
// clearly later, the start goes halfway toward it, which bounds either error.
class HitStartFinder {
public:
    // At most `maxWarmUp` frames before the window settle the low band's filter (10 ms where they fit).
    explicit HitStartFinder(float sampleRate = 44100.0f,
                            std::int32_t maxWarmUp = std::numeric_limits<std::int32_t>::max());

    // Frames before the window that settle the low band's filter.
    std::int32_t warmUp() const { return warmUpFrames; }

    // `mono` holds warmUp() frames and then the window, frames 0..last, in which the level crossed at
    // `crossing`. `broad`, `low` and `other` are scratch for last + 1 levels each. Returns the start's index
    // in the window, at most `crossing`.
    //
    // A start whose first half millisecond is nearly all highs, with sound below them beginning soon after,
    // is a hi-hat struck just before the drum: the start is then where the sound below the highs began.
    std::int32_t find(const float* mono, std::int32_t crossing, std::int32_t last, float* broad, float* low,
                      float* other) const;

    // The same for a band that hears only highs, a hi-hat's. Where the input never paused before the
    // crossing in the window, the hit sounds over another's decaying body, whose zero crossings the whole
    // input's start would take for pauses: the start is then the highs' own.
    std::int32_t findInHighs(const float* mono, std::int32_t crossing, std::int32_t last, float* broad,
                             float* low, float* other) const;

private:
    struct Section {
        double b0, b1, b2, a1, a2;
    };
    // Fourth-order Butterworth filters, in two sections each.
    static void filter(const std::array<Section, 2>& sections, const float* in, std::int32_t count,
                       std::int32_t skip, float* levels);
    // The broadband and low band starts weighed.
    std::int32_t weighedStart(const float* mono, std::int32_t crossing, std::int32_t last, float* broad,
                              float* low) const;
    // The share of the energy above the highs' edge in the first frames from `start` on; `scratch` holds
    // last + 1 levels.
    double highShareAfter(const float* mono, std::int32_t start, std::int32_t last, float* scratch) const;

    std::array<Section, 2> lowpass{};
    std::array<Section, 2> highpass{};
    std::array<Section, 2> belowHighs{}; // a lowpass at the highs' edge
    std::int32_t pauseSpan = 0;          // how long the input must pause for a hit to have started from quiet
    std::int32_t leadSpan = 0;           // how much of a start tells whether it is highs alone
    std::int32_t settleSpan = 0;         // what the highpass needs before it
    std::int32_t maxHatLead = 0; // how far before the drum a hi-hat may be struck and still be taken for one
    std::int32_t warmUpFrames = 0;
    std::int32_t lowDelay = 0; // the low band's delay at a hit's start
    std::int32_t lowLead = 0;  // how much later the low band must start to count
};

} // namespace zephyrion
