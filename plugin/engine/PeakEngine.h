// The peak-to-MIDI engine with no plug-in format in it: the fourteen parameter values, what is derived from
// them, and the per-sample chain that turns stereo audio into output audio and MIDI messages. A format
// wrapper (the VST 2 effect, a converter, a benchmark) owns one and forwards to it.
//
// Threads: the parameters may be set from any thread while audio runs; process runs on the audio thread and
// reads them once per call, so a change made during a call takes effect by the next call at the latest. The
// meter, the peak and the note state are read at idle on the user-interface thread.
#pragma once

#include <array>
#include <cstdint>

#include "plugin/Relaxed.h"
#include "plugin/engine/BandFilter.h"
#include "plugin/engine/MidiSink.h"
#include "plugin/parameters.h"

namespace zephyrion {

enum class OutputMode { Replace, Add };

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

    // Audio thread. Runs `frames` samples of the two inputs into the two outputs (replacing or adding to
    // them) and hands every MIDI message to `sink` as it arises. Inputs may be the outputs themselves.
    void process(const float* const* inputs, float* const* outputs, std::int32_t frames, OutputMode mode,
                 MidiSink& sink);

    // User-interface thread (the host's suspend): the current active period ends at the next sample.
    void suspend() { holdCounter = 0; }

    // User-interface thread, at idle: what the editor shows.
    float getMeterLevel() const { return meterLevel; }
    float getMeterPeak() const { return meterPeak; }
    bool isNoteActive() const { return noteActive; }
    void clearNoteActive() { noteActive = false; }

    // Derived values, for tests and tools that show them.
    std::int32_t getHoldUnit() const { return holdUnit; }
    std::int32_t getCcInterval() const { return ccInterval; }
    float getReleaseCoeff() const { return releaseCoeff; }
    float getEnvelope() const { return envelope; }
    const BandFilter& filter() const { return bandFilter; }

    // Scratch memory per instance, for the README and the benchmark.
    static constexpr std::int32_t kChunkFrames = 1024;

private:
    // The parameters as one call of process uses them, read once at its start.
    struct Settings {
        BandSetting band;
        double gain; // 1 - Volume
        float upper; // the window's bounds: Amp.Lo sets the upper one, Amp.Hi the lower one
        float lower;
        bool inverted; // Amp.Lo > Amp.Hi: everything outside the two bounds
        std::int32_t outputStep;
        bool controllerMode;
        std::uint32_t hold; // samples an active period lasts after its last in-window sample
        std::int32_t ccInterval;
        float releaseCoeff;
        float midiNote;
        float midiChannel;
        float midiVelocity;
        bool velocityFromLevel;
        float ampLo;
        float ampHi;
    };
    struct CachedCoefficient {
        float position = -1.0f;
        std::int32_t mode = -1;
        float value = 0.0f;
    };

    Settings readSettings();
    float coefficientFor(CachedCoefficient& cache, float position, std::int32_t mode);
    void updateReleaseCoeff();
    void runTail(const Settings& settings, const float* const* inputs, float* const* outputs,
                 std::int32_t start, std::int32_t frames, OutputMode mode, MidiSink& sink);
    std::int32_t velocityFor(const Settings& settings, float level) const;

    std::array<Relaxed<float>, kNumRealParams> values;
    Relaxed<float> sampleRate{44100.0f};

    // Derived from Falloff and Release when they are set.
    Relaxed<std::int32_t> holdUnit{0};
    Relaxed<std::int32_t> ccInterval{0};
    Relaxed<float> releaseCoeff{0.0f};

    // The chain's state, carried from block to block.
    BandFilter bandFilter;
    CachedCoefficient lowpassCache;
    CachedCoefficient highpassCache;
    float envelope = 0.0f;
    Relaxed<float> meterLevel{0.0f};
    Relaxed<float> meterPeak{0.0f};
    std::int32_t noteNumber = 0;
    std::int32_t ccCountdown = 0;
    Relaxed<std::uint32_t> holdCounter{0};
    // Cleared from other threads (Falloff, Release, the editor) between two samples, so read per sample.
    Relaxed<bool> noteActive{false};
    bool lastNoteActive = false;
    Relaxed<bool> inWindow{false};
    // A note-on has gone out whose note-off has not: the note still sounds at the receiver. Its note-off
    // goes out on the channel it started on.
    bool noteSounding = false;
    std::int32_t noteChannel = 0;

    // Scratch for one chunk of a block: the mono input and the band-filtered signal.
    std::array<float, kChunkFrames> mono{};
    std::array<float, kChunkFrames> filtered{};
};

} // namespace zephyrion
