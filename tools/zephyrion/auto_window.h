// --auto: each band's amplitude window chosen from the file itself. For every lower bound from
// kLowestBoundDb up, a quarter decibel at a time, it counts the notes the band's level would give (a note
// ends only once the level has stayed below the bound for the band's hold). Hits set apart from what lies
// below them (bleed, their own tails, noise) give the same count over a range of bounds; the bound goes in
// the middle of the range.
#pragma once

#include "tools/zephyrion/level_trace.h"

#include <cstdint>
#include <optional>

namespace zcli {

inline constexpr double kLowestBoundDb = -70.0;
inline constexpr double kBoundStepDb = 0.25;
// A group of hits is clear when its count holds over at least this range of bounds.
inline constexpr double kClearRangeDb = 6.0;

enum class HitGroup {
    Loudest, // the loudest clear group: a band's own drum, above the bleed of the others
    Most,    // the clear group with the most notes, however quiet: a drum that plays along with the others
};
// Without a clear group, either takes the group whose count holds over the widest range.

struct ChosenWindow {
    float lowerBound = 0.0f; // the level, 0..1
    int notes = 0;           // at that bound
    double lowestDb = 0.0;   // the range of bounds that give about as many
    double highestDb = 0.0;
};

// The window for this band's levels; nothing when no bound gives three notes or more.
std::optional<ChosenWindow> chooseWindow(const LevelTrace& trace, std::int64_t holdFrames, HitGroup group);

} // namespace zcli
