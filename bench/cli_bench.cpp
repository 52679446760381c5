// Speed of `zephyrion convert` on a ten-minute stereo file at 44.1 kHz, as a multiple of real time: the
// whole path a user runs, from reading the file through the hosted plug-in to the finished MIDI file.
// The rate is per second of processor time, so other work on a shared machine does not skew it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sndfile.h>
#include <variant>
#include <vector>

#include "tools/zephyrion/audio_reader.h"
#include "tools/zephyrion/command_line.h"
#include "tools/zephyrion/commands.h"
#include "tools/zephyrion/drum_groove.h"

namespace {

constexpr int kRate = 44100;
constexpr double kSeconds = 600.0;

// The demo's groove over and over, as 16-bit stereo, written once per run of the benchmark program.
std::string tenMinuteFile(const std::filesystem::path& folder) {
    const std::string path = (folder / "ten-minutes.wav").string();
    if (std::filesystem::exists(path)) {
        return path;
    }
    const zcli::DrumGroove groove = zcli::synthesiseGroove(kRate);
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const auto frames = static_cast<std::size_t>(kSeconds * kRate);
    std::vector<float> stereo(groove.samples.size() * 2);
    for (std::size_t i = 0; i < groove.samples.size(); ++i) {
        stereo[2 * i] = groove.samples[i];
        stereo[2 * i + 1] = groove.samples[i];
    }
    for (std::size_t written = 0; written < frames;) {
        const std::size_t count = std::min(groove.samples.size(), frames - written);
        sf_writef_float(file, stereo.data(), static_cast<sf_count_t>(count));
        written += count;
    }
    sf_close(file);
    return path;
}

std::filesystem::path benchFolder() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zephyrion-cli-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

// The conversion over and over; its speed as a multiple of real time, and the notes it found.
void runConversions(benchmark::State& state, const zcli::ConvertRequest& request) {
    std::size_t notes = 0;
    for (auto _ : state) {
        notes = zcli::runConvert(request).events.size() / 2;
    }
    state.counters["notes"] = static_cast<double>(notes);
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
}

// With state.range(1) set, the conversion also draws the plot, whose share this shows.
void convertTenMinutes(benchmark::State& state) {
    const std::filesystem::path folder = benchFolder();
    zcli::ConvertRequest request;
    request.inputs = {tenMinuteFile(folder)};
    request.midiOut = (folder / "ten-minutes.mid").string();
    request.blockSize = static_cast<int>(state.range(0));
    request.quiet = true;
    request.plugin.pluginPath = ZEPHYRION_PLUGIN_PATH;
    if (state.range(1) != 0) {
        request.plotOut = (folder / "ten-minutes.png").string();
    }
    runConversions(state, request);
}

// A whole kit: the kit presets' four bands, one instance each, with bleed suppression between them (the
// default); with state.range(0) set, also the first pass of --auto.
void convertTenMinutesFourBands(benchmark::State& state) {
    const std::filesystem::path folder = benchFolder();
    std::vector<std::string> arguments{"zephyrion",
                                       "convert",
                                       tenMinuteFile(folder),
                                       "-o",
                                       (folder / "ten-minutes-kit.mid").string(),
                                       "--plugin",
                                       ZEPHYRION_PLUGIN_PATH,
                                       "-q",
                                       "--band",
                                       "kick",
                                       "--band",
                                       "snare",
                                       "--band",
                                       "hihat",
                                       "--band",
                                       "toms"};
    if (state.range(0) != 0) {
        arguments.push_back("--auto");
    }
    const zcli::Request parsed = zcli::parseCommandLine(arguments);
    runConversions(state, std::get<zcli::ConvertRequest>(parsed));
}

// Reading and decoding the file alone: the decoder's share of a conversion.
void decodeTenMinutes(benchmark::State& state) {
    const std::string path = tenMinuteFile(benchFolder());
    std::vector<float> left(512), right(512);
    std::size_t frames = 0;
    for (auto _ : state) {
        zcli::AudioReader reader(path);
        frames = 0;
        while (const std::size_t read = reader.read(left, right)) {
            frames += read;
        }
    }
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(frames);
}

BENCHMARK(convertTenMinutes)
    ->ArgNames({"block", "plot"})
    ->Args({64, 0})
    ->Args({512, 0})
    ->Args({4096, 0})
    ->Args({512, 1})
    ->Unit(benchmark::kSecond);
BENCHMARK(convertTenMinutesFourBands)->Arg(0)->Arg(1)->Unit(benchmark::kSecond);
BENCHMARK(decodeTenMinutes)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
