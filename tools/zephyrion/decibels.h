// Levels in decibels relative to full scale, and back. A level of 0 reads as -180 dB, far below anything a
// band can hold.
#pragma once

#include <algorithm>
#include <cmath>

namespace zcli {

inline double decibelsOf(double level) {
    return 20.0 * std::log10(std::max(1e-9, level));
}

inline double levelOfDecibels(double decibels) {
    return std::pow(10.0, decibels / 20.0);
}

} // namespace zcli
