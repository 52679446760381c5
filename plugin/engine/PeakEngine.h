// The peak-to-MIDI engine with no plug-in format in it: the parameter values, what is derived from
// them, and the per-sample chain that turns stereo audio into output audio and MIDI messages. A format
// wrapper (the VST 2 effect, a converter, a benchmark) owns one and forwards to it.
//
// Threads: the parameters may be set from any thread while audio runs. process runs on the audio thread and
// reads them once per call, so a change made during a call takes effect by the next call at the latest;
// the end of a sounding period that Falloff, Release or suspend ask for acts between two samples, at the
// next block of at most kChunkFrames. The meter, the peak and the note state are read at idle on the
// user-interface thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "plugin/Relaxed.h"
#include "plugin/engine/ChainTypes.h"
#include "plugin/engine/HitAligner.h"
#include "plugin/engine/MidiSink.h"
#include "plugin/parameters.h"

namespace zephyrion {

class PeakEngine {
public:
    // Every parameter at its default, the release coefficient for 44100 Hz.
    PeakEngine();

    // Any thread. Clamps the value to 0..1 (NaN to 0), stores it and updates what depends on it; an index
    // outside the table stores nothing. Answers the value as stored.
    float setParameter(std::int32_t index, float value);
    // Any thread: the stored value, 0 for an index outside the table.
    float getParameter(std::int32_t index) const;
    // Any thread, usually the user-interface thread before audio starts: the release follows the new rate.
    void setSampleRate(float rate);
    // Any thread: the frames by which the outputs and the messages are delayed, 0 unless Lookahead is on.
    // process takes a change at the start of its next call.
    std::int32_t getLatency() const;

    // Audio thread. Runs `frames` samples of the two inputs into the two outputs (replacing or adding to
    // them) and hands every MIDI message to `sink`, in order, stamped with its frame in this call: those of a
    // piece of at most kChunkFrames at the end of that piece, from inside this call.
    // Inputs may be the outputs themselves.
    // levels: null, or `frames` floats that take the envelope level the window tests after each input
    // frame. They are per input frame: with Lookahead on they are not delayed with the audio and the
    // messages, so levels[i] belongs to inputs[.][i] while a message stamped i belongs to the input of i
    // minus the latency. Asking for them leaves the outputs and the messages as they are, to the bit.
    void process(const float* const* inputs, float* const* outputs, std::int32_t frames, OutputMode mode,
                 MidiSink& sink, float* levels = nullptr);

    // User-interface thread (the host's suspend): the current active period ends at the next sample.
    void suspend() { holdEnded.store(true, std::memory_order_release); }

    // User-interface thread, at idle: what the editor shows.
    float getMeterLevel() const { return meterLevel; }
    float getMeterPeak() const { return meterPeak; }
    bool isNoteActive() const { return noteActive; }
    // Any thread: the active period ends, and with it a sounding note, at the next sample.
    void clearNoteActive();

    // Derived values and state, for tests and tools that show them.
    std::int32_t getHoldUnit() const { return holdUnit; }
    std::int32_t getCcInterval() const { return ccInterval; }
    float getReleaseCoeff() const { return releaseCoeff; }
    float getEnvelope() const { return chain.envelope; }
    float section(int index) const { return chain.sections[index]; }

    // The chain runs a block in pieces of at most this many frames; its scratch memory is one piece of mono
    // input, for the README and the benchmark.
    static constexpr std::int32_t kChunkFrames = 1024;
    static_assert(kChunkFrames <= HitAligner::kMaxPiece);

private:
    struct CachedCoefficient {
        float position = -1.0f;
        std::int32_t mode = -1;
        float value = 0.0f;
    };

    ChainSettings readSettings();
    float coefficientFor(CachedCoefficient& cache, float position, std::int32_t mode);
    void updateReleaseCoeff();
    void takeRequests();
    void followLatency(MidiSink& sink);

    std::array<Relaxed<float>, kNumRealParams> values;
    Relaxed<float> sampleRate{44100.0f};

    // Derived from Falloff and Release when they are set.
    Relaxed<std::int32_t> holdUnit{0};
    Relaxed<std::int32_t> ccInterval{0};
    Relaxed<float> releaseCoeff{0.0f};

    // Asked for by other threads, taken by the audio thread between two samples.
    std::atomic<bool> periodEnded{false};
    std::atomic<bool> holdEnded{false};

    // The chain's state, carried from block to block and owned by the audio thread.
    ChainState chain{};
    CachedCoefficient lowpassCache;
    CachedCoefficient highpassCache;
    // Published for the user-interface thread after every piece.
    Relaxed<float> meterLevel{0.0f};
    Relaxed<float> meterPeak{0.0f};
    Relaxed<bool> noteActive{false};

    std::array<double, kChunkFrames> mono{};
    std::array<MidiMessage, kMaxMessagesPerFrame * kChunkFrames> messages{};

    // The lookahead, on the heap for its buffers' size; the latency it runs with, 0 while it is off, and
    // the sample rate its low band was made for.
    std::unique_ptr<HitAligner> aligner = std::make_unique<HitAligner>();
    std::int32_t alignedLatency = 0;
    float alignedRate = 0.0f;
};

} // namespace zephyrion
