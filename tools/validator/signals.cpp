#include "tools/validator/signals.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zvalidate {
namespace {

constexpr float kShortestBurst = 0.005f; // seconds
constexpr float kLongestBurst = 0.2f;
constexpr float kLongestGap = 0.3f;
constexpr float kQuietest = 0.05f;
// Floating-point audio goes past full scale in any mix; a detector must cope with that too.
constexpr float kLoudest = 2.0f;

} // namespace

float Random::uniform() {
    return std::uniform_real_distribution<float>(0.0f, 1.0f)(engine);
}

std::size_t Random::below(std::size_t count) {
    return count == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, count - 1)(engine);
}

float Random::parameterValue() {
    switch (below(4)) {
    case 0: return 0.0f;
    case 1: return 1.0f;
    default: return uniform();
    }
}

vsthost::Channels bursts(Random& random, std::size_t channels, std::size_t frames, float sampleRate) {
    vsthost::Channels audio(channels, std::vector<float>(frames, 0.0f));
    std::size_t position = 0;
    while (position < frames) {
        const auto gap = static_cast<std::size_t>(random.uniform() * kLongestGap * sampleRate);
        const auto length = static_cast<std::size_t>(
            (kShortestBurst + random.uniform() * (kLongestBurst - kShortestBurst)) * sampleRate);
        const float peak = kQuietest + random.uniform() * (kLoudest - kQuietest);
        // Falls to a thousandth over the burst, as a struck drum does.
        const float decay = std::pow(0.001f, 1.0f / static_cast<float>(std::max<std::size_t>(length, 1)));
        position += gap;
        float level = peak;
        for (std::size_t i = 0; i < length && position < frames; ++i, ++position) {
            for (std::vector<float>& channel : audio) {
                channel[position] = level * (2.0f * random.uniform() - 1.0f);
            }
            level *= decay;
        }
    }
    return audio;
}

vsthost::Channels constant(std::size_t channels, std::size_t frames, float value, bool alternating) {
    vsthost::Channels audio(channels, std::vector<float>(frames, value));
    if (alternating) {
        for (std::vector<float>& channel : audio) {
            for (std::size_t i = 1; i < frames; i += 2) {
                channel[i] = -value;
            }
        }
    }
    return audio;
}

bool firstNonFinite(const vsthost::Channels& channels, std::size_t& channel, std::size_t& frame) {
    for (channel = 0; channel < channels.size(); ++channel) {
        const std::vector<float>& samples = channels[channel];
        const auto found =
            std::find_if(samples.begin(), samples.end(), [](float s) { return !std::isfinite(s); });
        if (found != samples.end()) {
            frame = static_cast<std::size_t>(found - samples.begin());
            return true;
        }
    }
    return false;
}

float largestDifference(const vsthost::Channels& a, const vsthost::Channels& b, std::size_t first) {
    float largest = 0.0f;
    for (std::size_t c = 0; c < std::min(a.size(), b.size()); ++c) {
        const std::size_t length = std::min(a[c].size(), b[c].size());
        for (std::size_t i = first; i < length; ++i) {
            const float x = a[c][i];
            const float y = b[c][i];
            if (x == y || (std::isnan(x) && std::isnan(y))) {
                continue;
            }
            const float difference = std::fabs(x - y);
            // NaN against a number is the largest difference there is.
            largest = std::isnan(difference) ? std::numeric_limits<float>::infinity()
                                             : std::max(largest, difference);
        }
    }
    return largest;
}

} // namespace zvalidate
