#include "tools/zephyrion/commands.h"

#include "plugin/parameters.h"
#include "tools/common/atomic_output.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/audio_writer.h"
#include "tools/zephyrion/command_line.h"
#include "tools/zephyrion/drum_groove.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <variant>

namespace zcli {
namespace {

constexpr double kDemoSampleRate = 44100.0;
constexpr const char* kTruthFile = "groove-truth.csv";

// The low window: no highpass (Freq.Lo 0 on the exponential curve), a lowpass low enough that only the
// kick's body gets through to the amplitude window.
constexpr float kKickWindowHigh = 0.3f;

struct DemoRun {
    const char* name;
    const char* description;
    bool kicksAlone;
    bool kit; // a band per drum, scored against the groove's own hits
};

constexpr DemoRun kRuns[] = {
    {"every-hit", "default program", false, false},
    {"kicks", "Freq.Hi 0.30, exponential", true, false},
    {"kit", "kick, snare, hihat presets", false, true},
};

// The General MIDI note of each drum, as the kit presets send them.
int noteOf(Drum drum) {
    switch (drum) {
    case Drum::Kick: return 36;
    case Drum::Snare: return 38;
    case Drum::HiHat: return 42;
    }
    return 0;
}

std::string inFolder(const std::string& folder, const std::string& file) {
    return (std::filesystem::path(folder) / file).string();
}

void writeGroove(const DrumGroove& groove, const std::string& path) {
    AtomicOutput output(path);
    AudioWriter writer(output, groove.sampleRate);
    writer.write(groove.samples.data(), groove.samples.data(), groove.samples.size());
    writer.finish();
    output.commit();
}

void writeTruth(const DrumGroove& groove, const std::string& path) {
    std::string text = "sample,note\n";
    for (const DrumHit& hit : groove.hits) {
        text += std::to_string(hit.position) + "," + std::to_string(noteOf(hit.drum)) + "\n";
    }
    AtomicOutput output(path);
    if (std::fwrite(text.data(), 1, text.size(), output.stream()) != text.size()) {
        throw RunError(path + ": cannot be written");
    }
    output.commit();
}

// The run as the demo shows it, or with the plug-in's own timing (only its MIDI file, for comparison).
ConvertRequest requestFor(const DemoRequest& demo, const DemoRun& run, const std::string& groovePath,
                          bool rawTiming) {
    ConvertRequest request =
        run.kit ? std::get<ConvertRequest>(parseCommandLine({"zephyrion", "convert", groovePath, "--band",
                                                             "kick", "--band", "snare", "--band", "hihat"}))
                : ConvertRequest();
    request.inputs = {groovePath};
    request.rawTiming = rawTiming;
    if (rawTiming) {
        request.midiOut = inFolder(demo.folder, std::string(run.name) + "-raw-timing.mid");
    } else {
        request.midiOut = inFolder(demo.folder, std::string(run.name) + ".mid");
        request.eventsOut = inFolder(demo.folder, std::string(run.name) + ".jsonl");
        request.plotOut = inFolder(demo.folder, std::string(run.name) + ".png");
        if (run.kit) {
            request.reference = inFolder(demo.folder, kTruthFile);
        }
    }
    request.quiet = true; // the demo prints its own table
    request.plugin.pluginPath = demo.pluginPath;
    if (run.kicksAlone) {
        const auto name = [](zephyrion::ParameterIndex index) {
            return std::string(zephyrion::kParameters[static_cast<std::size_t>(index)].name);
        };
        request.plugin.parameters = {
            {"--freq-mode exponential", name(zephyrion::kFreqMode), 0.1f},
            {"--set Freq.Lo=0", name(zephyrion::kFreqLo), 0.0f},
            {"--set Freq.Hi=0.3", name(zephyrion::kFreqHi), kKickWindowHigh},
        };
    }
    return request;
}

struct Score {
    int hits = 0;
    int notes = 0;
    std::int64_t largestError = -1; // -1 when nothing was found
};

// Every expected hit is matched with the nearest note-on; the error is the worst of those distances.
Score score(const DrumGroove& groove, const Conversion& conversion, bool kicksAlone) {
    Score result;
    std::vector<std::int64_t> noteOns;
    for (const MidiEvent& event : conversion.events) {
        if (event.startsNote()) {
            noteOns.push_back(event.position);
        }
    }
    result.notes = static_cast<int>(noteOns.size());
    for (const DrumHit& hit : groove.hits) {
        if (kicksAlone && hit.drum != Drum::Kick) {
            continue;
        }
        ++result.hits;
        std::int64_t nearest = std::numeric_limits<std::int64_t>::max();
        for (const std::int64_t on : noteOns) {
            nearest = std::min(nearest, on > hit.position ? on - hit.position : hit.position - on);
        }
        if (!noteOns.empty()) {
            result.largestError = std::max(result.largestError, nearest);
        }
    }
    return result;
}

} // namespace

void runDemo(const DemoRequest& request) {
    std::error_code error;
    std::filesystem::create_directories(request.folder, error);
    if (error) {
        throw RunError(request.folder + ": cannot be created (" + error.message() + ")");
    }
    const DrumGroove groove = synthesiseGroove(kDemoSampleRate);
    const std::string groovePath = inFolder(request.folder, "groove.wav");
    writeGroove(groove, groovePath);
    writeTruth(groove, inFolder(request.folder, kTruthFile));

    std::printf("Groove: %zu hits in %.1f s, written to %s\n\n", groove.hits.size(),
                static_cast<double>(groove.samples.size()) / groove.sampleRate, groovePath.c_str());
    std::printf("  %-10s %-27s %5s %6s  %s\n", "run", "window", "hits", "notes",
                "largest timing error: on the hits / --raw-timing");
    const auto samples = [](std::int64_t largest) {
        return largest < 0 ? std::string("-") : std::to_string(largest);
    };
    for (const DemoRun& run : kRuns) {
        const Score aligned =
            score(groove, runConvert(requestFor(request, run, groovePath, false)), run.kicksAlone);
        const Score raw =
            score(groove, runConvert(requestFor(request, run, groovePath, true)), run.kicksAlone);
        std::printf("  %-10s %-27s %5d %6d  %s / %s samples\n", run.name, run.description, aligned.hits,
                    aligned.notes, samples(aligned.largestError).c_str(), samples(raw.largestError).c_str());
    }
    std::printf(
        "\nMIDI files, event lists (.jsonl), plots (.png) and the groove's true hits (%s) are in %s\n",
        kTruthFile, request.folder.c_str());
}

} // namespace zcli
