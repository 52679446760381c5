#include "tools/zephyrion/commands.h"

#include "tools/common/atomic_output.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/auto_window.h"
#include "tools/zephyrion/bleed.h"
#include "tools/zephyrion/decibels.h"
#include "tools/zephyrion/event_json.h"
#include "tools/zephyrion/plugin_host.h"
#include "tools/zephyrion/readable_settings.h"
#include "tools/zephyrion/reference_hits.h"
#include "tools/zephyrion/score_report.h"
#include "tools/zephyrion/smf_writer.h"
#include "ui/png/PngWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <tuple>
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
    std::unique_ptr<AtomicOutput> report;

    explicit Outputs(const ConvertRequest& request) {
        midi = std::make_unique<AtomicOutput>(request.midiOut);
        events = openIfAsked(request.eventsOut);
        audio = openIfAsked(request.audioOut);
        plot = openIfAsked(request.plotOut);
        report = openIfAsked(request.reportOut);
    }

    static std::unique_ptr<AtomicOutput> openIfAsked(const std::string& path) {
        return path.empty() ? nullptr : std::make_unique<AtomicOutput>(path);
    }

    void commit() {
        for (AtomicOutput* output : {midi.get(), events.get(), audio.get(), plot.get(), report.get()}) {
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
    std::size_t input = 0;
    PluginSettings settings;
    bool keepBleed = false;
    std::optional<EdgeChoices> autoEdge;
};

std::vector<Band> bandsOf(const ConvertRequest& request) {
    if (request.bands.empty()) {
        return {{"", 0, request.plugin, false, std::nullopt}};
    }
    std::vector<Band> bands;
    for (const BandRequest& band : request.bands) {
        Band& added =
            bands.emplace_back(Band{band.name, band.input, request.plugin, band.keepBleed, band.autoEdge});
        added.settings.parameters.insert(added.settings.parameters.end(), band.parameters.begin(),
                                         band.parameters.end());
    }
    return bands;
}

// A band's name after its input's or the MIDI file's in messages: " [kick]", or nothing without --band.
std::string suffixOf(const Band& band) {
    return band.name.empty() ? std::string() : std::string(" [").append(band.name).append("]");
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

// Lines for each band, the second its edges and window; a band's name follows its input's in brackets.
void printSummary(const ConvertRequest& request, const Band& band, const Conversion& conversion,
                  double sampleRate, const std::string& readable) {
    const std::string suffix = suffixOf(band);
    const std::string source = std::string(request.inputs[band.input]).append(suffix);
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
    if (!readable.empty()) {
        std::fprintf(stderr, "%s: %s\n", source.c_str(), readable.c_str());
    }
    if (conversion.notesClosed > 0) {
        std::fprintf(stderr, "%s: %s still sounding %.0f s after the input, closed there\n", target.c_str(),
                     counted(conversion.notesClosed, "note").c_str(), kMaxTailSeconds);
    }
}

std::string hertz(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%g Hz", rate);
    return text;
}

// Every input, checked before any output is opened: stems must share one sample rate.
std::vector<std::unique_ptr<AudioReader>> openInputs(const ConvertRequest& request) {
    std::vector<std::unique_ptr<AudioReader>> inputs;
    for (const std::string& path : request.inputs) {
        const AudioReader& input = *inputs.emplace_back(std::make_unique<AudioReader>(path));
        if (input.sampleRate() != inputs.front()->sampleRate()) {
            throw RunError(path + ": " + hertz(input.sampleRate()) + ", but " + request.inputs.front() +
                           " is at " + hertz(inputs.front()->sampleRate()) + "; stems need one sample rate");
        }
        if (input.channels() > 2 && !request.quiet) {
            std::fprintf(stderr, "%s: %d channels; the first two are used\n", path.c_str(), input.channels());
        }
    }
    return inputs;
}

// Two bands sending the same messages could not be told apart in the MIDI they make; what a band sends is
// known from the configured instance, so another plug-in's bands are told apart by name alone.
void checkBandsAreDistinct(const std::vector<Band>& bands, const std::vector<std::string>& voices) {
    for (std::size_t band = 1; band < bands.size(); ++band) {
        for (std::size_t other = 0; other < band; ++other) {
            if (!voices[band].empty() && voices[band] == voices[other]) {
                const bool controller = voices[band].rfind("controller", 0) == 0;
                throw UsageError("--band " + bands[band].name + ": bands '" + bands[other].name + "' and '" +
                                 bands[band].name + "' both send " + voices[band] +
                                 "; give each band its own " +
                                 (controller ? "controller" : "note or channel"));
            }
        }
    }
}

// One instance per band, loaded and configured at the inputs' rate, each on its input's stem.
struct Instances {
    std::vector<std::unique_ptr<vsthost::Plugin>> plugins;
    std::vector<Stem> stems;

    Instances(const ConvertRequest& request, const std::vector<Band>& bands,
              const std::vector<std::unique_ptr<AudioReader>>& inputs) {
        const double rate = inputs.front()->sampleRate();
        for (const auto& input : inputs) {
            stems.push_back({input.get(), {}, {}});
        }
        for (const Band& band : bands) {
            plugins.push_back(
                loadPlugin(request.plugin.pluginPath, static_cast<float>(rate), request.blockSize));
            configurePlugin(*plugins.back(), band.settings, rate);
            // Bands come in the order of their inputs, so the stems' results come in the bands' order.
            stems[band.input].plugins.push_back(plugins.back().get());
        }
    }

    void close() {
        for (const auto& plugin : plugins) {
            plugin->close();
        }
    }
};

// With two or more bands and unless asked not to, each hit shared by bands goes to the one it is louder in.
bool suppressesBleed(const ConvertRequest& request) {
    return request.bands.size() >= 2 && !request.keepBleed;
}

// Needs every band's levels, which only a plug-in with the level buffer gives: without, one warning.
void suppressBleedOf(const ConvertRequest& request, const std::vector<Band>& bands,
                     std::vector<Conversion>& results, double sampleRate) {
    std::vector<BleedBand> bleed;
    for (std::size_t band = 0; band < bands.size(); ++band) {
        if (!results[band].trace) {
            if (!request.quiet) {
                const std::string& path = request.plugin.pluginPath;
                std::fprintf(stderr, "%s: gives no levels of its bands; no bleed suppression between them\n",
                             path.empty() ? "the plug-in" : path.c_str());
            }
            return;
        }
        bleed.push_back({&results[band], !bands[band].keepBleed});
    }
    suppressBleed(bleed, sampleRate);
}

// A first pass over the inputs with the bands as given, which keeps each band's level; each band then gets
// the window it suggests, and the user the options that give it again.
// One setting --auto listens with: a band as it is, or with one value of the edge it may move.
struct AutoCandidate {
    std::size_t band;
    std::optional<float> edge;
};

std::vector<AutoCandidate> autoCandidatesOf(const std::vector<Band>& bands) {
    std::vector<AutoCandidate> candidates;
    for (std::size_t band = 0; band < bands.size(); ++band) {
        if (!bands[band].autoEdge) {
            candidates.push_back({band, std::nullopt});
            continue;
        }
        for (const float value : bands[band].autoEdge->values) {
            candidates.push_back({band, value});
        }
    }
    return candidates;
}

// The range of bounds that give a window's count, and whether its group of hits is clear.
double rangeWidthDb(const ChosenWindow& window) {
    return window.highestDb - window.lowestDb + kBoundStepDb;
}
bool isClear(const ChosenWindow& window) {
    return rangeWidthDb(window) >= kClearRangeDb;
}

// Of a band's candidates, the one whose loudest clear group has the fewest notes: a kick's band narrowed
// still hears every kick, and less of the other drums. Among as many notes, or where none is clear, the
// widest range of bounds; the first on a tie.
std::optional<std::size_t> chosenCandidateOf(const std::vector<std::optional<ChosenWindow>>& windows,
                                             const std::vector<AutoCandidate>& candidates, std::size_t band) {
    // Bounds come in whole steps, so widths compare exactly.
    const auto key = [&](std::size_t at) {
        const ChosenWindow& window = *windows[at];
        return std::tuple(isClear(window), isClear(window) ? -window.notes : 0, rangeWidthDb(window));
    };
    std::optional<std::size_t> best;
    for (std::size_t at = 0; at < candidates.size(); ++at) {
        if (candidates[at].band != band || !windows[at]) {
            continue;
        }
        const bool better = !best || key(at) > key(*best);
        if (better) {
            best = at;
        }
    }
    return best;
}

void chooseWindows(const ConvertRequest& request, std::vector<Band>& bands) {
    std::vector<std::unique_ptr<AudioReader>> inputs;
    for (const std::string& path : request.inputs) {
        inputs.push_back(std::make_unique<AudioReader>(path));
    }
    const std::vector<AutoCandidate> candidates = autoCandidatesOf(bands);
    std::vector<Band> listeners;
    for (const AutoCandidate& candidate : candidates) {
        Band& listener = listeners.emplace_back(bands[candidate.band]);
        if (candidate.edge) {
            listener.settings.parameters.push_back(
                {"--auto", std::string(zephyrion::kParameters[listener.autoEdge->edge].name),
                 *candidate.edge});
        }
    }
    Instances instances(request, listeners, inputs);
    ConversionSinks sinks;
    sinks.traces = true;
    const std::vector<Conversion> results = convertAudio(instances.stems, request.blockSize, sinks);
    std::vector<std::optional<ChosenWindow>> windows;
    std::vector<bool> traced(bands.size(), false);
    for (std::size_t at = 0; at < candidates.size(); ++at) {
        traced[candidates[at].band] = traced[candidates[at].band] || results[at].trace.has_value();
        const HitGroup group = listeners[at].keepBleed ? HitGroup::Most : HitGroup::Loudest;
        windows.push_back(results[at].trace
                              ? chooseWindow(*results[at].trace, holdFramesOf(*instances.plugins[at]), group)
                              : std::nullopt);
    }
    std::string options;
    for (std::size_t band = 0; band < bands.size(); ++band) {
        const std::string source = request.inputs[bands[band].input] + suffixOf(bands[band]);
        const std::optional<std::size_t> chosen = chosenCandidateOf(windows, candidates, band);
        if (!chosen) {
            if (!request.quiet) {
                std::fprintf(stderr, "%s: --auto: %s; the window stays as set\n", source.c_str(),
                             traced[band] ? "no bound gives three notes or more"
                                          : "the plug-in gives no levels");
            }
            continue;
        }
        const ChosenWindow& window = *windows[*chosen];
        std::string set;
        char value[16];
        if (const std::optional<float> edge = candidates[*chosen].edge) {
            const zephyrion::ParameterIndex index = bands[band].autoEdge->edge;
            const std::string name(zephyrion::kParameters[index].name);
            bands[band].settings.parameters.push_back({"--auto", name, *edge});
            std::snprintf(value, sizeof value, "%.2f", static_cast<double>(*edge));
            set.append(name).append("=").append(value).append(",");
            if (!request.quiet) {
                const ReadableContext context{
                    inputs.front()->sampleRate(),
                    zephyrion::threeStepOf(instances.plugins[*chosen]->getParameter(zephyrion::kFreqMode))};
                std::string tried;
                for (const float other : bands[band].autoEdge->values) {
                    char text[16];
                    std::snprintf(text, sizeof text, "%s%.2f", tried.empty() ? "" : ", ",
                                  static_cast<double>(other));
                    tried += text;
                }
                std::fprintf(stderr, "%s: --auto: %s (%s %s; tried %s), where %s\n", source.c_str(),
                             describeReadable(index, *edge, context).c_str(), name.c_str(), value,
                             tried.c_str(),
                             isClear(window) ? "its clear group of hits has the fewest notes"
                                             : "no group of hits is clear and its hits stand furthest apart");
            }
        }
        const float ampHi = 1.0f - window.lowerBound;
        bands[band].settings.parameters.push_back({"--auto", "Amp.Hi", ampHi});
        std::snprintf(value, sizeof value, "%.4f", static_cast<double>(ampHi));
        set.append("Amp.Hi=").append(value);
        options += bands[band].name.empty() ? " --set " + set : " --band " + bands[band].name + ":" + set;
        if (!request.quiet) {
            std::fprintf(stderr,
                         "%s: --auto: lower bound %.1f dBFS, the middle of %.1f to %.1f dBFS, where the band "
                         "gives %d notes at any bound%s\n",
                         source.c_str(), decibelsOf(window.lowerBound), window.lowestDb, window.highestDb,
                         window.notes, bands[band].keepBleed ? " (the most notes: it keeps its bleed)" : "");
        }
    }
    instances.close();
    if (!request.quiet && !options.empty()) {
        std::fprintf(stderr, "--auto chose:%s\n", options.c_str());
    }
}

} // namespace

Conversion runConvert(const ConvertRequest& request) {
    // A bad reference line must fail before any output exists.
    const std::vector<ReferenceHit> reference =
        request.reference.empty() ? std::vector<ReferenceHit>() : readReferenceHits(request.reference);
    const std::vector<std::unique_ptr<AudioReader>> inputs = openInputs(request);
    const AudioReader& input = *inputs.front();
    std::vector<Band> bands = bandsOf(request);
    if (request.autoWindow) {
        chooseWindows(request, bands);
    }
    Instances instances(request, bands, inputs);
    std::vector<ScoredBand> scored;
    std::vector<std::string> readable;
    std::vector<std::optional<AmplitudeWindow>> windows;
    std::vector<std::string> voices;
    for (std::size_t band = 0; band < bands.size(); ++band) {
        vsthost::Plugin& plugin = *instances.plugins[band];
        readable.push_back(readableBandOf(plugin, input.sampleRate()));
        instances.stems[bands[band].input].placements.push_back(
            placeNotesOnHits(plugin, bands[band].settings, request.rawTiming, input.sampleRate()));
        scored.push_back({bands[band].name, sentNoteOf(plugin)});
        windows.push_back(amplitudeWindowOf(plugin));
        voices.push_back(voiceOf(plugin));
    }
    checkBandsAreDistinct(bands, voices);
    Outputs outputs(request);

    std::optional<AudioWriter> audio;
    if (outputs.audio) {
        audio.emplace(*outputs.audio, input.sampleRate());
    }
    std::optional<WaveformSummary> waveform;
    std::int64_t longest = 0;
    for (const auto& stem : inputs) {
        longest = std::max(longest, stem->frames());
    }
    if (outputs.plot) {
        waveform.emplace(longest, kPlotColumns);
    }
    ProgressBar progress(!request.quiet && ::isatty(STDERR_FILENO) != 0, longest, input.sampleRate());
    ConversionSinks sinks;
    sinks.audio = audio ? &*audio : nullptr;
    sinks.waveform = waveform ? &*waveform : nullptr;
    sinks.waveformGain = inputGainOf(*instances.plugins.front());
    sinks.progress = &progress;
    sinks.traces = suppressesBleed(request);
    sinks.levelColumns = outputs.plot ? kPlotColumns : 0;

    std::vector<Conversion> results = convertAudio(instances.stems, request.blockSize, sinks);
    instances.close();
    if (suppressesBleed(request)) {
        suppressBleedOf(request, bands, results, input.sampleRate());
    }
    const Conversion merged = mergeConversions(results);

    writeAll(*outputs.midi, encodeMidi(request, bands, results, merged, input.sampleRate()));
    if (outputs.events) {
        writeEvents(*outputs.events, bands, results, input.sampleRate());
    }
    if (audio) {
        audio->finish();
    }
    std::optional<ScoreReport> score;
    if (!request.reference.empty()) {
        std::vector<const std::vector<MidiEvent>*> events;
        for (const Conversion& result : results) {
            events.push_back(&result.events);
        }
        std::vector<std::string> bandInputs;
        for (const Band& band : bands) {
            bandInputs.push_back(request.inputs[band.input]);
        }
        score = ScoreReport{bandInputs, request.reference, input.sampleRate(), scored,
                            scoreConversion(reference, scored, events, input.sampleRate())};
    }
    if (outputs.plot) {
        PlotData plot{&*waveform, input.sampleRate(), merged.endPosition, {}};
        for (std::size_t band = 0; band < bands.size(); ++band) {
            const Conversion& result = results[band];
            plot.lanes.push_back({bands[band].name, result.levels ? &*result.levels : nullptr, windows[band],
                                  &result.events, score ? &score->score.assignment.hits[band] : nullptr});
        }
        if (!ui::png::write(outputs.plot->stream(), renderPlot(plot))) {
            throw RunError(outputs.plot->path() + ": cannot be written");
        }
    }
    if (outputs.report) {
        writeAll(*outputs.report, scoreJson(*score));
    }
    outputs.commit();
    if (!request.quiet) {
        for (std::size_t band = 0; band < bands.size(); ++band) {
            printSummary(request, bands[band], results[band], input.sampleRate(), readable[band]);
        }
        if (score) {
            std::fputs(scoreLines(*score).c_str(), stderr);
        }
    }
    return merged;
}

} // namespace zcli
