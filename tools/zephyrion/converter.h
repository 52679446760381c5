// Runs audio files through plug-in instances, one per band, block by block and collects the MIDI each
// sends, every event at the sample on which it arose.
#pragma once

#include "host/Plugin.h"
#include "tools/zephyrion/audio_reader.h"
#include "tools/zephyrion/audio_writer.h"
#include "tools/zephyrion/hit_placer.h"
#include "tools/zephyrion/level_trace.h"
#include "tools/zephyrion/midi_event.h"
#include "tools/zephyrion/plot_summary.h"
#include "tools/zephyrion/progress_bar.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zcli {

// After the input, silence is fed until no note sounds and nothing has arrived for a while, but no longer.
inline constexpr double kMaxTailSeconds = 60.0;
inline constexpr double kQuietSeconds = 0.25;

struct ConversionSinks {
    AudioWriter* audio = nullptr;        // the plug-in's output over the input's length
    WaveformSummary* waveform = nullptr; // the input as the plug-in sums it
    float waveformGain = 0.5f;
    ProgressBar* progress = nullptr;
    bool traces = false;  // each instance is asked for its levels, for Conversion::trace
    int levelColumns = 0; // above 0, the same, for Conversion::levels in this many columns
};

struct Conversion {
    std::vector<MidiEvent> events; // in order of position; every note closed
    std::int64_t inputFrames = 0;
    std::int64_t endPosition = 0; // input plus the tail that was fed
    int notesClosed = 0;          // notes still sounding at the end of the tail, closed by the tool
    // Asked for and given by the plug-in: its level over the whole input (level_trace.h).
    std::optional<LevelTrace> trace;
    // Asked for and given by the plug-in: its highest level in each stretch of the input, for the plot.
    std::optional<LevelSummary> levels;
    std::optional<int> notesToOtherBands; // with bleed suppression (bleed.h)
};

// One input file and the instances, one per band, that listen to it; for each instance, how the tool places
// its note-ons (hit_placer.h). As sent where not given.
struct Stem {
    AudioReader* input = nullptr;
    std::vector<vsthost::Plugin*> plugins;
    std::vector<Placement> placements;
};

// Every stem's instances, each given its input's blocks; the inputs are read once, in step, and one that ends
// sooner goes on as silence. One Conversion per instance, stem after stem. The audio sink takes the first
// instance's output, the waveform the inputs' sum. The inputs must share one sample rate; the plug-ins must
// be loaded and configured but not resumed: they are resumed here and suspended at the end. Throws RunError
// if an input cannot be read or the host could not keep every event.
std::vector<Conversion> convertAudio(const std::vector<Stem>& stems, int blockSize, ConversionSinks sinks);

// Every band's events in one list, in order of position; the end is the latest band's.
Conversion mergeConversions(const std::vector<Conversion>& bands);

} // namespace zcli
