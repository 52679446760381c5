// The optional lookahead: each note lands on the true start of its hit instead of the sample where the level
// crossed into the window. The band filters and the envelope make every crossing come several milliseconds
// after the hit began; with a fixed latency the aligner can send the note-on back at the hit's start, delay
// the audio by the same latency, and let the host's delay compensation put both on the hit.
//
// Audio thread only. Fixed-size buffers: nothing is allocated while audio runs.
#pragma once

#include <array>
#include <cstdint>

#include "plugin/engine/HitStart.h"
#include "plugin/engine/MidiSink.h"

namespace zephyrion {

class HitAligner : public MidiSink {
public:
    // The latency, and the look-back window, for a sample rate: 25 ms, at most kMaxLatency frames.
    static std::int32_t latencyFor(float sampleRate);
    static constexpr std::int32_t kMaxLatency = 4800; // 25 ms at 192 kHz
    static constexpr std::int32_t kMaxPiece = 1024;

    // Starts aligning with `latency` frames at `sampleRate`: the audio so far is forgotten, the outputs
    // silent until the delayed audio arrives.
    void start(std::int32_t latency, float sampleRate);
    // The band the chain listens to, before each call: one that hears only highs has its hits' starts sought
    // in the highs (hearsOnlyHighs).
    void followBand(float highpassCoefficient, bool bandPass);
    // Every message still waiting goes to `sink` at `frame`, in its order: used when the option or the
    // latency changes, so no note-on or note-off is lost.
    void flush(MidiSink& sink, std::int32_t frame);

    // One piece of a call: first its input, then the chain's messages (through receive), then finish,
    // which delays the chain's output into the host's and sends what has come due.
    void beginPiece(const float* const* inputs, std::int32_t frames, std::int32_t firstFrame, MidiSink& sink);
    void receive(const MidiMessage& message) override;
    void finishPiece(float* const* outputs, bool add);
    // Where the chain writes the piece's output, which finishPiece delays.
    float* const* chainOutputs() { return chainOutput.data(); }

private:
    struct Timed {
        std::int64_t at;
        MidiMessage message;
    };

    // Where the hit that crossed at `raised` began, from the last `latency` frames of the input.
    std::int64_t hitStart(std::int64_t raised);
    void enqueue(std::int64_t at, const MidiMessage& message);
    void send(const Timed& timed);
    std::int64_t stamp(std::int64_t at);

    // A power of two above kMaxLatency, the low band's warm-up and kMaxPiece.
    static constexpr std::int32_t kHistory = 8192;
    static constexpr std::int32_t kMaxWarmUp = kHistory - kMaxLatency - kMaxPiece - 1;
    static constexpr std::int32_t kQueue = 8192; // more messages than the latency and a piece have frames

    std::int32_t latency = 0;
    std::int64_t clock = 0;     // frames since start, at the beginning of the current piece
    std::int64_t callStart = 0; // the clock at frame 0 of the current call
    std::int64_t lastStamp = 0; // messages go out in order: none before the one queued last
    std::int64_t noteShift = 0; // how far the sounding note moved, which its note-off moves too
    std::int32_t pieceFrames = 0;
    MidiSink* sink = nullptr;

    HitStartFinder finder;
    float rate = 44100.0f;
    float bandCoefficient = -1.0f; // the band followBand last saw: none yet
    bool bandPassing = false;
    bool inHighs = false;

    // The mono input, every sample written twice so any window of kHistory is contiguous.
    std::array<float, 2 * kHistory> history{};
    // The window's levels, the finder's scratch for each note-on.
    std::array<float, kMaxLatency + 1> broadLevels{};
    std::array<float, kMaxLatency + 1> lowLevels{};
    std::array<float, kMaxLatency + 1> otherLevels{};
    std::array<std::array<float, kHistory>, 2> delayLine{};
    std::array<std::array<float, kMaxPiece>, 2> pieceOutput{};
    std::array<float*, 2> chainOutput{pieceOutput[0].data(), pieceOutput[1].data()};
    std::array<Timed, kQueue> queue{};
    std::int32_t queueHead = 0;
    std::int32_t queueSize = 0;
};

} // namespace zephyrion
