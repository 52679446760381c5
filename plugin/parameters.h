// The one table of the plug-in's parameters: index, name, default and how each is shown. The engine, the
// programs, the editor's words and the command-line tool all read it.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace zephyrion {

enum ParameterIndex : std::int32_t {
    kVolume = 0,
    kAmpLo = 1,
    kAmpHi = 2,
    kFreqLo = 3,
    kFreqHi = 4,
    kMidiNote = 5,
    kFalloff = 6,
    kMidiChannel = 7,
    kMidiVelocity = 8,
    kOutMode = 9,
    kNoteOrCC = 10,
    kVeloSw = 11,
    kRelease = 12,
    kFreqMode = 13,
    kLookahead = 14,
};

// How a value is meant, for tools that show it in musical terms; the plug-in itself shows the normalised
// value with two decimals for every parameter.
enum class ParameterKind {
    Continuous, // a level or position 0..1
    Note,       // Round(value x 127): note number - 24, or the controller number
    Channel,    // Round(value x 15): channels 1..16
    Velocity,   // Round(value x 127)
    ThreeStep,  // Round(value x 10): steps 0.0, 0.1, 0.2
    Switch,     // on above 0.5
};

struct ParameterInfo {
    std::int32_t index;
    std::string_view name;
    float initial;
    ParameterKind kind;
};

inline constexpr std::int32_t kNumPrograms = 4;
inline constexpr std::int32_t kNumParams = 20;
inline constexpr std::int32_t kNumRealParams = 15;

inline constexpr std::array<ParameterInfo, kNumRealParams> kParameters{{
    {kVolume, "Volume", 0.5f, ParameterKind::Continuous},
    {kAmpLo, "Amp.Lo", 0.0f, ParameterKind::Continuous},
    {kAmpHi, "Amp.Hi", 0.4f, ParameterKind::Continuous},
    {kFreqLo, "Freq.Lo", 0.0f, ParameterKind::Continuous},
    {kFreqHi, "Freq.Hi", 1.0f, ParameterKind::Continuous},
    {kMidiNote, "Midi Note", 36.0f / 127.0f, ParameterKind::Note},
    {kFalloff, "Falloff", 0.8f, ParameterKind::Continuous},
    {kMidiChannel, "Midi Ch.", 0.0f, ParameterKind::Channel},
    {kMidiVelocity, "Midi Vel.", 1.0f, ParameterKind::Velocity},
    {kOutMode, "Out.Mode", 0.1f, ParameterKind::ThreeStep},
    {kNoteOrCC, "NoteOrCC", 0.0f, ParameterKind::Switch},
    {kVeloSw, "VeloSw", 0.0f, ParameterKind::Switch},
    {kRelease, "Release", 0.5f, ParameterKind::Continuous},
    {kFreqMode, "Freq.Mode", 0.0f, ParameterKind::ThreeStep},
    // Off by default: notes at the crossing and no latency, as before the option existed.
    {kLookahead, "Lookahead", 0.0f, ParameterKind::Switch},
}};

inline constexpr std::string_view kReservedName = "reserved";
inline constexpr std::string_view kParameterLabel = "%";

inline constexpr bool isRealParameter(std::int32_t index) {
    return index >= 0 && index < kNumRealParams;
}

// Every count, note, channel and step is rounded to the nearest integer with halves to even (the default
// rounding mode), from the stored float widened to double.
inline std::int32_t roundHalfEven(double value) {
    return static_cast<std::int32_t>(std::lrint(value));
}

// The step a three-step parameter plays: 0, 1 or 2. Values of 0.25 and above round to 3 or more and play as
// the last step, so the editor's word and the engine's behaviour agree.
inline std::int32_t threeStepOf(float value) {
    const std::int32_t step = roundHalfEven(static_cast<double>(value) * 10.0);
    return step < 0 ? 0 : (step > 2 ? 2 : step);
}

} // namespace zephyrion
