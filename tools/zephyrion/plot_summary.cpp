#include "tools/zephyrion/plot_summary.h"

#include <algorithm>

namespace zcli {

WaveformSummary::WaveformSummary(std::int64_t frames, int columns)
    : frames_(frames), minimum_(static_cast<std::size_t>(columns), 0.0f),
      maximum_(static_cast<std::size_t>(columns), 0.0f) {}

void WaveformSummary::add(const float* left, const float* right, std::size_t frames, float gain) {
    const std::int64_t columns = static_cast<std::int64_t>(minimum_.size());
    for (std::size_t i = 0; i < frames && position_ < frames_; ++i, ++position_) {
        const std::size_t column = static_cast<std::size_t>(position_ * columns / frames_);
        const float level = (left[i] + right[i]) * gain;
        minimum_[column] = std::min(minimum_[column], level);
        maximum_[column] = std::max(maximum_[column], level);
    }
}

LevelSummary::LevelSummary(std::int64_t frames, int columns)
    : frames_(frames), highest_(static_cast<std::size_t>(columns), 0.0f) {}

void LevelSummary::add(const float* levels, std::size_t frames) {
    const std::int64_t columns = static_cast<std::int64_t>(highest_.size());
    for (std::size_t i = 0; i < frames && position_ < frames_; ++i, ++position_) {
        const std::size_t column = static_cast<std::size_t>(position_ * columns / frames_);
        highest_[column] = std::max(highest_[column], levels[i]);
    }
}

} // namespace zcli
