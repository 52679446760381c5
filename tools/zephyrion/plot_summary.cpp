#include "tools/zephyrion/plot_summary.h"

#include <algorithm>

namespace zcli {

namespace {

// The frames from `position` on that fall in the same stretch, as many as `available`: two divisions a
// stretch rather than one a frame.
std::size_t sameStretch(std::int64_t position, std::int64_t frames, std::int64_t columns,
                        std::size_t available, std::size_t& column) {
    column = static_cast<std::size_t>(position * columns / frames);
    const std::int64_t next = (static_cast<std::int64_t>(column + 1) * frames + columns - 1) / columns;
    return static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(available), next - position));
}

} // namespace

WaveformSummary::WaveformSummary(std::int64_t frames, int columns)
    : frames_(frames), minimum_(static_cast<std::size_t>(columns), 0.0f),
      maximum_(static_cast<std::size_t>(columns), 0.0f) {}

void WaveformSummary::add(const float* left, const float* right, std::size_t frames, float gain) {
    const auto columns = static_cast<std::int64_t>(minimum_.size());
    std::size_t done = 0;
    while (done < frames && position_ < frames_) {
        std::size_t column = 0;
        const std::size_t count = sameStretch(position_, frames_, columns, frames - done, column);
        float lowest = minimum_[column];
        float highest = maximum_[column];
        for (std::size_t i = done; i < done + count; ++i) {
            const float level = (left[i] + right[i]) * gain;
            lowest = std::min(lowest, level);
            highest = std::max(highest, level);
        }
        minimum_[column] = lowest;
        maximum_[column] = highest;
        done += count;
        position_ += static_cast<std::int64_t>(count);
    }
}

LevelSummary::LevelSummary(std::int64_t frames, int columns)
    : frames_(frames), highest_(static_cast<std::size_t>(columns), 0.0f) {}

void LevelSummary::add(const float* levels, std::size_t frames) {
    const auto columns = static_cast<std::int64_t>(highest_.size());
    std::size_t done = 0;
    while (done < frames && position_ < frames_) {
        std::size_t column = 0;
        const std::size_t count = sameStretch(position_, frames_, columns, frames - done, column);
        highest_[column] =
            std::max(highest_[column], *std::max_element(levels + done, levels + done + count));
        done += count;
        position_ += static_cast<std::int64_t>(count);
    }
}

} // namespace zcli
