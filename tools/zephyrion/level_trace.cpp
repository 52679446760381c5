#include "tools/zephyrion/level_trace.h"

#include <algorithm>

namespace zcli {

void LevelTrace::add(const float* levels, std::size_t frames) {
    for (std::size_t i = 0; i < frames; ++i) {
        if (filled_ == 0) {
            stretches_.push_back(0.0f);
        }
        stretches_.back() = std::max(stretches_.back(), levels[i]);
        filled_ = (filled_ + 1) % kStretchFrames;
    }
}

float LevelTrace::highest(std::int64_t from, std::int64_t frames) const {
    const auto count = static_cast<std::int64_t>(stretches_.size());
    const std::int64_t first =
        std::clamp<std::int64_t>(std::max<std::int64_t>(0, from) / kStretchFrames, 0, count);
    const std::int64_t last = std::clamp<std::int64_t>(
        (std::max<std::int64_t>(0, from + frames - 1)) / kStretchFrames + 1, first, count);
    float level = 0.0f;
    for (std::int64_t j = first; j < last; ++j) {
        level = std::max(level, stretches_[static_cast<std::size_t>(j)]);
    }
    return level;
}

} // namespace zcli
