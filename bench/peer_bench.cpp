// Zephyrion's engine, the built Zephyrion plug-in and Debian's LSP Trigger MIDI on the same real drum
// groove, in one process, at blocks of 64 and 512, for each of Zephyrion's frequency modes (Freq.Lo 0.2,
// Freq.Hi 0.6). The runs are interleaved at random and repeated, and the table at the end gives the median
// processor time per frame and each one's ratio to the peer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "bench/real_drums.h"
#include "host/Plugin.h"
#include "plugin/engine/PeakEngine.h"

namespace {

constexpr const char* kPeerPath = "/usr/lib/vst/lsp-plugins/trigger-midi-stereo.so";
constexpr const char* kModeNames[] = {"linear", "exponential", "logarithmic"};
constexpr int kBlocks[] = {64, 512};

struct Audio {
    std::vector<float> left, right;
    std::string source;
};

const Audio& audio() {
    static const Audio material = [] {
        Audio a;
        const std::vector<std::string> kits = bench::usableKits();
        if (const auto groove = kits.empty() ? std::nullopt : bench::buildGroove(kits.front(), 4)) {
            a.left = groove->left;
            a.right = groove->right;
            a.source = "real drums (" + groove->kit + ")";
        }
        return a;
    }();
    return material;
}

struct NullSink : zephyrion::MidiSink {
    void receive(const zephyrion::MidiMessage&) override {}
};

void setZephyrionMode(auto&& set, int mode) {
    set(zephyrion::kFreqLo, 0.2f);
    set(zephyrion::kFreqHi, 0.6f);
    set(zephyrion::kFreqMode, static_cast<float>(mode) / 10.0f);
}

void reportFrames(benchmark::State& state, std::size_t frames) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(frames));
}

void engine(benchmark::State& state, bool lookahead) {
    const Audio& a = audio();
    zephyrion::PeakEngine peak;
    setZephyrionMode([&](std::int32_t i, float v) { peak.setParameter(i, v); },
                     static_cast<int>(state.range(0)));
    peak.setParameter(zephyrion::kLookahead, lookahead ? 1.0f : 0.0f);
    const auto block = static_cast<std::int32_t>(state.range(1));
    std::vector<float> outLeft(a.left.size()), outRight(a.left.size());
    NullSink sink;
    for (auto _ : state) {
        for (std::size_t at = 0; at + static_cast<std::size_t>(block) <= a.left.size(); at += block) {
            const float* inputs[2] = {a.left.data() + at, a.right.data() + at};
            float* outputs[2] = {outLeft.data() + at, outRight.data() + at};
            peak.process(inputs, outputs, block, zephyrion::OutputMode::Replace, sink);
        }
    }
    reportFrames(state, a.left.size() / static_cast<std::size_t>(block) * static_cast<std::size_t>(block));
}

void hosted(benchmark::State& state, const std::string& path, bool zephyrion) {
    const Audio& a = audio();
    std::unique_ptr<vsthost::Plugin> plugin;
    try {
        vsthost::HostSettings settings;
        settings.blockSize = static_cast<vst::VstInt32>(state.range(1));
        plugin = vsthost::Plugin::load(path, settings);
        plugin->activate();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    if (zephyrion) {
        setZephyrionMode([&](std::int32_t i, float v) { plugin->setParameter(i, v); },
                         static_cast<int>(state.range(0)));
    }
    const auto block = static_cast<vst::VstInt32>(state.range(1));
    std::vector<float> left = a.left, right = a.right, outLeft(a.left.size()), outRight(a.left.size());
    for (auto _ : state) {
        for (std::size_t at = 0; at + static_cast<std::size_t>(block) <= a.left.size(); at += block) {
            float* inputs[2] = {left.data() + at, right.data() + at};
            float* outputs[2] = {outLeft.data() + at, outRight.data() + at};
            plugin->processBlock(vsthost::ProcessMode::Replacing, inputs, outputs, block);
        }
        state.PauseTiming();
        plugin->clearRecords();
        state.ResumeTiming();
    }
    reportFrames(state, a.left.size() / static_cast<std::size_t>(block) * static_cast<std::size_t>(block));
}

// Collects the medians and prints, per mode and block, nanoseconds per frame and the ratio to the peer.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median" || run.error_occurred) {
                continue;
            }
            const std::string name = run.run_name.function_name;
            const std::string args = run.run_name.args;
            const double itemsPerSecond = run.counters.at("items_per_second");
            nanoseconds[{args, name}] = 1e9 / itemsPerSecond;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nCPU time per frame on %s, median of the repetitions\n", audio().source.c_str());
        std::printf("%-12s %5s %10s %10s %10s %10s %10s %11s %16s\n", "mode", "block", "engine ns",
                    "plug-in ns", "LSP ns", "lookahead", "engine/LSP", "plug-in/LSP", "lookahead/engine");
        for (int mode = 0; mode < 3; ++mode) {
            for (const int block : kBlocks) {
                const std::string args = "mode:" + std::to_string(mode) + "/block:" + std::to_string(block);
                const double e = value(args, "engine"), z = value(args, "zephyrion"), p = value(args, "lsp");
                const double l = value(args, "lookahead");
                std::printf("%-12s %5d %10.2f %10.2f %10.2f %10.2f %10.2f %11.2f %16.2f\n", kModeNames[mode],
                            block, e, z, p, l, p > 0 ? e / p : 0.0, p > 0 ? z / p : 0.0, e > 0 ? l / e : 0.0);
            }
        }
    }

private:
    double value(const std::string& args, const std::string& name) const {
        const auto found = nanoseconds.find({args, name});
        return found == nanoseconds.end() ? 0.0 : found->second;
    }
    std::map<std::pair<std::string, std::string>, double> nanoseconds;
};

void registerAll() {
    // The peer has no frequency modes: it runs again beside each, so every ratio compares runs made
    // side by side.
    auto configure = [](benchmark::internal::Benchmark* b) {
        b->ArgNames({"mode", "block"});
        for (int mode = 0; mode < 3; ++mode) {
            for (const int block : kBlocks) {
                b->Args({mode, block});
            }
        }
        b->Unit(benchmark::kMillisecond);
    };
    configure(benchmark::RegisterBenchmark("engine", [](benchmark::State& s) { engine(s, false); }));
    // The engine again with the lookahead on: what placing notes on the hits costs.
    configure(benchmark::RegisterBenchmark("lookahead", [](benchmark::State& s) { engine(s, true); }));
    configure(benchmark::RegisterBenchmark(
        "zephyrion", [](benchmark::State& s) { hosted(s, ZEPHYRION_PLUGIN_PATH, true); }));
    configure(benchmark::RegisterBenchmark("lsp", [](benchmark::State& s) { hosted(s, kPeerPath, false); }));
}

} // namespace

int main(int argc, char** argv) {
    if (audio().left.empty()) {
        std::fprintf(stderr, "peer_bench: no drum kit found in %s (Debian package hydrogen-drumkits)\n",
                     bench::drumkitFolder());
        return 1;
    }
    std::vector<char*> arguments(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    arguments.insert(arguments.begin() + 1, {interleave.data(), repetitions.data(), aggregates.data()});
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    registerAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
