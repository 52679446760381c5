#include "tools/zephyrion/bleed.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zcli {
namespace {

struct Notes {
    std::vector<std::int64_t> positions;
    std::vector<std::size_t> events; // each note-on's index among the band's events
};

bool takesPart(const BleedBand& band) {
    const std::vector<MidiEvent>& events = band.conversion->events;
    return band.conversion->trace && std::none_of(events.begin(), events.end(), [](const MidiEvent& event) {
               return event.kind() == kControlChange;
           });
}

Notes notesOf(const Conversion& conversion) {
    Notes notes;
    for (std::size_t event = 0; event < conversion.events.size(); ++event) {
        if (conversion.events[event].startsNote()) {
            notes.positions.push_back(conversion.events[event].position);
            notes.events.push_back(event);
        }
    }
    return notes;
}

bool hasNoteNear(const std::vector<std::int64_t>& positions, std::int64_t position, std::int64_t span) {
    const auto next = std::lower_bound(positions.begin(), positions.end(), position - span);
    return next != positions.end() && *next <= position + span;
}

double decibels(float level) {
    return 20.0 * std::log10(std::max(1e-9, static_cast<double>(level)));
}

// The middle of the widest gap between the balances that is wide enough and that `fits`.
template <typename Fits> std::optional<double> splitOf(std::vector<double> balances, Fits fits) {
    std::sort(balances.begin(), balances.end());
    std::optional<double> split;
    double widest = kBalanceGapDb;
    for (std::size_t i = 1; i < balances.size(); ++i) {
        const double middle = (balances[i] + balances[i - 1]) / 2.0;
        if (balances[i] - balances[i - 1] >= widest && fits(middle)) {
            widest = balances[i] - balances[i - 1];
            split = middle;
        }
    }
    return split;
}

// Takes the note that starts at `first` out of the events: its note-on and the next note-off of its key.
void removeNote(std::vector<MidiEvent>& events, std::vector<bool>& removed, std::size_t first) {
    removed[first] = true;
    const MidiEvent& on = events[first];
    for (std::size_t event = first + 1; event < events.size(); ++event) {
        const MidiEvent& off = events[event];
        if (!removed[event] && off.endsNote() && off.channel() == on.channel() && off.data1 == on.data1) {
            removed[event] = true;
            return;
        }
    }
}

} // namespace

void suppressBleed(const std::vector<BleedBand>& bands, double sampleRate) {
    const auto span = static_cast<std::int64_t>(std::lrint(kSameHitSeconds * sampleRate));
    const auto moment = static_cast<std::int64_t>(std::lrint(kBalanceSeconds * sampleRate));
    std::vector<Notes> notes;
    std::vector<std::vector<bool>> loses;
    for (const BleedBand& band : bands) {
        notes.push_back(notesOf(*band.conversion));
        loses.emplace_back(notes.back().positions.size(), false);
    }
    for (std::size_t own = 0; own < bands.size(); ++own) {
        if (!bands[own].competes || !takesPart(bands[own])) {
            continue;
        }
        bands[own].conversion->notesToOtherBands = 0;
        const LevelTrace& ownTrace = *bands[own].conversion->trace;
        // A band's louder half of notes are its own drum's, whatever a band that keeps its bleed claims.
        std::vector<float> ownLevels;
        for (const std::int64_t position : notes[own].positions) {
            ownLevels.push_back(ownTrace.highest(position, moment));
        }
        std::vector<float> sorted = ownLevels;
        std::sort(sorted.begin(), sorted.end());
        const float louderHalf = sorted.empty() ? 0.0f : sorted[sorted.size() / 2];
        for (std::size_t other = 0; other < bands.size(); ++other) {
            if (other == own || !takesPart(bands[other])) {
                continue;
            }
            const LevelTrace& otherTrace = *bands[other].conversion->trace;
            const auto balance = [&](std::int64_t position) {
                const double difference = decibels(ownTrace.highest(position, moment)) -
                                          decibels(otherTrace.highest(position, moment));
                return std::clamp(difference, -kClearestBalanceDb, kClearestBalanceDb);
            };
            std::vector<bool> shared;
            std::vector<double> balances;
            for (const std::int64_t position : notes[own].positions) {
                shared.push_back(hasNoteNear(notes[other].positions, position, span));
                balances.push_back(balance(position));
            }
            if (std::none_of(shared.begin(), shared.end(), [](bool s) { return s; })) {
                continue;
            }
            const std::size_t ownCount = balances.size();
            for (const std::int64_t position : notes[other].positions) {
                balances.push_back(balance(position));
            }
            // A band that keeps its bleed plays along with the others, so its notes fall on both sides of a
            // split that is about its own drum; all on one side, they may all be another drum's.
            const auto others = balances.begin() + static_cast<std::ptrdiff_t>(ownCount);
            const std::optional<double> split = splitOf(balances, [&](double middle) {
                const auto below =
                    std::count_if(others, balances.end(), [&](double b) { return b < middle; });
                return bands[other].competes || (below > 0 && below < balances.end() - others);
            });
            for (std::size_t note = 0; split && note < ownCount; ++note) {
                if (shared[note] && balances[note] < *split &&
                    (bands[other].competes || ownLevels[note] < louderHalf)) {
                    loses[own][note] = true;
                }
            }
        }
    }
    for (std::size_t band = 0; band < bands.size(); ++band) {
        std::vector<MidiEvent>& events = bands[band].conversion->events;
        std::vector<bool> removed(events.size(), false);
        for (std::size_t note = 0; note < loses[band].size(); ++note) {
            if (loses[band][note]) {
                removeNote(events, removed, notes[band].events[note]);
                ++*bands[band].conversion->notesToOtherBands;
            }
        }
        std::size_t kept = 0;
        for (std::size_t event = 0; event < events.size(); ++event) {
            if (!removed[event]) {
                events[kept++] = events[event];
            }
        }
        events.resize(kept);
    }
}

} // namespace zcli
