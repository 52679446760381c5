// The picture of one conversion: a lane per band (or one for the single instance), each with the band's level
// as the plug-in tested it on a dBFS scale, its amplitude window's two bounds on that scale, the input
// faintly behind, every note as a bar whose height and colour show its velocity, and the true hits as ticks;
// a time axis in seconds below the lanes and a legend above them.
#pragma once

#include "tools/zephyrion/midi_event.h"
#include "tools/zephyrion/plot_summary.h"
#include "ui/PixelMap.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zcli {

struct AmplitudeWindow {
    float lower = 0.0f; // 1 - Amp.Hi
    float upper = 1.0f; // 1 - Amp.Lo
};

struct PlotLane {
    std::string name;                               // the band's; empty for the one instance without bands
    const LevelSummary* level = nullptr;            // null for a plug-in that reports no level
    std::optional<AmplitudeWindow> window;          // absent for a plug-in without Zephyrion's parameters
    const std::vector<MidiEvent>* events = nullptr; // positions in frames of the input
    const std::vector<double>* hits = nullptr;      // the true hits meant for the band, in seconds
};

struct PlotData {
    const WaveformSummary* waveform = nullptr; // the input as the plug-in sums it, all stems together
    double sampleRate = 44100.0;
    std::int64_t endPosition = 0; // the time axis runs from 0 to here
    std::vector<PlotLane> lanes;  // top to bottom; without any, one empty lane
};

inline constexpr int kPlotWidth = 1200;
// The time axis: position 0 at the left column, the end at the right one.
inline constexpr int kPlotLeft = 64;
inline constexpr int kPlotRight = kPlotWidth - 17;
inline constexpr int kPlotColumns = kPlotRight - kPlotLeft + 1;
// The level scale runs from this up to 0 dBFS; quieter levels sit on its floor.
inline constexpr double kPlotFloorDb = -60.0;

// Rows of one lane's parts, both ends included.
struct LaneRows {
    int top;                   // the band's name
    int levelTop, levelBottom; // 0 dBFS at levelTop, kPlotFloorDb at levelBottom
    int hitTop, hitBottom;     // the true hits' ticks
    int noteTop, noteBottom;   // note bars stand on noteBottom
};

// Lanes shrink as there are more of them, down to a height that still reads; the picture grows past that.
LaneRows laneRows(std::size_t lanes, std::size_t lane);
int plotHeight(std::size_t lanes);

ui::PixelMap renderPlot(const PlotData& data);

} // namespace zcli
