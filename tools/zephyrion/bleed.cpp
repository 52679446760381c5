#include "tools/zephyrion/bleed.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace zcli {
namespace {

struct Onset {
    std::int64_t position;
    std::size_t band;
    std::size_t event;
    double standing; // the share of its band's notes at most as loud
};

// A band that sends control changes is left alone, as is one without levels or marked to keep its bleed.
bool competes(const BleedBand& band) {
    const std::vector<MidiEvent>& events = band.conversion->events;
    return band.competes && band.conversion->noteLevels &&
           std::none_of(events.begin(), events.end(),
                        [](const MidiEvent& event) { return event.kind() == kControlChange; });
}

std::vector<Onset> onsetsOf(const std::vector<BleedBand>& bands) {
    std::vector<Onset> onsets;
    for (std::size_t band = 0; band < bands.size(); ++band) {
        const Conversion& conversion = *bands[band].conversion;
        if (!competes(bands[band])) {
            continue;
        }
        std::vector<float> sorted = *conversion.noteLevels;
        std::sort(sorted.begin(), sorted.end());
        const auto count = static_cast<double>(sorted.size());
        std::size_t note = 0;
        for (std::size_t event = 0; event < conversion.events.size(); ++event) {
            if (conversion.events[event].startsNote() && note < sorted.size()) {
                const float level = (*conversion.noteLevels)[note++];
                const auto atMost = std::upper_bound(sorted.begin(), sorted.end(), level) - sorted.begin();
                onsets.push_back(
                    {conversion.events[event].position, band, event, static_cast<double>(atMost) / count});
            }
        }
    }
    std::sort(onsets.begin(), onsets.end(), [](const Onset& a, const Onset& b) {
        return std::tie(a.position, a.band) < std::tie(b.position, b.band);
    });
    return onsets;
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
    const std::vector<Onset> onsets = onsetsOf(bands);
    std::vector<std::vector<bool>> removed;
    for (const BleedBand& band : bands) {
        removed.emplace_back(band.conversion->events.size(), false);
        if (competes(band)) {
            band.conversion->notesToOtherBands = 0;
        }
    }
    // A hit is every note-on within the span of its first, so two hits never chain into one.
    const auto span = static_cast<std::int64_t>(std::lrint(kSameHitSeconds * sampleRate));
    for (std::size_t first = 0, next = 0; first < onsets.size(); first = next) {
        double highest = 0.0;
        for (next = first; next < onsets.size() && onsets[next].position - onsets[first].position <= span;
             ++next) {
            highest = std::max(highest, onsets[next].standing);
        }
        // A band keeps its notes of the hit when one of them stands highest.
        for (std::size_t loser = first; loser < next; ++loser) {
            const std::size_t band = onsets[loser].band;
            const bool bandWins =
                std::any_of(onsets.begin() + static_cast<std::ptrdiff_t>(first),
                            onsets.begin() + static_cast<std::ptrdiff_t>(next),
                            [&](const Onset& o) { return o.band == band && o.standing == highest; });
            if (!bandWins) {
                removeNote(bands[band].conversion->events, removed[band], onsets[loser].event);
                ++*bands[band].conversion->notesToOtherBands;
            }
        }
    }
    for (std::size_t band = 0; band < bands.size(); ++band) {
        std::vector<MidiEvent>& events = bands[band].conversion->events;
        std::size_t kept = 0;
        for (std::size_t event = 0; event < events.size(); ++event) {
            if (!removed[band][event]) {
                events[kept++] = events[event];
            }
        }
        events.resize(kept);
    }
}

} // namespace zcli
