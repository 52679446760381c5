#include "tools/zephyrion/auto_window.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace zcli {
namespace {

constexpr std::size_t kStretch = 32;
// The loudest group needs a few members, and some share of all peaks, so one stray loud peak is no group.
constexpr std::size_t kFewestHits = 3;
constexpr std::size_t kHitShareDivisor = 50;
constexpr double kValleyMarginDb = 1.0;

double decibels(float level) {
    return 20.0 * std::log10(static_cast<double>(level));
}

} // namespace

LevelPeaks::LevelPeaks(double sampleRate)
    : spacing_(std::max<std::size_t>(
          1, static_cast<std::size_t>(std::lround(kPeakSpacingSeconds * sampleRate / double(kStretch))))) {}

void LevelPeaks::add(const float* levels, std::size_t frames) {
    for (std::size_t i = 0; i < frames; ++i) {
        if (filled_ == 0) {
            stretches_.push_back(0.0f);
        }
        stretches_.back() = std::max(stretches_.back(), levels[i]);
        filled_ = (filled_ + 1) % kStretch;
    }
}

std::vector<LevelPeak> LevelPeaks::finish() const {
    const float floor = static_cast<float>(std::pow(10.0, kPeakFloorDb / 20.0));
    std::vector<LevelPeak> peaks;
    const std::size_t count = stretches_.size();
    float valley = count == 0 ? 0.0f : stretches_[0];
    for (std::size_t j = 0; j < count; ++j) {
        const float level = stretches_[j];
        valley = std::min(valley, level);
        if (level < floor) {
            continue;
        }
        // Nearest neighbours first: on a falling level the first comparison already fails.
        bool highest = true;
        for (std::size_t k = 1; k <= spacing_ && highest; ++k) {
            highest = (j < k || stretches_[j - k] < level) && (j + k >= count || stretches_[j + k] <= level);
        }
        if (highest) {
            peaks.push_back({level, valley});
            valley = level;
        }
    }
    return peaks;
}

std::optional<ChosenWindow> chooseWindow(const std::vector<LevelPeak>& peaks) {
    std::vector<double> levels;
    for (const LevelPeak& peak : peaks) {
        if (peak.level > 0.0f && decibels(peak.level) >= kPeakFloorDb) {
            levels.push_back(decibels(peak.level));
        }
    }
    const std::size_t fewest = std::max(kFewestHits, levels.size() / kHitShareDivisor);
    if (levels.size() < kFewestHits) {
        return std::nullopt;
    }
    std::sort(levels.begin(), levels.end(), std::greater<>());
    // The floor closes the list, so a file of hits over silence still has a step below its quietest hit.
    levels.push_back(kPeakFloorDb);
    std::size_t widest = fewest;
    for (std::size_t k = fewest; k < levels.size(); ++k) {
        const double step = levels[k - 1] - levels[k];
        if (step >= kClearStepDb) {
            widest = k;
            break;
        }
        if (step > levels[widest - 1] - levels[widest]) {
            widest = k;
        }
    }
    ChosenWindow window;
    window.hits = static_cast<int>(widest);
    window.quietestHitDb = levels[widest - 1];
    window.loudestRestDb = levels[widest];
    window.lowerBound =
        static_cast<float>(std::pow(10.0, (window.quietestHitDb + window.loudestRestDb) / 2.0 / 20.0));
    // Hits that come fast keep the level high between them, so the bound must lie above it for each to start
    // a note. A hit's own second peak (a boom after the beater) has a high valley too, and a bound above that
    // would cut the hit in two: only when three quarters of the valleys are high is the bound raised, to the
    // lowest of those, a little above it, as long as the quietest hit still rises above it.
    std::vector<double> valleys;
    for (const LevelPeak& peak : peaks) {
        if (peak.level > 0.0f && decibels(peak.level) >= window.quietestHitDb && peak.valleyBefore > 0.0f) {
            valleys.push_back(decibels(peak.valleyBefore) + kValleyMarginDb);
        }
    }
    if (!valleys.empty()) {
        const std::size_t quarter = valleys.size() / 4;
        std::nth_element(valleys.begin(), valleys.begin() + static_cast<std::ptrdiff_t>(quarter),
                         valleys.end());
        const double valley = valleys[quarter];
        if (valley > decibels(window.lowerBound) && valley < window.quietestHitDb) {
            window.lowerBound = static_cast<float>(std::pow(10.0, valley / 20.0));
            window.raisedForValleys = true;
        }
    }
    return window;
}

} // namespace zcli
