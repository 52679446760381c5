// The built plug-in library, loaded as a host loads it, finds the same notes at the same samples as the
// engine linked into this program.
#include <gtest/gtest.h>

#include "host/Plugin.h"
#include "tests/plugin/engine_harness.h"
#include "tests/support/PluginPath.h"

namespace zephyrion {
namespace {

TEST(RealLibrary, FindsTheSameNotesAtTheSameSamplesInAnyBlockSize) {
    testing::StereoBuffer input(30000);
    for (std::size_t at : {100u, 9000u, 21000u}) {
        input.left[at] = input.right[at] = 0.9f;
    }
    testing::EngineHarness reference;
    reference.set(kRelease, 1.0f);
    reference.run(input, 512);
    ASSERT_EQ(reference.midi.size(), 6u);

    for (std::size_t block : {1u, 512u, 4096u}) {
        auto plugin = vsthost::Plugin::load(testsupport::pluginPath());
        plugin->activate();
        plugin->setParameter(kRelease, 1.0f);
        vsthost::Channels inputs{input.left, input.right};
        vsthost::Channels outputs(2, std::vector<float>(input.size()));
        plugin->processReplacing(inputs, outputs, block);
        const auto events = plugin->midiEvents();
        ASSERT_EQ(events.size(), reference.midi.size()) << "block " << block;
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].position, reference.midi[i].position) << "block " << block;
            EXPECT_EQ(static_cast<std::uint8_t>(events[i].event.midiData[0]), reference.midi[i].status);
            EXPECT_EQ(static_cast<std::uint8_t>(events[i].event.midiData[1]), reference.midi[i].data1);
            EXPECT_EQ(static_cast<std::uint8_t>(events[i].event.midiData[2]), reference.midi[i].data2);
            EXPECT_EQ(events[i].event.deltaFrames,
                      reference.midi[i].position % static_cast<std::int64_t>(block));
        }
    }
}

} // namespace
} // namespace zephyrion
