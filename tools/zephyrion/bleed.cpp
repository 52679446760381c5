#include "tools/zephyrion/bleed.h"

#include "tools/zephyrion/decibels.h"

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

// A band as bleed suppression sees it: its note-ons and their levels over their first moments.
struct Side {
    const BleedBand& band;
    const LevelTrace& trace;
    Notes notes;
    std::vector<float> levels;
    float louderHalf = 0.0f; // the median level: notes at or above it are surely the band's own drum's
};

Side sideOf(const BleedBand& band, std::int64_t moment) {
    Side side{band, *band.conversion->trace, notesOf(*band.conversion), {}, 0.0f};
    for (const std::int64_t position : side.notes.positions) {
        side.levels.push_back(side.trace.highest(position, moment));
    }
    std::vector<float> sorted = side.levels;
    std::sort(sorted.begin(), sorted.end());
    side.louderHalf = sorted.empty() ? 0.0f : sorted[sorted.size() / 2];
    return side;
}

// Marks the notes of `own` that go to `other`: those the two share whose balance lies on the other's side.
void markLosses(const Side& own, const Side& other, std::int64_t span, std::int64_t moment,
                std::vector<bool>& loses) {
    const auto balance = [&](std::int64_t position) {
        const double difference = decibelsOf(own.trace.highest(position, moment)) -
                                  decibelsOf(other.trace.highest(position, moment));
        return std::clamp(difference, -kClearestBalanceDb, kClearestBalanceDb);
    };
    std::vector<bool> shared;
    std::vector<double> balances;
    for (const std::int64_t position : own.notes.positions) {
        shared.push_back(hasNoteNear(other.notes.positions, position, span));
        balances.push_back(balance(position));
    }
    if (std::none_of(shared.begin(), shared.end(), [](bool s) { return s; })) {
        return;
    }
    const std::size_t ownCount = balances.size();
    for (const std::int64_t position : other.notes.positions) {
        balances.push_back(balance(position));
    }
    // A band that keeps its bleed plays along with the others, so its notes fall on both sides of a split
    // that is about its own drum; all on one side, they may all be another drum's. Nor does it take a note
    // from the louder half of a band's own.
    const bool keeper = !other.band.competes;
    const auto others = balances.begin() + static_cast<std::ptrdiff_t>(ownCount);
    const std::optional<double> split = splitOf(balances, [&](double middle) {
        const auto below = std::count_if(others, balances.end(), [&](double b) { return b < middle; });
        return !keeper || (below > 0 && below < balances.end() - others);
    });
    for (std::size_t note = 0; split && note < ownCount; ++note) {
        if (shared[note] && balances[note] < *split && (!keeper || own.levels[note] < own.louderHalf)) {
            loses[note] = true;
        }
    }
}

// Takes the marked notes out of the band's events, each with its note-off, and counts them.
void removeLosses(Conversion& conversion, const Notes& notes, const std::vector<bool>& loses) {
    std::vector<MidiEvent>& events = conversion.events;
    std::vector<bool> removed(events.size(), false);
    for (std::size_t note = 0; note < loses.size(); ++note) {
        if (loses[note]) {
            removeNote(events, removed, notes.events[note]);
            ++*conversion.notesToOtherBands;
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

} // namespace

void suppressBleed(const std::vector<BleedBand>& bands, double sampleRate) {
    const auto span = static_cast<std::int64_t>(std::lrint(kSameHitSeconds * sampleRate));
    const auto moment = static_cast<std::int64_t>(std::lrint(kBalanceSeconds * sampleRate));
    std::vector<Side> sides;
    for (const BleedBand& band : bands) {
        if (takesPart(band)) {
            sides.push_back(sideOf(band, moment));
        }
    }
    // Every loss is decided on the notes as they came, then all are taken out together.
    std::vector<std::vector<bool>> losses;
    for (const Side& own : sides) {
        losses.emplace_back(own.notes.positions.size(), false);
        if (!own.band.competes) {
            continue;
        }
        own.band.conversion->notesToOtherBands = 0;
        for (const Side& other : sides) {
            if (&other != &own) {
                markLosses(own, other, span, moment, losses.back());
            }
        }
    }
    for (std::size_t side = 0; side < sides.size(); ++side) {
        if (sides[side].band.competes) {
            removeLosses(*sides[side].band.conversion, sides[side].notes, losses[side]);
        }
    }
}

} // namespace zcli
