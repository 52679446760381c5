// The engine against the plain sample-by-sample chain: every MIDI message and every output sample must be
// the same, bit for bit, for every setting, block size, output mode and change between blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "plugin/engine/PeakEngine.h"
#include "tests/plugin/reference_chain.h"

namespace zephyrion {
namespace {

using testing::ReferenceChain;

// A small deterministic generator, the same on every target.
class Random {
public:
    explicit Random(std::uint32_t seed) : state(seed) {}
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    float uniform() { return static_cast<float>(next()) / 16777216.0f; }
    std::int32_t below(std::int32_t n) {
        return static_cast<std::int32_t>(next() % static_cast<std::uint32_t>(n));
    }

private:
    std::uint32_t state;
};

struct Stereo {
    std::vector<float> left, right;
};

// Drum-like material: decaying tones and noise bursts of random strength over quiet noise, and, when asked,
// the values a broken host may pass (NaN, infinities, huge values, denormals).
Stereo drums(std::size_t frames, std::uint32_t seed, bool hostile) {
    Random random(seed);
    Stereo s{std::vector<float>(frames), std::vector<float>(frames)};
    double phase = 0.0, step = 0.0, amplitude = 0.0, noise = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        if (random.below(400) == 0) {
            amplitude = 0.2 + 0.9 * random.uniform();
            step = 0.005 + 0.4 * random.uniform();
            noise = random.uniform();
        }
        phase += step;
        const double n = (random.uniform() - 0.5) * (0.002 + noise * amplitude);
        s.left[i] = static_cast<float>(amplitude * std::sin(phase) + n);
        s.right[i] = static_cast<float>(amplitude * std::sin(phase * 1.01) - n);
        amplitude *= 0.998;
    }
    if (hostile) {
        const float specials[] = {std::numeric_limits<float>::quiet_NaN(),
                                  std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::infinity(),
                                  1e30f,
                                  -1e30f,
                                  std::numeric_limits<float>::denorm_min(),
                                  3e38f};
        for (std::size_t i = 0; i < frames; i += 397) {
            s.left[i] = specials[i % std::size(specials)];
        }
    }
    return s;
}

struct Scenario {
    const char* name;
    std::vector<std::pair<std::int32_t, float>> settings;
};

const Scenario kScenarios[] = {
    {"defaults", {}},
    {"band pass, exponential",
     {{kRelease, 0.985f}, {kFalloff, 0.95f}, {kFreqLo, 0.2f}, {kFreqHi, 0.6f}, {kFreqMode, 0.1f}}},
    {"band pass, logarithmic",
     {{kRelease, 0.985f},
      {kFalloff, 0.95f},
      {kFreqLo, 0.2f},
      {kFreqHi, 0.6f},
      {kFreqMode, 0.2f},
      {kAmpHi, 0.9f}}},
    {"band stop, linear",
     {{kRelease, 0.985f}, {kFalloff, 0.95f}, {kFreqLo, 0.7f}, {kFreqHi, 0.3f}, {kAmpHi, 0.8f}}},
    {"equal edges, step past logarithmic",
     {{kRelease, 0.985f},
      {kFalloff, 0.95f},
      {kFreqLo, 0.5f},
      {kFreqHi, 0.5f},
      {kFreqMode, 0.6f},
      {kAmpHi, 0.95f}}},
    {"lowpass shut",
     {{kRelease, 0.985f}, {kFalloff, 0.95f}, {kFreqHi, 0.0f}, {kFreqMode, 0.1f}, {kAmpHi, 1.0f}}},
    {"inverted window, level velocity",
     {{kRelease, 0.985f},
      {kFalloff, 0.95f},
      {kAmpLo, 0.5f},
      {kAmpHi, 0.2f},
      {kVeloSw, 1.0f},
      {kMidiVelocity, 0.0f}}},
    {"normal window, level velocity",
     {{kRelease, 0.985f},
      {kFalloff, 0.95f},
      {kAmpLo, 0.1f},
      {kAmpHi, 0.7f},
      {kVeloSw, 1.0f},
      {kMidiVelocity, 0.4f}}},
    {"control changes",
     {{kRelease, 0.985f},
      {kFalloff, 0.95f},
      {kNoteOrCC, 1.0f},
      {kFalloff, 0.3f},
      {kAmpHi, 0.85f},
      {kOutMode, 0.2f}}},
    {"mute, short hold, loud", {{kOutMode, 0.0f}, {kFalloff, 1.0f}, {kVolume, 0.0f}, {kRelease, 1.0f}}},
    {"silent input", {{kVolume, 1.0f}, {kAmpHi, 1.0f}}},
};

class Comparison {
public:
    Comparison(const Scenario& scenario, float rate) {
        engine.setSampleRate(rate);
        oracle.setSampleRate(rate);
        for (const auto& [index, value] : scenario.settings) {
            set(index, value);
        }
    }

    void set(std::int32_t index, float value) {
        engine.setParameter(index, value);
        oracle.setParameter(index, value);
    }

    // Runs one block through both, in place when asked, and compares everything a host or the editor sees.
    std::size_t messagesCompared = 0;

    void block(const Stereo& input, std::size_t start, std::int32_t frames, OutputMode mode, bool inPlace) {
        Stereo a{{input.left.begin() + static_cast<std::ptrdiff_t>(start),
                  input.left.begin() + static_cast<std::ptrdiff_t>(start) + frames},
                 {input.right.begin() + static_cast<std::ptrdiff_t>(start),
                  input.right.begin() + static_cast<std::ptrdiff_t>(start) + frames}};
        Stereo b = a;
        Stereo outA{std::vector<float>(static_cast<std::size_t>(frames), 0.25f),
                    std::vector<float>(static_cast<std::size_t>(frames), -0.5f)};
        Stereo outB = outA;
        float* inputsA[2] = {a.left.data(), a.right.data()};
        float* inputsB[2] = {b.left.data(), b.right.data()};
        float* outputsA[2] = {outA.left.data(), outA.right.data()};
        float* outputsB[2] = {outB.left.data(), outB.right.data()};
        float** targetA = inPlace ? inputsA : outputsA;
        float** targetB = inPlace ? inputsB : outputsB;

        engineMidi.clear();
        oracleMidi.clear();
        engine.process(inputsA, targetA, frames, mode, sink);
        oracle.process(inputsB, targetB, frames, mode == OutputMode::Add, oracleMidi);

        ASSERT_EQ(engineMidi.size(), oracleMidi.size()) << "messages in the block at " << start;
        messagesCompared += engineMidi.size();
        for (std::size_t i = 0; i < engineMidi.size(); ++i) {
            const MidiMessage& e = engineMidi[i];
            const MidiMessage& o = oracleMidi[i];
            ASSERT_TRUE(e.status == o.status && e.data1 == o.data1 && e.data2 == o.data2 &&
                        e.frame == o.frame)
                << "message " << i << " of the block at " << start << ": " << int(e.status) << " "
                << int(e.data1) << " " << int(e.data2) << " @" << e.frame << " against " << int(o.status)
                << " " << int(o.data1) << " " << int(o.data2) << " @" << o.frame;
        }
        for (int channel = 0; channel < 2; ++channel) {
            ASSERT_EQ(std::memcmp(targetA[channel], targetB[channel],
                                  sizeof(float) * static_cast<std::size_t>(frames)),
                      0)
                << "output channel " << channel << " of the block at " << start;
        }
        ASSERT_EQ(engine.getMeterLevel(), oracle.meterLevel);
        ASSERT_EQ(engine.getMeterPeak(), oracle.meterPeak);
        ASSERT_EQ(engine.getEnvelope(), oracle.envelope);
        ASSERT_EQ(engine.isNoteActive(), oracle.noteActive);
    }

    PeakEngine engine;
    ReferenceChain oracle;
    std::vector<MidiMessage> engineMidi, oracleMidi;

private:
    struct Collector : MidiSink {
        explicit Collector(std::vector<MidiMessage>& target) : messages(target) {}
        void receive(const MidiMessage& message) override { messages.push_back(message); }
        std::vector<MidiMessage>& messages;
    } sink{engineMidi};
};

constexpr std::size_t kFrames = 12000;

TEST(EngineAgainstOracle, EverySettingAndBlockSize) {
    // 0 stands for random sizes from 1 to 3000.
    const std::int32_t blockSizes[] = {1, 7, 31, 32, 33, 64, 512, 1025, 4096, 0};
    std::uint32_t seed = 1;
    std::size_t messages = 0;
    for (const Scenario& scenario : kScenarios) {
        for (const std::int32_t size : blockSizes) {
            const bool hostile = seed % 3 == 0;
            const Stereo input = drums(kFrames, seed, hostile);
            const OutputMode mode = seed % 2 == 0 ? OutputMode::Add : OutputMode::Replace;
            const bool inPlace = seed % 4 == 1;
            Random random(seed++);
            Comparison both(scenario, 44100.0f);
            SCOPED_TRACE(::testing::Message() << scenario.name << ", blocks of " << size);
            for (std::size_t start = 0; start < kFrames;) {
                const std::int32_t wanted = size > 0 ? size : 1 + random.below(3000);
                const auto frames = static_cast<std::int32_t>(std::min<std::size_t>(wanted, kFrames - start));
                both.block(input, start, frames, mode, inPlace);
                if (::testing::Test::HasFatalFailure()) {
                    return;
                }
                start += static_cast<std::size_t>(frames);
            }
            messages += both.messagesCompared;
        }
    }
    // The material must make the engine talk, or the comparison proves little.
    EXPECT_GT(messages, 800u);
}

TEST(EngineAgainstOracle, AutomationBetweenBlocks) {
    // Any parameter may change between two blocks, Falloff and Release included (they end a sounding note),
    // and the host may suspend or change the rate.
    for (std::uint32_t seed = 100; seed < 106; ++seed) {
        Random random(seed);
        const Stereo input = drums(3 * kFrames, seed, seed % 2 == 0);
        Comparison both(kScenarios[seed % std::size(kScenarios)], 48000.0f);
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        for (std::size_t start = 0; start < input.left.size();) {
            for (std::int32_t changes = random.below(4); changes > 0; --changes) {
                // The lookahead moves messages by design; the oracle knows only the timing without it.
                const std::int32_t drawn = random.below(kNumParams - 1);
                const std::int32_t index = drawn < kLookahead ? drawn : drawn + 1;
                const float value = random.below(8) == 0 ? 1.0f : random.uniform();
                both.set(index, value);
            }
            if (random.below(40) == 0) {
                both.engine.suspend();
                both.oracle.suspend();
            }
            if (random.below(60) == 0) {
                both.engine.setSampleRate(22050.0f);
                both.oracle.setSampleRate(22050.0f);
            }
            const std::int32_t wanted = 1 + random.below(random.below(2) == 0 ? 40 : 2000);
            const auto frames =
                static_cast<std::int32_t>(std::min<std::size_t>(wanted, input.left.size() - start));
            both.block(input, start, frames, random.below(2) == 0 ? OutputMode::Add : OutputMode::Replace,
                       random.below(3) == 0);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
            start += static_cast<std::size_t>(frames);
        }
    }
}

} // namespace
} // namespace zephyrion
