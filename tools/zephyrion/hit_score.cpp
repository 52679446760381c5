#include "tools/zephyrion/hit_score.h"

#include "tools/zephyrion/kit_presets.h"
#include "tools/zephyrion/parameter_values.h"
#include "tools/zephyrion/text.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace zcli {
namespace {

// Offsets computed from sample positions miss an exact tolerance by rounding alone.
constexpr double kToleranceSlack = 1e-9;

std::optional<int> presetNote(std::string_view instrument) {
    for (const KitPreset& preset : kKitPresets) {
        if (sameName(instrument, preset.name)) {
            const std::size_t from = preset.settings.find("note=") + 5;
            const std::string_view note =
                preset.settings.substr(from, preset.settings.find(',', from) - from);
            return parseNoteNumber(note);
        }
    }
    return std::nullopt;
}

double ratio(int part, int whole) {
    return whole > 0 ? static_cast<double>(part) / whole : 0.0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double percentile95(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t rank = (95 * values.size() + 99) / 100;
    return values[rank - 1];
}

} // namespace

Assignment assignHits(const std::vector<ReferenceHit>& hits, const std::vector<ScoredBand>& bands,
                      double sampleRate) {
    Assignment assignment;
    assignment.hits.resize(bands.size());
    for (const ReferenceHit& hit : hits) {
        const bool named =
            !hit.instrument.empty() && std::any_of(bands.begin(), bands.end(), [&](const ScoredBand& band) {
                return sameName(band.name, hit.instrument);
            });
        const std::optional<int> note =
            hit.instrument.empty() ? std::optional<int>(hit.note) : presetNote(hit.instrument);
        bool taken = false;
        for (std::size_t band = 0; band < bands.size(); ++band) {
            const ScoredBand& candidate = bands[band];
            const bool meant = candidate.name.empty() || (named ? sameName(candidate.name, hit.instrument)
                                                                : note.has_value() && candidate.note == note);
            if (meant) {
                assignment.hits[band].push_back(hit.secondsAt(sampleRate));
                taken = true;
            }
        }
        if (!taken) {
            ++assignment.unassigned;
            const std::string name =
                hit.instrument.empty() ? "note " + std::to_string(hit.note) : hit.instrument;
            if (std::find(assignment.unassignedNames.begin(), assignment.unassignedNames.end(), name) ==
                assignment.unassignedNames.end()) {
                assignment.unassignedNames.push_back(name);
            }
        }
    }
    for (std::vector<double>& times : assignment.hits) {
        std::sort(times.begin(), times.end());
    }
    return assignment;
}

std::vector<std::pair<std::size_t, std::size_t>>
matchHits(const std::vector<double>& notes, const std::vector<double>& hits, double tolerance) {
    std::vector<std::size_t> byTime(hits.size());
    for (std::size_t hit = 0; hit < hits.size(); ++hit) {
        byTime[hit] = hit;
    }
    std::sort(byTime.begin(), byTime.end(), [&](std::size_t a, std::size_t b) { return hits[a] < hits[b]; });
    // Every pair close enough, as (distance, note, hit), so the closest are paired first.
    std::vector<std::tuple<double, std::size_t, std::size_t>> candidates;
    const double reach = tolerance + kToleranceSlack;
    for (std::size_t note = 0; note < notes.size(); ++note) {
        auto hit = std::lower_bound(byTime.begin(), byTime.end(), notes[note] - reach,
                                    [&](std::size_t index, double time) { return hits[index] < time; });
        for (; hit != byTime.end() && hits[*hit] <= notes[note] + reach; ++hit) {
            candidates.emplace_back(std::abs(notes[note] - hits[*hit]), note, *hit);
        }
    }
    std::sort(candidates.begin(), candidates.end());
    std::vector<bool> noteTaken(notes.size());
    std::vector<bool> hitTaken(hits.size());
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (const auto& [distance, note, hit] : candidates) {
        if (!noteTaken[note] && !hitTaken[hit]) {
            noteTaken[note] = true;
            hitTaken[hit] = true;
            pairs.emplace_back(note, hit);
        }
    }
    return pairs;
}

BandScore scoreBand(const std::vector<double>& notes, const std::vector<double>& hits) {
    BandScore score;
    score.hits = static_cast<int>(hits.size());
    score.notes = static_cast<int>(notes.size());
    for (const double tolerance : kScoreTolerances) {
        const auto pairs = matchHits(notes, hits, tolerance);
        ToleranceScore& result = score.tolerances.emplace_back();
        result.tolerance = tolerance;
        result.found = static_cast<int>(pairs.size());
        result.missed = score.hits - result.found;
        result.falseNotes = score.notes - result.found;
        result.precision = ratio(result.found, score.notes);
        result.recall = ratio(result.found, score.hits);
        result.fMeasure = ratio(2 * result.found, score.notes + score.hits);
        if (score.tolerances.size() == 1 && !pairs.empty()) {
            std::vector<double> offsets;
            std::vector<double> sizes;
            for (const auto& [note, hit] : pairs) {
                offsets.push_back(notes[note] - hits[hit]);
                sizes.push_back(std::abs(offsets.back()));
            }
            score.offsets = TimingOffsets{result.found, median(offsets), percentile95(sizes)};
        }
    }
    return score;
}

ConversionScore scoreConversion(const std::vector<ReferenceHit>& hits, const std::vector<ScoredBand>& bands,
                                const std::vector<const std::vector<MidiEvent>*>& events, double sampleRate) {
    ConversionScore score;
    score.referenceHits = static_cast<int>(hits.size());
    score.assignment = assignHits(hits, bands, sampleRate);
    for (std::size_t band = 0; band < bands.size(); ++band) {
        std::vector<double> notes;
        for (const MidiEvent& event : *events[band]) {
            if (event.startsNote()) {
                notes.push_back(static_cast<double>(event.position) / sampleRate);
            }
        }
        score.bands.push_back(scoreBand(notes, score.assignment.hits[band]));
    }
    return score;
}

} // namespace zcli
