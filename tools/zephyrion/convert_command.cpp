#include "tools/zephyrion/commands.h"

#include "tools/common/atomic_output.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/bleed.h"
#include "tools/zephyrion/event_json.h"
#include "tools/zephyrion/plugin_host.h"
#include "tools/zephyrion/smf_writer.h"
#include "ui/png/PngWriter.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace zcli {
namespace {

// Every output is opened before the work starts, so a folder that cannot be written fails at once, and
// committed only when all of them are complete.
struct Outputs {
    std::unique_ptr<AtomicOutput> midi;
    std::unique_ptr<AtomicOutput> events;
    std::unique_ptr<AtomicOutput> audio;
    std::unique_ptr<AtomicOutput> plot;

    explicit Outputs(const ConvertRequest& request) {
        midi = std::make_unique<AtomicOutput>(request.midiOut);
        events = openIfAsked(request.eventsOut);
        audio = openIfAsked(request.audioOut);
        plot = openIfAsked(request.plotOut);
    }

    static std::unique_ptr<AtomicOutput> openIfAsked(const std::string& path) {
        return path.empty() ? nullptr : std::make_unique<AtomicOutput>(path);
    }

    void commit() {
        for (AtomicOutput* output : {midi.get(), events.get(), audio.get(), plot.get()}) {
            if (output != nullptr) {
                output->commit();
            }
        }
    }
};

void writeAll(AtomicOutput& output, const std::string& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), output.stream()) != bytes.size()) {
        throw RunError(output.path() + ": cannot be written");
    }
}

// The instances to run: one per band, each starting from the shared options, or the one they describe.
struct Band {
    std::string name; // empty without --band
    PluginSettings settings;
    bool keepBleed = false;
};

std::vector<Band> bandsOf(const ConvertRequest& request) {
    if (request.bands.empty()) {
        return {{"", request.plugin, false}};
    }
    std::vector<Band> bands;
    for (const BandRequest& band : request.bands) {
        Band& added = bands.emplace_back(Band{band.name, request.plugin, band.keepBleed});
        added.settings.parameters.insert(added.settings.parameters.end(), band.parameters.begin(),
                                         band.parameters.end());
    }
    return bands;
}

// Every band's events in order of position, each line naming its band when there are bands.
void writeEvents(AtomicOutput& output, const std::vector<Band>& bands, const std::vector<Conversion>& results,
                 double sampleRate) {
    std::vector<std::pair<const MidiEvent*, const std::string*>> events;
    for (std::size_t band = 0; band < bands.size(); ++band) {
        for (const MidiEvent& event : results[band].events) {
            events.emplace_back(&event, &bands[band].name);
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const auto& a, const auto& b) { return a.first->position < b.first->position; });
    std::string text;
    for (const auto& [event, band] : events) {
        text += eventJson(*event, sampleRate, *band);
        text += '\n';
    }
    writeAll(output, text);
}

std::string encodeMidi(const ConvertRequest& request, const std::vector<Band>& bands,
                       const std::vector<Conversion>& results, const Conversion& merged, double sampleRate) {
    const SmfTiming timing{request.ppq, request.bpm, sampleRate};
    if (request.bands.empty() || request.merge) {
        return encodeSmf(merged.events, timing);
    }
    std::vector<SmfTrack> tracks;
    for (std::size_t band = 0; band < bands.size(); ++band) {
        tracks.push_back({bands[band].name, &results[band].events});
    }
    return encodeSmfTracks(tracks, timing);
}

std::string counted(int count, const std::string& thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

// One line per band; a band's name follows the input's in brackets.
void printSummary(const ConvertRequest& request, const std::string& band, const Conversion& conversion,
                  double sampleRate) {
    const std::string suffix = band.empty() ? std::string() : std::string(" [").append(band).append("]");
    const std::string source = std::string(request.input).append(suffix);
    const std::string target = std::string(request.midiOut).append(suffix);
    int notes = 0;
    int controls = 0;
    for (const MidiEvent& event : conversion.events) {
        notes += event.startsNote() ? 1 : 0;
        controls += event.kind() == kControlChange ? 1 : 0;
    }
    const std::string bled =
        conversion.notesToOtherBands
            ? "; " + counted(*conversion.notesToOtherBands, "note") + " went to other bands"
            : std::string();
    std::fprintf(stderr, "%s: %s, %s in %.1f s -> %s%s\n", source.c_str(), counted(notes, "note").c_str(),
                 counted(controls, "control change").c_str(),
                 static_cast<double>(conversion.inputFrames) / sampleRate, request.midiOut.c_str(),
                 bled.c_str());
    if (conversion.notesClosed > 0) {
        std::fprintf(stderr, "%s: %s still sounding %.0f s after the input, closed there\n", target.c_str(),
                     counted(conversion.notesClosed, "note").c_str(), kMaxTailSeconds);
    }
}

// With two or more bands each hit goes to the band it excites most, unless the user keeps the bleed.
bool suppressesBleed(const ConvertRequest& request) {
    return request.bands.size() >= 2 && !request.keepBleed;
}

// Needs every band's note levels, which only a plug-in with the level buffer gives: without, one warning.
void suppressBleedOf(const ConvertRequest& request, const std::vector<Band>& bands,
                     const std::vector<std::optional<AmplitudeWindow>>& windows,
                     std::vector<Conversion>& results, double sampleRate) {
    std::vector<BleedBand> bleed;
    for (std::size_t band = 0; band < bands.size(); ++band) {
        if (!results[band].noteLevels || !windows[band]) {
            if (!request.quiet) {
                const std::string& path = request.plugin.pluginPath;
                std::fprintf(stderr, "%s: gives no levels of its bands; no bleed suppression between them\n",
                             path.empty() ? "the plug-in" : path.c_str());
            }
            return;
        }
        bleed.push_back({&results[band], windows[band]->lower, !bands[band].keepBleed});
    }
    suppressBleed(bleed, sampleRate);
}

} // namespace

Conversion runConvert(const ConvertRequest& request) {
    AudioReader input(request.input);
    if (input.channels() > 2 && !request.quiet) {
        std::fprintf(stderr, "%s: %d channels; the first two are used\n", request.input.c_str(),
                     input.channels());
    }
    const auto rate = static_cast<float>(input.sampleRate());
    const std::vector<Band> bands = bandsOf(request);
    std::vector<std::unique_ptr<vsthost::Plugin>> plugins;
    std::vector<vsthost::Plugin*> instances;
    std::vector<std::optional<AmplitudeWindow>> windows;
    for (const Band& band : bands) {
        plugins.push_back(loadPlugin(request.plugin.pluginPath, rate, request.blockSize));
        configurePlugin(*plugins.back(), band.settings);
        placeNotesOnHits(*plugins.back(), band.settings, request.rawTiming);
        instances.push_back(plugins.back().get());
        windows.push_back(amplitudeWindowOf(*plugins.back()));
    }
    Outputs outputs(request);

    std::optional<AudioWriter> audio;
    if (outputs.audio) {
        audio.emplace(*outputs.audio, input.sampleRate());
    }
    std::optional<WaveformSummary> waveform;
    if (outputs.plot) {
        waveform.emplace(input.frames(), kPlotWidth);
    }
    ProgressBar progress(!request.quiet && ::isatty(STDERR_FILENO) != 0, input.frames(), input.sampleRate());
    ConversionSinks sinks;
    sinks.audio = audio ? &*audio : nullptr;
    sinks.waveform = waveform ? &*waveform : nullptr;
    sinks.waveformGain = inputGainOf(*plugins.front());
    sinks.progress = &progress;
    sinks.noteLevels = suppressesBleed(request);
    // Several bands have several windows; the plot shows one only when there is one.
    const std::optional<AmplitudeWindow> window = plugins.size() == 1 ? windows.front() : std::nullopt;

    std::vector<Conversion> results = convertAudio(instances, input, request.blockSize, sinks);
    for (const auto& plugin : plugins) {
        plugin->close();
    }
    if (suppressesBleed(request)) {
        suppressBleedOf(request, bands, windows, results, input.sampleRate());
    }
    const Conversion merged = mergeConversions(results);

    writeAll(*outputs.midi, encodeMidi(request, bands, results, merged, input.sampleRate()));
    if (outputs.events) {
        writeEvents(*outputs.events, bands, results, input.sampleRate());
    }
    if (audio) {
        audio->finish();
    }
    if (outputs.plot) {
        PlotData plot;
        plot.waveform = &*waveform;
        plot.sampleRate = input.sampleRate();
        plot.endPosition = merged.endPosition;
        plot.window = window;
        plot.events = &merged.events;
        if (!ui::png::write(outputs.plot->stream(), renderPlot(plot))) {
            throw RunError(outputs.plot->path() + ": cannot be written");
        }
    }
    outputs.commit();
    if (!request.quiet) {
        for (std::size_t band = 0; band < bands.size(); ++band) {
            printSummary(request, bands[band].name, results[band], input.sampleRate());
        }
    }
    return merged;
}

} // namespace zcli
