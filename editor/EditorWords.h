// The words and number texts the editor shows: mode names, note names and the status line's percentages.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace editor {

// Indexed by the step a three-step value plays (zephyrion::threeStepOf).
inline constexpr std::array<std::string_view, 3> outModeNames{"Mute", "Proc.", "Orig."};
inline constexpr std::array<std::string_view, 3> freqModeNames{"linear", "exponential", "logarithmic"};
inline constexpr std::array<std::string_view, 3> freqModeShortNames{"lin", "exp", "log"};
inline constexpr int kNoteNameCount = 97;

// "C 0" .. "C 8": pitch name (a blank after natural notes), then the octave.
std::string noteName(int index);

// Reduces any whole number, negative ones included, to 0..count-1, so odd host values never index
// outside a table.
int wrapIndex(long value, int count);

// p, then "%", padded with zeros to at least three digits ("005%", "050%", "100%").
std::string percentText(int p);

} // namespace editor
