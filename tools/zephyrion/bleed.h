// Bleed between bands: a hit loud enough reaches more bands than its own (a kick reaching the snare's band).
// Each hit has a balance between two bands, the difference of their levels in its first moments, whatever its
// strength; a band's own hits and the other band's bleed into it fall on either side of a wide gap in the
// balances of both bands' notes. A note that another band also has within kSameHitSeconds goes when its
// balance lies on the other band's side: that band keeps the hit.
#pragma once

#include "tools/zephyrion/converter.h"

#include <vector>

namespace zcli {

// Note-ons of different bands this close together, on their final positions, are one hit.
inline constexpr double kSameHitSeconds = 0.010;
// How much of a note counts for its balance: its first 30 ms.
inline constexpr double kBalanceSeconds = 0.030;
// A balance beyond this is as clear as this: a hit that one band hardly hears must not part the rest less
// than it stands apart from them.
inline constexpr double kClearestBalanceDb = 24.0;
// Balances that no gap this wide parts tell the bands' hits from their bleed too poorly to act on.
inline constexpr double kBalanceGapDb = 2.5;

struct BleedBand {
    Conversion* conversion; // with its trace; loses the notes that go to other bands
    // False for a band that keeps its bleed (bleed=keep): its notes are never removed, though it still takes
    // hits from the bands that do compete, from the quieter half of their notes.
    bool competes = true;
};

// Each band that competes gets notesToOtherBands. A band that sends control changes, or has no trace, is
// left alone.
void suppressBleed(const std::vector<BleedBand>& bands, double sampleRate);

} // namespace zcli
