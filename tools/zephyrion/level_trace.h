// A band's level over the whole input, as the plug-in tested it, kept as the highest level of every
// kStretchFrames frames: a small share of the input, and enough to count the notes any window would give
// (--auto) and to compare bands at any moment (bleed suppression).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zcli {

class LevelTrace {
public:
    static constexpr std::int64_t kStretchFrames = 32;

    // The levels of the next `frames` input frames, block after block.
    void add(const float* levels, std::size_t frames);
    const std::vector<float>& stretches() const { return stretches_; }
    // The highest level from input frame `from` on for `frames` frames, in whole stretches; 0 past the end.
    float highest(std::int64_t from, std::int64_t frames) const;

private:
    std::vector<float> stretches_;
    std::int64_t filled_ = 0; // frames in the last stretch
};

} // namespace zcli
