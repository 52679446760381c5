// What the user asked for, read from the command line. Every mistake is a UsageError naming the option.
#pragma once

#include "tools/zephyrion/kit_presets.h"

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace zcli {

// One parameter to set, by the name the plug-in reports, with the normalised value a host would send.
struct ParameterRequest {
    std::string option; // as the user wrote it, for messages
    std::string name;
    float value = 0.0f;
    std::string readable =
        {}; // a value with its unit, such as "120Hz": value is set from it once the rate is known
};

struct PluginSettings {
    std::string pluginPath; // empty: the plug-in beside the tool
    int program = 0;
    std::vector<ParameterRequest> parameters; // applied in this order, after the program
};

// One band of a conversion with several: an instance of its own, set up after the shared options.
struct BandRequest {
    std::string name;                         // the track's name and the events' "band"
    std::size_t input = 0;                    // which of ConvertRequest::inputs it listens to
    std::vector<ParameterRequest> parameters; // the preset's, then the band's own, after plugin.parameters
    bool keepBleed = false;                   // bleed=keep: out of bleed suppression
    // The preset's edge --auto may move (kit_presets.h); none once the band sets it or Freq.Mode itself.
    std::optional<EdgeChoices> autoEdge;
};

struct ConvertRequest {
    std::vector<std::string> inputs; // several: stems, each with the bands given after it
    std::string midiOut;             // empty: the first input's name with .mid
    std::string eventsOut;
    std::string audioOut;
    std::string plotOut;
    std::string reference; // true hits to score the notes against
    std::string reportOut; // the score as JSON
    int blockSize = 512;
    int ppq = 960;
    double bpm = 120.0;
    bool quiet = false;
    bool rawTiming = false;         // notes where the plug-in's level crossed, not on the hits' starts
    bool merge = false;             // the bands' notes on one track, format 0
    bool keepBleed = false;         // every band keeps the hits it shares with others
    bool autoWindow = false;        // each band's window chosen from the input's level peaks
    PluginSettings plugin;          // with bands: the program and options every band starts from
    std::vector<BandRequest> bands; // empty: one instance set up by plugin alone
};

struct InfoRequest {
    std::string pluginPath;
    double sampleRate = 44100.0; // of the settings' readable forms
    bool presets = false;        // the kit presets instead of a plug-in
};

struct DemoRequest {
    std::string folder = "zephyrion-demo";
    std::string pluginPath;
    bool quiet = false;
};

struct SnapshotRequest {
    std::string output;
    std::vector<ParameterRequest> parameters; // by the plug-in's names, applied in this order
    bool noteActive = false;
};

// --help or --version: the text to print on standard output, then exit with success.
struct TextRequest {
    std::string text;
};

using Request = std::variant<TextRequest, ConvertRequest, InfoRequest, DemoRequest, SnapshotRequest>;

Request parseCommandLine(const std::vector<std::string>& arguments);

// A --band as convert reads it, for commands that show the kit presets.
BandRequest parseBand(const std::string& spec);

// The MIDI file written when -o is not given: the input's path with its extension replaced by .mid.
std::string defaultMidiPath(const std::string& input);

} // namespace zcli
