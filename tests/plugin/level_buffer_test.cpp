// The level buffer a host attaches through effVendorSpecific: the real library, loaded as a host loads it,
// writes the levels the engine linked into this program computes, keeps its MIDI as it was, writes
// nothing into a call too long for the buffer and takes the buffer only while suspended.
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/Plugin.h"
#include "plugin/engine/PeakEngine.h"
#include "tests/support/PluginPath.h"
#include "tests/support/Signals.h"
#include "vst/LevelExtension.h"

namespace zephyrion {
namespace {

constexpr std::size_t kFrames = 20000;
const std::vector<std::size_t> kHits{1000, 9000, 15000};

// The kick preset's band, whose notes end soon after each hit.
constexpr std::pair<std::int32_t, float> kKickBand[] = {
    {kFreqHi, 0.08f}, {kFreqMode, 0.1f}, {kAmpHi, 0.85f}, {kFalloff, 0.95f}, {kRelease, 0.95f}};

struct NullSink : MidiSink {
    void receive(const MidiMessage&) override {}
};

TEST(LevelBuffer, HoldsTheEnginesLevelsAndLeavesTheMidiAsItWas) {
    const std::vector<float> input = testsupport::kickHits(kFrames, kHits, 44100.0, 0.9f);
    for (const float lookahead : {0.0f, 1.0f}) {
        PeakEngine engine;
        for (const auto& [index, value] : kKickBand) {
            engine.setParameter(index, value);
        }
        engine.setParameter(kLookahead, lookahead);
        std::vector<float> expected(kFrames), out(kFrames);
        const float* inputs[2] = {input.data(), input.data()};
        float* outputs[2] = {out.data(), out.data()};
        NullSink sink;
        engine.process(inputs, outputs, static_cast<std::int32_t>(kFrames), OutputMode::Replace, sink,
                       expected.data());

        for (const std::size_t block : {64u, 1000u, 4096u}) {
            SCOPED_TRACE(::testing::Message() << "lookahead " << lookahead << ", block " << block);
            auto plain = vsthost::Plugin::load(testsupport::pluginPath());
            auto measured = vsthost::Plugin::load(testsupport::pluginPath());
            std::vector<float> levels(block);
            ASSERT_TRUE(measured->attachLevels(levels.data(), static_cast<vst::VstInt32>(block)));
            std::vector<float> written;
            for (auto* plugin : {plain.get(), measured.get()}) {
                plugin->activate();
                for (const auto& [index, value] : kKickBand) {
                    plugin->setParameter(index, value);
                }
                plugin->setParameter(kLookahead, lookahead);
                std::vector<float> left = input, right = input, outLeft(block), outRight(block);
                for (std::size_t at = 0; at < kFrames; at += block) {
                    const std::size_t frames = std::min(block, kFrames - at);
                    float* blockInputs[2] = {left.data() + at, right.data() + at};
                    float* blockOutputs[2] = {outLeft.data(), outRight.data()};
                    plugin->processBlock(vsthost::ProcessMode::Replacing, blockInputs, blockOutputs,
                                         static_cast<vst::VstInt32>(frames));
                    if (plugin == measured.get()) {
                        written.insert(written.end(), levels.begin(),
                                       levels.begin() + static_cast<std::ptrdiff_t>(frames));
                    }
                }
            }
            EXPECT_EQ(written, expected) << "per input frame, undelayed by the lookahead";
            const auto plainMidi = plain->midiEvents();
            const auto measuredMidi = measured->midiEvents();
            ASSERT_EQ(plainMidi.size(), 2 * kHits.size());
            ASSERT_EQ(measuredMidi.size(), plainMidi.size());
            for (std::size_t i = 0; i < plainMidi.size(); ++i) {
                EXPECT_EQ(measuredMidi[i].position, plainMidi[i].position);
                EXPECT_EQ(std::memcmp(measuredMidi[i].event.midiData, plainMidi[i].event.midiData, 3), 0);
            }
        }
    }
}

TEST(LevelBuffer, OnlyWhileSuspendedNeverPastItsCapacity) {
    auto plugin = vsthost::Plugin::load(testsupport::pluginPath());
    std::vector<float> levels(512, -1.0f);
    const auto attach = [&](vst::VstInt32 index, vst::VstIntPtr value, vst::LevelBuffer* buffer) {
        return plugin->dispatch(vst::effVendorSpecific, index, value, buffer);
    };
    vst::LevelBuffer good{levels.data(), 256};
    vst::LevelBuffer empty{levels.data(), 0};
    vst::LevelBuffer nowhere{nullptr, 256};
    const struct {
        const char* what;
        vst::VstInt32 index;
        vst::VstIntPtr value;
        vst::LevelBuffer* buffer;
        vst::VstIntPtr answer;
    } requests[] = {
        {"another index", vst::kLevelExtensionIndex + 1, vst::kLevelExtensionValue, &good, 0},
        {"another value", vst::kLevelExtensionIndex, 0, &good, 0},
        {"no capacity", vst::kLevelExtensionIndex, vst::kLevelExtensionValue, &empty, 0},
        {"no levels", vst::kLevelExtensionIndex, vst::kLevelExtensionValue, &nowhere, 0},
        {"detach", vst::kLevelExtensionIndex, vst::kLevelExtensionValue, nullptr, 1},
        {"attach", vst::kLevelExtensionIndex, vst::kLevelExtensionValue, &good, 1},
    };
    for (const auto& request : requests) {
        EXPECT_EQ(attach(request.index, request.value, request.buffer), request.answer) << request.what;
    }
    plugin->activate();
    EXPECT_FALSE(plugin->attachLevels(nullptr, 0)) << "resumed";
    EXPECT_FALSE(plugin->attachLevels(levels.data(), 512)) << "resumed";

    const std::vector<float> input = testsupport::kickHits(512, {0}, 44100.0, 0.9f);
    std::vector<float> left = input, right = input, outLeft(512), outRight(512);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    // A call longer than the capacity gets no levels; one that fits gets its own frames only.
    plugin->processBlock(vsthost::ProcessMode::Replacing, inputs, outputs, 257);
    EXPECT_EQ(levels, std::vector<float>(512, -1.0f));
    plugin->processBlock(vsthost::ProcessMode::Accumulating, inputs, outputs, 256);
    EXPECT_GT(levels[255], 0.0f);
    EXPECT_EQ(std::vector<float>(levels.begin() + 256, levels.end()), std::vector<float>(256, -1.0f));

    plugin->suspend();
    EXPECT_TRUE(plugin->attachLevels(nullptr, 0));
    plugin->resume();
    std::fill(levels.begin(), levels.end(), -1.0f);
    plugin->processBlock(vsthost::ProcessMode::Replacing, inputs, outputs, 256);
    EXPECT_EQ(levels, std::vector<float>(512, -1.0f)) << "detached";
}

} // namespace
} // namespace zephyrion
