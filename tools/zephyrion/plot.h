// The picture of one conversion: the signal the plug-in analysed against time, the amplitude window's two
// bounds, every note as a bar whose height and colour show its velocity, and a time axis in seconds.
#pragma once

#include "tools/zephyrion/midi_event.h"
#include "ui/PixelMap.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zcli {

// Smallest and largest sample of each of a fixed number of equal stretches of the input, filled block by
// block while the input streams through, so a long file never has to be held whole.
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

struct AmplitudeWindow {
    float lower = 0.0f; // 1 - Amp.Hi
    float upper = 1.0f; // 1 - Amp.Lo
};

struct PlotData {
    const WaveformSummary* waveform = nullptr;
    double sampleRate = 44100.0;
    std::int64_t endPosition = 0;          // the time axis runs from 0 to here
    std::optional<AmplitudeWindow> window; // absent for a plug-in without Zephyrion's parameters
    const std::vector<MidiEvent>* events = nullptr;
};

inline constexpr int kPlotWidth = 1200;
inline constexpr int kPlotHeight = 480;

ui::PixelMap renderPlot(const PlotData& data);

} // namespace zcli
