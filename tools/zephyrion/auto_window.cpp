#include "tools/zephyrion/auto_window.h"

#include "tools/zephyrion/decibels.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zcli {
namespace {

constexpr int kFewestNotes = 3;
// Counts within this share (or one note) of each other are one group's: a stray bump comes and goes.
constexpr double kCountTolerance = 0.03;

float levelOf(double decibels) {
    return static_cast<float>(levelOfDecibels(decibels));
}

// The notes each bound (ascending) would give, in one pass: a note starts where the level reaches the bound
// after staying below it for the hold, so a stretch starts one at each bound above the highest level of the
// hold before it, up to its own level.
std::vector<int> notesAtEach(const std::vector<float>& stretches, const std::vector<float>& bounds,
                             std::int64_t holdStretches) {
    std::vector<int> starts(bounds.size() + 1, 0);
    for (std::size_t j = 0; j < stretches.size(); ++j) {
        float before = 0.0f;
        for (std::size_t k = j - std::min<std::size_t>(j, static_cast<std::size_t>(holdStretches)); k < j;
             ++k) {
            before = std::max(before, stretches[k]);
        }
        const auto from = std::upper_bound(bounds.begin(), bounds.end(), before) - bounds.begin();
        const auto to = std::upper_bound(bounds.begin(), bounds.end(), stretches[j]) - bounds.begin();
        if (from < to) {
            ++starts[static_cast<std::size_t>(from)];
            --starts[static_cast<std::size_t>(to)];
        }
    }
    std::vector<int> counts;
    int running = 0;
    for (std::size_t k = 0; k < bounds.size(); ++k) {
        running += starts[k];
        counts.push_back(running);
    }
    return counts;
}

struct Range {
    double lowestDb;
    double highestDb;
    int notes; // at its lowest bound

    double width() const { return highestDb - lowestDb + kBoundStepDb; }
    double middle() const { return (lowestDb + highestDb) / 2.0; }
};

// The level the band stays above three quarters of the time: its quiet between hits. A bound below it
// tells nothing apart, however steady the count.
double quietLevelDb(std::vector<float> stretches) {
    const auto quarter = static_cast<std::ptrdiff_t>(stretches.size() / 4);
    std::nth_element(stretches.begin(), stretches.begin() + quarter, stretches.end());
    return decibelsOf(stretches[static_cast<std::size_t>(quarter)]);
}

} // namespace

std::optional<ChosenWindow> chooseWindow(const LevelTrace& trace, std::int64_t holdFrames, HitGroup group) {
    const std::vector<float>& stretches = trace.stretches();
    if (stretches.empty()) {
        return std::nullopt;
    }
    const std::int64_t holdStretches =
        std::max<std::int64_t>(1, (holdFrames + LevelTrace::kStretchFrames - 1) / LevelTrace::kStretchFrames);
    const auto bounds = static_cast<int>(std::lround(-kLowestBoundDb / kBoundStepDb));
    std::vector<float> levels;
    for (int k = 0; k < bounds; ++k) {
        levels.push_back(levelOf(kLowestBoundDb + k * kBoundStepDb));
    }
    const std::vector<int> counts = notesAtEach(stretches, levels, holdStretches);
    const double quiet = quietLevelDb(stretches);
    std::vector<Range> ranges;
    for (int first = 0, last = 0; first < bounds; first = last + 1) {
        const int notes = counts[static_cast<std::size_t>(first)];
        const double tolerance = std::max(1.0, kCountTolerance * notes);
        for (last = first;
             last + 1 < bounds && std::abs(counts[static_cast<std::size_t>(last) + 1] - notes) <= tolerance;
             ++last) {
        }
        const Range range{kLowestBoundDb + first * kBoundStepDb, kLowestBoundDb + last * kBoundStepDb, notes};
        if (notes >= kFewestNotes && range.middle() >= quiet) {
            ranges.push_back(range);
        }
    }
    if (ranges.empty()) {
        return std::nullopt;
    }
    // Ties go to the louder range.
    const auto wider = [](const Range& a, const Range& b) {
        return a.width() < b.width() || (a.width() == b.width() && a.lowestDb < b.lowestDb);
    };
    Range chosen = *std::max_element(ranges.begin(), ranges.end(), wider);
    if (chosen.width() >= kClearRangeDb) {
        for (const Range& range : ranges) {
            if (range.width() < kClearRangeDb) {
                continue;
            }
            const bool better =
                group == HitGroup::Loudest ? range.highestDb > chosen.highestDb : range.notes > chosen.notes;
            if (better) {
                chosen = range;
            }
        }
    }
    const float bound = levelOf(chosen.middle());
    return ChosenWindow{bound, notesAtEach(stretches, {bound}, holdStretches).front(), chosen.lowestDb,
                        chosen.highestDb};
}

} // namespace zcli
