// --auto: each band's amplitude window chosen from the file itself. A band's level peaks once for each hit
// and once for each bit of bleed or noise that reaches it; the hits are the loudest group of peaks, set apart
// from the rest by the first wide step down in the peaks' levels. The window's lower bound goes in the middle
// of that step, or higher where the level between hits stays above it: a note ends only when the level falls
// out of the window, so hits that follow each other fast need a bound their level drops below in between.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zcli {

// Peaks closer than this are one: a hit's level wobbles for a while after its first peak.
inline constexpr double kPeakSpacingSeconds = 0.020;
// A step down at least this wide parts the hits from the rest.
inline constexpr double kClearStepDb = 6.0;
// Peaks quieter than this are too faint to matter; the quietest group is measured against it.
inline constexpr double kPeakFloorDb = -70.0;

struct LevelPeak {
    float level = 0.0f;
    float valleyBefore = 0.0f; // the lowest level since the peak before, or since the start

    bool operator==(const LevelPeak&) const = default;
};

// Collects a band's peaks from its levels, block by block. Keeps the highest level of every 32 frames, a
// small fraction of the input, and picks the peaks at the end.
class LevelPeaks {
public:
    explicit LevelPeaks(double sampleRate);

    void add(const float* levels, std::size_t frames);
    // Every peak: a level higher than every other within kPeakSpacingSeconds either side.
    std::vector<LevelPeak> finish() const;

private:
    std::size_t spacing_; // in stretches
    std::vector<float> stretches_;
    std::size_t filled_ = 0; // frames in the last stretch
};

struct ChosenWindow {
    float lowerBound = 0.0f;       // the level, 0..1
    int hits = 0;                  // peaks above it
    double quietestHitDb = 0.0;    // the quietest of those
    double loudestRestDb = 0.0;    // the loudest peak below, or the floor
    bool raisedForValleys = false; // above the middle of the step, so that fast hits end their notes
};

// The window for these peaks; nothing when fewer than three rise above the floor.
std::optional<ChosenWindow> chooseWindow(const std::vector<LevelPeak>& peaks);

} // namespace zcli
