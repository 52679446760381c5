#include "tools/zephyrion/commands.h"

#include "tools/common/atomic_output.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/event_json.h"
#include "tools/zephyrion/plugin_host.h"
#include "tools/zephyrion/smf_writer.h"
#include "ui/png/PngWriter.h"

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

void writeEvents(AtomicOutput& output, const std::vector<MidiEvent>& events, double sampleRate) {
    std::string text;
    for (const MidiEvent& event : events) {
        text += eventJson(event, sampleRate);
        text += '\n';
    }
    writeAll(output, text);
}

std::string counted(int count, const std::string& thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

void printSummary(const ConvertRequest& request, const Conversion& conversion, double sampleRate) {
    int notes = 0;
    int controls = 0;
    for (const MidiEvent& event : conversion.events) {
        notes += event.startsNote() ? 1 : 0;
        controls += event.kind() == kControlChange ? 1 : 0;
    }
    std::fprintf(stderr, "%s: %s, %s in %.1f s -> %s\n", request.input.c_str(),
                 counted(notes, "note").c_str(), counted(controls, "control change").c_str(),
                 static_cast<double>(conversion.inputFrames) / sampleRate, request.midiOut.c_str());
    if (conversion.notesClosed > 0) {
        std::fprintf(stderr, "%s: %s still sounding %.0f s after the input, closed there\n",
                     request.midiOut.c_str(), counted(conversion.notesClosed, "note").c_str(),
                     kMaxTailSeconds);
    }
}

} // namespace

Conversion runConvert(const ConvertRequest& request) {
    AudioReader input(request.input);
    if (input.channels() > 2 && !request.quiet) {
        std::fprintf(stderr, "%s: %d channels; the first two are used\n", request.input.c_str(),
                     input.channels());
    }
    const auto rate = static_cast<float>(input.sampleRate());
    std::unique_ptr<vsthost::Plugin> plugin = loadPlugin(request.plugin.pluginPath, rate, request.blockSize);
    configurePlugin(*plugin, request.plugin);
    placeNotesOnHits(*plugin, request.plugin, request.rawTiming);
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
    sinks.waveformGain = inputGainOf(*plugin);
    sinks.progress = &progress;
    const std::optional<AmplitudeWindow> window = amplitudeWindowOf(*plugin);

    Conversion conversion = convertAudio(*plugin, input, request.blockSize, sinks);
    plugin->close();

    writeAll(*outputs.midi, encodeSmf(conversion.events, {request.ppq, request.bpm, input.sampleRate()}));
    if (outputs.events) {
        writeEvents(*outputs.events, conversion.events, input.sampleRate());
    }
    if (audio) {
        audio->finish();
    }
    if (outputs.plot) {
        PlotData plot;
        plot.waveform = &*waveform;
        plot.sampleRate = input.sampleRate();
        plot.endPosition = conversion.endPosition;
        plot.window = window;
        plot.events = &conversion.events;
        if (!ui::png::write(outputs.plot->stream(), renderPlot(plot))) {
            throw RunError(outputs.plot->path() + ": cannot be written");
        }
    }
    outputs.commit();
    if (!request.quiet) {
        printSummary(request, conversion, input.sampleRate());
    }
    return conversion;
}

} // namespace zcli
