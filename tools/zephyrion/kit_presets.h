// The kit presets --band starts from: General MIDI drum notes on channel 10, each with a frequency window
// where its drum has most of its energy, written as the band settings a user would give.
#pragma once

#include "plugin/parameters.h"

#include <array>
#include <optional>
#include <string_view>

namespace zcli {

// A frequency edge --auto may move: the values it tries, the preset's own first.
struct EdgeChoices {
    zephyrion::ParameterIndex edge;
    std::array<float, 2> values;
};

struct KitPreset {
    std::string_view name;
    std::string_view settings; // KEY=VALUE,... as after "--band NAME:"
    std::optional<EdgeChoices> autoEdge = std::nullopt;
};

// Release and Falloff 0.95 end a note soon after its hit, so the next hit of a fast groove starts a new one.
inline constexpr std::string_view kKitCommon = "channel=10,freq-mode=exponential,Release=0.95,Falloff=0.95";

inline constexpr KitPreset kKitPresets[] = {
    // How much of the snare a kick's band hears differs from kit to kit; a lower lowpass edge still hears
    // every
    // kick. On real kits a higher one (0.20) split some kits' kicks by strength, and every other value tried
    // for the snare's and the hi-hat's edges lost hits in some kit.
    {"kick", "note=36,Freq.Hi=0.15,Amp.Hi=0.85", EdgeChoices{zephyrion::kFreqHi, {0.15f, 0.10f}}},
    {"snare", "note=38,Freq.Lo=0.25,Freq.Hi=0.8,Amp.Hi=0.65"},
    {"hihat", "note=42,Freq.Lo=0.93,Amp.Hi=0.9,bleed=keep"},
    {"toms", "note=45,Freq.Lo=0.15,Freq.Hi=0.3,Amp.Hi=0.8"},
};

} // namespace zcli
