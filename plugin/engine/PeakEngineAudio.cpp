// The audio path: the block goes through the chain in pieces; between two pieces the engine takes what
// other threads asked for and publishes what the editor shows. Nothing here allocates, locks or formats.
#include <algorithm>

#include "plugin/engine/PeakEngine.h"

namespace zephyrion {

namespace {

bool processorHasAvx() {
#if defined(ZEPHYRION_AVX_CHAIN)
    // Asks the processor and the operating system (which must save the wider registers).
    return __builtin_cpu_supports("avx");
#else
    return false;
#endif
}

} // namespace

void PeakEngine::takeRequests() {
    // A plain load first: the exchange, a locked instruction, only when something was asked.
    if (periodEnded.load(std::memory_order_relaxed) &&
        periodEnded.exchange(false, std::memory_order_acquire)) {
        chain.noteActive = false;
        chain.inWindow = false;
    }
    if (holdEnded.load(std::memory_order_relaxed) && holdEnded.exchange(false, std::memory_order_acquire)) {
        chain.holdCounter = 0;
    }
}

void PeakEngine::followLatency(MidiSink& sink) {
    const std::int32_t wanted = getLatency();
    const float rate = sampleRate;
    if (wanted == alignedLatency && (wanted == 0 || rate == alignedRate)) {
        return;
    }
    // What waits goes out now, so that every note-on keeps its note-off.
    aligner->flush(sink, 0);
    if (wanted > 0) {
        aligner->start(wanted, rate);
    }
    alignedLatency = wanted;
    alignedRate = rate;
}

void PeakEngine::process(const float* const* inputs, float* const* outputs, std::int32_t frames,
                         OutputMode mode, MidiSink& sink, float* levels) {
    if (frames <= 0) {
        return;
    }
    // Both give the same results to the bit: AVX runs twice as many sections per instruction.
    static const bool avx = processorHasAvx();
    const ChainSettings settings = readSettings();
    followLatency(sink);
    if (alignedLatency > 0) {
        aligner->followBand(settings.highpassCoefficient, settings.bandPass);
    }
    for (std::int32_t start = 0; start < frames; start += kChunkFrames) {
        takeRequests();
        const std::int32_t pieceFrames = std::min(kChunkFrames, frames - start);
        const float* const pieceInputs[2] = {inputs[0] + start, inputs[1] + start};
        float* const pieceOutputs[2] = {outputs[0] + start, outputs[1] + start};
        const bool aligned = alignedLatency > 0;
        if (aligned) {
            aligner->beginPiece(pieceInputs, pieceFrames, start, sink);
        }
        // Aligned, the chain writes into the aligner, which delays the audio and moves the messages.
        const ChainBlock block{{pieceInputs[0], pieceInputs[1]},
                               {aligned ? aligner->chainOutputs()[0] : pieceOutputs[0],
                                aligned ? aligner->chainOutputs()[1] : pieceOutputs[1]},
                               pieceFrames,
                               start,
                               aligned ? OutputMode::Replace : mode,
                               aligned ? static_cast<MidiSink*>(aligner.get()) : &sink,
                               mono.data(),
                               messages.data(),
                               levels != nullptr ? levels + start : nullptr};
        if (avx) {
            runChainAvx(chain, settings, block);
        } else {
            runChainSse2(chain, settings, block);
        }
        if (aligned) {
            aligner->finishPiece(pieceOutputs, mode == OutputMode::Add);
        }
        meterLevel = chain.meterLevel;
        meterPeak = chain.meterPeak;
        noteActive = chain.noteActive;
    }
}

} // namespace zephyrion
