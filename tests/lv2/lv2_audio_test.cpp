// The LV2 plug-in, run by a lilv host, sends exactly the MIDI messages at exactly the frames, and writes
// exactly the samples, that the VST 2 build does for the same audio and parameters, in any block size.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/Plugin.h"
#include "lv2/Lv2Ports.h"
#include "plugin/parameters.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/support/PluginPath.h"
#include "tools/zephyrion/drum_groove.h"

namespace lv2test {
namespace {

using namespace zephyrion;
using Settings = std::vector<std::pair<std::int32_t, float>>;

constexpr double kRate = 44100.0;

const zcli::DrumGroove& groove() {
    static const zcli::DrumGroove made = zcli::synthesiseGroove(kRate);
    return made;
}

std::unique_ptr<vsthost::Plugin> loadVst() {
    vsthost::HostSettings settings;
    settings.sampleRate = static_cast<float>(kRate);
    auto plugin = vsthost::Plugin::load(testsupport::pluginPath(), settings);
    plugin->activate();
    return plugin;
}

Outcome runVst(vsthost::Plugin& plugin, const std::vector<float>& mono, std::size_t block) {
    const vsthost::Channels inputs{mono, mono};
    vsthost::Channels outputs(2, std::vector<float>(mono.size()));
    plugin.processReplacing(inputs, outputs, block);
    Outcome result;
    for (const vsthost::MidiRecord& record : plugin.midiEvents()) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(record.event.midiData);
        result.midi.push_back({record.position, std::vector<std::uint8_t>(data, data + 3)});
    }
    result.left = std::move(outputs[0]);
    result.right = std::move(outputs[1]);
    return result;
}

void expectSameRun(const Outcome& lv2, const Outcome& vst, const std::string& what) {
    EXPECT_EQ(lv2.midi, vst.midi) << what;
    EXPECT_TRUE(lv2.left == vst.left && lv2.right == vst.right) << what << ": the audio differs";
    EXPECT_EQ(lv2.allocationsInRun, 0u) << what;
}

struct Case {
    const char* name;
    Settings settings;
};

const Case kCases[] = {
    {"defaults", {}},
    {"kicks alone, exponential", {{kFreqMode, 0.1f}, {kFreqLo, 0.2f}, {kFreqHi, 0.6f}, {kAmpHi, 0.7f}}},
    {"controllers, original audio", {{kNoteOrCC, 1.0f}, {kOutMode, 0.2f}, {kFalloff, 0.3f}}},
    {"level velocity, channel 5", {{kVeloSw, 1.0f}, {kMidiVelocity, 0.2f}, {kMidiChannel, 4.0f / 15.0f}}},
    {"inverted window, slow release", {{kAmpLo, 0.6f}, {kAmpHi, 0.2f}, {kRelease, 0.9f}, {kVolume, 0.3f}}},
    {"lookahead, kicks", {{kLookahead, 1.0f}, {kFreqMode, 0.1f}, {kFreqHi, 0.08f}, {kAmpHi, 0.9f}}},
};

TEST(Lv2Audio, SameEventsAndSamplesAsTheVstBuildInEveryBlockSize) {
    Lv2World world;
    ASSERT_NE(world.plugin(), nullptr);
    for (const Case& c : kCases) {
        for (const std::size_t block : {1u, 64u, 512u, 4096u}) {
            Lv2Instance lv2(world, kRate);
            auto vst = loadVst();
            for (const auto& [index, value] : c.settings) {
                lv2.setParameter(index, value);
                vst->setParameter(index, value);
            }
            const Outcome expected = runVst(*vst, groove().samples, block);
            ASSERT_FALSE(expected.midi.empty()) << c.name;
            expectSameRun(lv2.run(groove().samples, groove().samples, block), expected,
                          std::string(c.name) + ", block " + std::to_string(block));
            EXPECT_EQ(lv2.control(zephyrion::lv2::kLatencyPort),
                      static_cast<float>(vst->effect().initialDelay))
                << c.name;
        }
    }
}

TEST(Lv2Audio, EveryPresetPlaysAsTheProgramOfTheSameName) {
    Lv2World world;
    const auto presets = world.presets();
    ASSERT_EQ(presets.size(), static_cast<std::size_t>(kNumPrograms));
    for (std::int32_t program = 0; program < kNumPrograms; ++program) {
        auto vst = loadVst();
        EXPECT_EQ(presets[static_cast<std::size_t>(program)].first, vst->programNameIndexed(program));
        Lv2Instance lv2(world, kRate);
        // Away from the defaults first, so the preset has something to restore.
        for (const ParameterInfo& parameter : kParameters) {
            lv2.setParameter(parameter.index, 1.0f - parameter.initial);
        }
        ASSERT_TRUE(lv2.applyPreset(presets[static_cast<std::size_t>(program)].second));
        vst->setProgram(program);
        expectSameRun(lv2.run(groove().samples, groove().samples, 512), runVst(*vst, groove().samples, 512),
                      presets[static_cast<std::size_t>(program)].first);
    }
}

// A host writes every control before every run. Falloff and Release end a sounding note when they are set,
// so only a real change may reach the engine: an unchanged value leaves the notes as they were, and a
// change acts where the VST 2 build's setParameter does.
TEST(Lv2Audio, ControlsReachTheEngineOnlyWhenTheyChange) {
    Lv2World world;
    const std::vector<float>& mono = groove().samples;
    const std::size_t half = mono.size() / 2 + 37;
    const std::vector<float> first(mono.begin(), mono.begin() + static_cast<std::ptrdiff_t>(half));
    const std::vector<float> second(mono.begin() + static_cast<std::ptrdiff_t>(half), mono.end());
    for (const float falloff : {kParameters[kFalloff].initial, 0.2f}) {
        Lv2Instance lv2(world, kRate);
        auto vst = loadVst();
        Outcome lv2Run = lv2.run(first, first, 64);
        Outcome vstRun = runVst(*vst, first, 64);
        lv2.setParameter(kFalloff, falloff);
        if (falloff != kParameters[kFalloff].initial) {
            vst->setParameter(kFalloff, falloff);
        }
        vst->clearRecords();
        const Outcome lv2Rest = lv2.run(second, second, 64);
        const Outcome vstRest = runVst(*vst, second, 64);
        for (MidiAt midi : lv2Rest.midi) {
            midi.frame += static_cast<std::int64_t>(half);
            lv2Run.midi.push_back(midi);
        }
        vstRun.midi.insert(vstRun.midi.end(), vstRest.midi.begin(), vstRest.midi.end());
        EXPECT_EQ(lv2Run.midi, vstRun.midi) << "Falloff " << falloff;
    }
}

// A host's buffer too small for every message keeps whole events only: each block's sequence then holds
// the first messages of that block, never a torn one.
TEST(Lv2Audio, AFullMidiBufferDropsWholeMessages) {
    Lv2World world;
    Lv2Instance full(world, kRate);
    full.setParameter(kNoteOrCC, 1.0f);
    const Outcome all = full.run(groove().samples, groove().samples, 4096);
    // The sequence's header (16 bytes) and one event of 24 bytes, but not two.
    Lv2Instance small(world, kRate);
    small.setParameter(kNoteOrCC, 1.0f);
    const Outcome cut = small.run(groove().samples, groove().samples, 4096, 16 + 24 + 23);
    std::vector<MidiAt> firstOfEachBlock;
    for (const MidiAt& midi : all.midi) {
        if (firstOfEachBlock.empty() || firstOfEachBlock.back().frame / 4096 != midi.frame / 4096) {
            firstOfEachBlock.push_back(midi);
        }
    }
    ASSERT_LT(firstOfEachBlock.size(), all.midi.size());
    EXPECT_EQ(cut.midi, firstOfEachBlock);
}

} // namespace
} // namespace lv2test
