// A conversion's score as lines for the reader and as one JSON document for scripts.
#pragma once

#include "tools/zephyrion/hit_score.h"

#include <string>
#include <vector>

namespace zcli {

struct ScoreReport {
    std::vector<std::string> inputs; // each band's input file, in the bands' order
    std::string reference;
    double sampleRate = 0.0;
    std::vector<ScoredBand> bands;
    ConversionScore score;
};

// Per band a line of counts and one per tolerance, with the timing at the first; then the hits no band
// answers for, if any. Offsets are note minus hit: a signed median and the 95th percentile of their size.
std::string scoreLines(const ScoreReport& report);

// {"reference":...,"sampleRate":...,"referenceHits":N,"unassignedHits":N,"unassignedNames":[...],
//  "bands":[{"input":...,"band":NAME or null,"note":N or null,"hits":N,"notes":N,
//            "tolerances":[{"toleranceMs":25,"found":N,"missed":N,"false":N,"precision":X,"recall":X,
//                           "fMeasure":X},...],
//            "offsetsMs":{"matched":N,"median":X,"absolute95":X} or null}]}
std::string scoreJson(const ScoreReport& report);

} // namespace zcli
