// A conversion's note-ons scored against the true hits: which hits each band answers for, a one-to-one
// matching within a tolerance, and each band's counts, ratios and timing.
#pragma once

#include "tools/zephyrion/midi_event.h"
#include "tools/zephyrion/reference_hits.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zcli {

// Seconds either side of a hit within which a note-on counts; timing is measured at the first.
inline constexpr double kScoreTolerances[] = {0.025, 0.050};

// A band as the true hits name it.
struct ScoredBand {
    std::string name;        // empty: the one instance of a run without bands, answering for every hit
    std::optional<int> note; // the MIDI note it sends; absent when it sends control changes
};

struct Assignment {
    std::vector<std::vector<double>> hits;    // each band's true hits in seconds, in the bands' order
    int unassigned = 0;                       // hits no band answers for
    std::vector<std::string> unassignedNames; // their instruments or "note N", each once
};

// A band answers for the hits of its own name; a hit no band is named after goes to the bands sending its
// note, or for a kit preset's name the preset's note. A hit may thus count for several bands, or none.
Assignment assignHits(const std::vector<ReferenceHit>& hits, const std::vector<ScoredBand>& bands,
                      double sampleRate);

// Pairs note-ons with hits one to one, the closest pairs first, each pair at most `tolerance` seconds
// apart; answers (note, hit) index pairs.
std::vector<std::pair<std::size_t, std::size_t>> matchHits(const std::vector<double>& notes,
                                                           const std::vector<double>& hits, double tolerance);

struct ToleranceScore {
    double tolerance = 0.0;
    int found = 0;      // notes matched to a hit
    int missed = 0;     // hits without a note
    int falseNotes = 0; // notes without a hit
    // Each 0 when it has nothing to divide by, as is usual for onset scores.
    double precision = 0.0;
    double recall = 0.0;
    double fMeasure = 0.0;
};

// The note-ons' offsets from their hits (note minus hit, seconds) at the first tolerance.
struct TimingOffsets {
    int matched = 0;
    double median = 0.0;     // signed: negative when the notes come early
    double absolute95 = 0.0; // 95th percentile of the offsets' sizes, nearest rank
};

struct BandScore {
    int hits = 0;
    int notes = 0;
    std::vector<ToleranceScore> tolerances; // one per kScoreTolerances
    std::optional<TimingOffsets> offsets;   // absent when no note matched
};

BandScore scoreBand(const std::vector<double>& notes, const std::vector<double>& hits);

struct ConversionScore {
    int referenceHits = 0;
    Assignment assignment;
    std::vector<BandScore> bands;
};

// Every band's note-ons (its events, positions in samples of the input) against the hits meant for it.
ConversionScore scoreConversion(const std::vector<ReferenceHit>& hits, const std::vector<ScoredBand>& bands,
                                const std::vector<const std::vector<MidiEvent>*>& events, double sampleRate);

} // namespace zcli
