// Bleed between bands: a hit loud enough reaches more bands than its own (a kick reaching the snare's band).
// Note-ons of different bands that start together are one hit, and the hit goes to the band in which it
// stands highest among that band's own notes: the share of the band's notes whose level in their first
// moments (NoteLevels) is at most the hit's. A band's own hits are its loudest notes and the bleed its
// quietest, whatever the band's gain or window; a kick may well be louder in the snare's band than a snare,
// yet it is among the kick band's loudest. The other bands lose that note, its note-on and its note-off.
#pragma once

#include "tools/zephyrion/converter.h"

#include <vector>

namespace zcli {

// Note-ons of different bands this close together, on their final positions, are one hit.
inline constexpr double kSameHitSeconds = 0.005;

struct BleedBand {
    Conversion* conversion; // with noteLevels; loses the notes that go to other bands
    // False for a band that keeps to itself (bleed=keep): its notes are never removed, and they take no
    // note from another band either.
    bool competes = true;
};

// Each band that competes gets notesToOtherBands; one that sends control changes is left alone. Ties keep
// every band with the highest standing.
void suppressBleed(const std::vector<BleedBand>& bands, double sampleRate);

} // namespace zcli
