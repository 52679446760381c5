#include "tests/support/Signals.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace testsupport {

Signal impulse(std::size_t length, std::size_t position, float amplitude) {
    Signal signal(length, 0.0f);
    if (position < length) {
        signal[position] = amplitude;
    }
    return signal;
}

Signal sine(std::size_t length, double frequency, double sampleRate, float amplitude) {
    return burst(length, 0, length, frequency, sampleRate, amplitude);
}

Signal burst(std::size_t length, std::size_t start, std::size_t burstLength, double frequency,
             double sampleRate, float amplitude) {
    Signal signal(length, 0.0f);
    const double step = 2.0 * std::numbers::pi * frequency / sampleRate;
    for (std::size_t i = start; i < length && i - start < burstLength; ++i) {
        signal[i] = amplitude * static_cast<float>(std::sin(step * static_cast<double>(i - start)));
    }
    return signal;
}

Signal kickHits(std::size_t length, const std::vector<std::size_t>& starts, double sampleRate, float level) {
    Signal signal(length, 0.0f);
    const double step = 2.0 * std::numbers::pi * 100.0 / sampleRate;
    const auto swellFrames = 0.002 * sampleRate;
    const auto decayFrames = 0.0136 * sampleRate;
    for (const std::size_t start : starts) {
        for (std::size_t i = start; i < length && i - start < 6 * static_cast<std::size_t>(decayFrames);
             ++i) {
            const auto t = static_cast<double>(i - start);
            const double swell = 0.6 + 0.4 * std::min(1.0, t / swellFrames);
            signal[i] += static_cast<float>(level * swell * std::exp(-t / decayFrames) * std::cos(step * t));
        }
    }
    return signal;
}

Signal toneHits(std::size_t length, const std::vector<std::size_t>& starts, double frequency,
                double decaySeconds, double sampleRate, float level) {
    Signal signal(length, 0.0f);
    const double step = 2.0 * std::numbers::pi * frequency / sampleRate;
    const double decayFrames = decaySeconds * sampleRate;
    for (const std::size_t start : starts) {
        for (std::size_t i = start; i < length && static_cast<double>(i - start) < 8.0 * decayFrames; ++i) {
            const auto t = static_cast<double>(i - start);
            signal[i] += static_cast<float>(level * std::exp(-t / decayFrames) * std::sin(step * t));
        }
    }
    return signal;
}

std::vector<Signal> stereo(const Signal& mono) {
    return {mono, mono};
}

std::vector<Signal> silentStereo(std::size_t length) {
    return {Signal(length, 0.0f), Signal(length, 0.0f)};
}

float peak(const Signal& signal) {
    float largest = 0.0f;
    for (float sample : signal) {
        largest = std::max(largest, std::fabs(sample));
    }
    return largest;
}

} // namespace testsupport
