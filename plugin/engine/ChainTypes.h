// What one run of the per-sample chain works with: the settings read from the parameters once per call, the
// chain's state carried from block to block, and the block itself. Plain data only: the chain is built once
// per instruction set (SSE2, AVX), and nothing with a function of its own may be shared between those builds.
#pragma once

#include <cstdint>

#include "plugin/engine/MidiSink.h"
#include "plugin/parameter_curves.h"

namespace zephyrion {

enum class OutputMode { Replace, Add };

struct ChainSettings {
    float lowpassCoefficient;  // of the lowpass side, from Freq.Hi
    float highpassCoefficient; // of the highpass side, from Freq.Lo
    bool bandPass;             // Freq.Lo < Freq.Hi: the two sides in series; otherwise in parallel
    double gain;               // 1 - Volume
    float upper;               // the window's bounds: Amp.Lo sets the upper one, Amp.Hi the lower one
    float lower;
    bool inverted;           // Amp.Lo > Amp.Hi: the window is everything outside the two bounds
    std::int32_t outputStep; // 0 silence, 1 the filtered signal inside the window, 2 the input
    bool controllerMode;
    std::uint32_t hold; // samples an active period lasts after its last in-window sample
    std::int32_t ccInterval;
    float releaseCoeff;
    std::int32_t midiNote;    // round(Midi Note x 127)
    std::int32_t midiChannel; // 0..15
    std::int32_t velocity;    // round(Midi Vel. x 127), or the lowest velocity when it follows the level
    bool velocityFromLevel;
};

struct ChainState {
    // The 32 one-pole sections: 0..15 the lowpass side, 16..31 the one the highpass side is derived from.
    float sections[2 * kSectionsPerSide];
    float envelope;
    float meterLevel;
    float meterPeak;
    std::uint32_t holdCounter;
    std::int32_t ccCountdown;
    std::int32_t noteNumber;
    std::int32_t noteChannel;
    bool noteActive;
    bool lastNoteActive;
    bool inWindow;
    // A note-on has gone out whose note-off has not: the note still sounds at the receiver.
    bool noteSounding;
};

struct ChainBlock {
    const float* inputs[2];
    float* outputs[2];
    std::int32_t frames;
    std::int32_t firstFrame; // of the call, for the messages' frames
    OutputMode mode;
    MidiSink* sink;
    double* mono;          // scratch for the block's mono input
    MidiMessage* messages; // the block's messages until its end: kMaxMessagesPerFrame for each frame
    float* levels;         // null, or the envelope level after each frame, for tools that use it
};

// A sample can end a note when controller mode takes over, send a control change and start or end a note.
inline constexpr std::int32_t kMaxMessagesPerFrame = 3;

// One block through the chain, on SSE2 (every target) or AVX (asked of the processor first).
void runChainSse2(ChainState& state, const ChainSettings& settings, const ChainBlock& block);
void runChainAvx(ChainState& state, const ChainSettings& settings, const ChainBlock& block);

} // namespace zephyrion
