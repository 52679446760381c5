// What the plot is drawn from, gathered block by block while the input streams through, so a long file never
// has to be held whole: a fixed number of equal stretches of the input, one per column of the picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zcli {

// Smallest and largest sample of each stretch of the signal the plug-in analyses.
class WaveformSummary {
public:
    WaveformSummary(std::int64_t frames, int columns);

    // Adds the next frames of the mono signal (left + right) x gain, the level the plug-in tests.
    void add(const float* left, const float* right, std::size_t frames, float gain);

    int columns() const { return static_cast<int>(minimum_.size()); }
    std::int64_t frames() const { return frames_; }
    float minimum(int column) const { return minimum_[static_cast<std::size_t>(column)]; }
    float maximum(int column) const { return maximum_[static_cast<std::size_t>(column)]; }

private:
    std::int64_t frames_;
    std::int64_t position_ = 0;
    std::vector<float> minimum_;
    std::vector<float> maximum_;
};

// Highest level of each stretch of a band's envelope, as the plug-in reports it per frame; frames past the
// input (the tail fed after it) are left out.
class LevelSummary {
public:
    LevelSummary(std::int64_t frames, int columns);

    void add(const float* levels, std::size_t frames);

    int columns() const { return static_cast<int>(highest_.size()); }
    std::int64_t frames() const { return frames_; }
    float highest(int column) const { return highest_[static_cast<std::size_t>(column)]; }

private:
    std::int64_t frames_;
    std::int64_t position_ = 0;
    std::vector<float> highest_;
};

} // namespace zcli
