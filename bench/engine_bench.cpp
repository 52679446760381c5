// Cost of the audio path per block, for each frequency mode and for notes against control changes.
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "plugin/uPlugin.h"

namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 1;
}

void processBlocks(benchmark::State& state) {
    zephyrion::APlugin plugin(&quietHost);
    plugin.setParameter(zephyrion::kFreqMode, static_cast<float>(state.range(0)) / 10.0f);
    plugin.setParameter(zephyrion::kNoteOrCC, static_cast<float>(state.range(1)));
    plugin.setParameter(zephyrion::kFreqLo, 0.2f);
    plugin.setParameter(zephyrion::kFreqHi, 0.8f);
    const std::size_t frames = 512;
    std::vector<float> left(frames);
    std::vector<float> right(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        left[i] = static_cast<float>(std::sin(static_cast<double>(i) * 0.05) * ((i % 128) < 8 ? 0.9 : 0.05));
        right[i] = left[i];
    }
    std::vector<float> outLeft(frames);
    std::vector<float> outRight(frames);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    for (auto _ : state) {
        plugin.processReplacing(inputs, outputs, static_cast<vst::VstInt32>(frames));
        benchmark::DoNotOptimize(outLeft.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(frames));
    // Samples per second over 44100: how many mono streams at 44.1 kHz one core carries.
    state.counters["x_realtime"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * frames / 44100.0, benchmark::Counter::kIsRate);
}

BENCHMARK(processBlocks)
    ->ArgNames({"freqMode", "controller"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({0, 1});

} // namespace

BENCHMARK_MAIN();
