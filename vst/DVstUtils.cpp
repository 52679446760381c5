#include "vst/DVstUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace vst {

void FloatToDisplayText(char* text, std::size_t size, float value) {
    if (text == nullptr || size == 0) {
        return;
    }
    // snprintf takes the decimal separator from the numeric locale the host process runs with.
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.2f", static_cast<double>(value));
    copyText(text, digits, size);
}

void copyText(char* destination, const char* source, std::size_t size) {
    if (destination == nullptr || size == 0) {
        return;
    }
    std::size_t length = 0;
    if (source != nullptr) {
        length = std::min(std::strlen(source), size - 1);
        std::memcpy(destination, source, length);
    }
    destination[length] = '\0';
}

long roundHalfEven(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double lowest = static_cast<double>(std::numeric_limits<int>::min());
    constexpr double highest = static_cast<double>(std::numeric_limits<int>::max());
    if (value <= lowest) {
        return std::numeric_limits<int>::min();
    }
    if (value >= highest) {
        return std::numeric_limits<int>::max();
    }
    return std::lrint(value);
}

} // namespace vst
