#include "tools/zephyrion/drum_groove.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace zcli {
namespace {

constexpr double kBeatsPerMinute = 60.0;
constexpr double kSlotSeconds = 60.0 / kBeatsPerMinute / 2.0; // eighth notes
constexpr double kTailSeconds = 1.0;

struct Slot {
    Drum drum;
    float strength;
};

constexpr std::array<Slot, 16> kPattern{{
    {Drum::Kick, 0.90f},
    {Drum::HiHat, 0.70f},
    {Drum::Snare, 0.85f},
    {Drum::HiHat, 0.65f},
    {Drum::Kick, 0.80f},
    {Drum::Kick, 0.75f},
    {Drum::Snare, 0.90f},
    {Drum::HiHat, 0.70f},
    {Drum::Kick, 0.90f},
    {Drum::HiHat, 0.65f},
    {Drum::Snare, 0.85f},
    {Drum::HiHat, 0.75f},
    {Drum::Kick, 0.85f},
    {Drum::HiHat, 0.70f},
    {Drum::Snare, 0.80f},
    {Drum::Kick, 0.75f},
}};

// The same noise on every run, so the demo's table never changes.
class Noise {
public:
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }

private:
    std::uint32_t state = 0x2545F491u;
};

// A falling sine: most of its weight at 50 to 80 Hz, with a short attack from higher up.
void addKick(std::vector<float>& out, std::size_t start, float strength, double rate) {
    const std::size_t length = static_cast<std::size_t>(0.35 * rate);
    double phase = 0.0;
    for (std::size_t i = 0; i < length && start + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double frequency = 50.0 + 130.0 * std::exp(-t / 0.025);
        phase += 2.0 * std::numbers::pi * frequency / rate;
        out[start + i] += static_cast<float>(strength * std::sin(phase) * std::exp(-t / 0.06));
    }
}

// A tone body under a longer burst of noise.
void addSnare(std::vector<float>& out, std::size_t start, float strength, double rate, Noise& noise) {
    const std::size_t length = static_cast<std::size_t>(0.25 * rate);
    for (std::size_t i = 0; i < length && start + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double body = 0.45 * std::sin(2.0 * std::numbers::pi * 330.0 * t) * std::exp(-t / 0.04);
        const double rattle = 0.55 * noise.next() * std::exp(-t / 0.06);
        out[start + i] += static_cast<float>(strength * (body + rattle));
    }
}

// Noise with its low end removed by a first difference, short and bright.
void addHiHat(std::vector<float>& out, std::size_t start, float strength, double rate, Noise& noise) {
    const std::size_t length = static_cast<std::size_t>(0.08 * rate);
    float previous = 0.0f;
    for (std::size_t i = 0; i < length && start + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const float white = noise.next();
        out[start + i] += static_cast<float>(strength * 0.6 * (white - previous) * std::exp(-t / 0.02));
        previous = white;
    }
}

} // namespace

std::string_view drumName(Drum drum) {
    switch (drum) {
    case Drum::Kick: return "kick";
    case Drum::Snare: return "snare";
    case Drum::HiHat: return "hi-hat";
    }
    return "drum";
}

DrumGroove synthesiseGroove(double sampleRate) {
    DrumGroove groove;
    groove.sampleRate = sampleRate;
    const double seconds = kSlotSeconds * static_cast<double>(kPattern.size()) + kTailSeconds;
    groove.samples.assign(static_cast<std::size_t>(seconds * sampleRate), 0.0f);
    Noise noise;
    for (std::size_t slot = 0; slot < kPattern.size(); ++slot) {
        const auto position =
            static_cast<std::int64_t>(std::lrint(static_cast<double>(slot) * kSlotSeconds * sampleRate));
        const auto start = static_cast<std::size_t>(position);
        const Slot& hit = kPattern[slot];
        switch (hit.drum) {
        case Drum::Kick: addKick(groove.samples, start, hit.strength, sampleRate); break;
        case Drum::Snare: addSnare(groove.samples, start, hit.strength, sampleRate, noise); break;
        case Drum::HiHat: addHiHat(groove.samples, start, hit.strength, sampleRate, noise); break;
        }
        groove.hits.push_back({position, hit.drum, hit.strength});
    }
    for (float& sample : groove.samples) {
        sample = std::clamp(sample, -1.0f, 1.0f);
    }
    return groove;
}

} // namespace zcli
