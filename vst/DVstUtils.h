// Small helpers shared by the effect classes.
#pragma once

#include <cstddef>

#include "vst/DAEffect.h"

namespace vst {

// Packs four characters into one integer, the first in the most significant byte.
constexpr VstInt32 FourCharCode(char c1, char c2, char c3, char c4) {
    return static_cast<VstInt32>((static_cast<unsigned>(static_cast<unsigned char>(c1)) << 24) |
                                 (static_cast<unsigned>(static_cast<unsigned char>(c2)) << 16) |
                                 (static_cast<unsigned>(static_cast<unsigned char>(c3)) << 8) |
                                 static_cast<unsigned>(static_cast<unsigned char>(c4)));
}

// Writes `value` as fixed-point text with two decimals and the locale's decimal separator, at most
// `size` bytes including the terminating zero.
void FloatToDisplayText(char* text, std::size_t size, float value);

// Copies `source` whole, with its terminating zero, never writing more than `size` bytes.
void copyText(char* destination, const char* source, std::size_t size);

// Round to nearest with halves to even, in double precision; NaN gives 0 and out-of-range values saturate.
long roundHalfEven(double value);

} // namespace vst
