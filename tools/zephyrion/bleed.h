// Bleed between bands: a hit loud enough reaches more bands than its own (a kick reaching the snare's band).
// Note-ons of different bands that start together are one hit, and the hit goes to the band it excites
// most relative to that band's own window: the highest level in the note's first moments (NoteLevels)
// divided by the window's lower bound. The other bands lose that note, its note-on and its note-off.
#pragma once

#include "tools/zephyrion/converter.h"

#include <vector>

namespace zcli {

// Note-ons of different bands this close together, on their final positions, are one hit.
inline constexpr double kSameHitSeconds = 0.005;

struct BleedBand {
    Conversion* conversion; // with noteLevels; loses the notes that go to other bands
    float lowerBound;       // of its amplitude window, 1 - Amp.Hi
    // False for a band that keeps to itself (bleed=keep): its notes are never removed, and they take no
    // note from another band either.
    bool competes = true;
};

// Each band that competes gets notesToOtherBands; one that sends control changes is left alone. Ties keep
// every band with the highest ratio.
void suppressBleed(const std::vector<BleedBand>& bands, double sampleRate);

} // namespace zcli
