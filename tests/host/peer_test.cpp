// The host against a real VST 2 trigger from Debian's lsp-plugins-vst, to show it is no mere mirror of the
// plug-ins written beside it.
#include <algorithm>

#include <gtest/gtest.h>

#include "host/Plugin.h"
#include "tests/support/PeerPlugins.h"
#include "tests/support/Signals.h"

namespace {

unsigned char statusOf(const vsthost::MidiRecord& record) {
    return static_cast<unsigned char>(record.event.midiData[0]) & 0xF0;
}

TEST(PeerPlugin, LspTriggerTurnsAHitIntoANoteAtTheRightPlace) {
    auto trigger = testsupport::loadLspTrigger();
    if (trigger == nullptr) {
        GTEST_SKIP() << testsupport::kLspTrigger << " is absent or not for this machine";
    }
    EXPECT_EQ(trigger->module().entryName(), "VSTPluginMain");
    EXPECT_EQ(trigger->effect().numInputs, 2);
    EXPECT_EQ(trigger->canDo("sendVstMidiEvent"), 1);

    constexpr std::size_t kHitAt = 10000;
    constexpr std::size_t kBlock = 512;
    auto inputs = testsupport::stereo(testsupport::burst(44100, kHitAt, 400, 1000.0, 44100.0, 0.9f));
    auto outputs = testsupport::silentStereo(44100);
    trigger->processReplacing(inputs, outputs, kBlock);

    auto events = trigger->midiEvents();
    ASSERT_GE(events.size(), 2u);
    const vsthost::MidiRecord& on = events.front();
    EXPECT_EQ(statusOf(on), 0x90);
    EXPECT_GT(static_cast<unsigned char>(on.event.midiData[2]), 0);
    // Its detector needs a few milliseconds of the burst before it fires, never a whole block's delay more.
    EXPECT_GE(on.position, static_cast<std::int64_t>(kHitAt));
    EXPECT_LT(on.position, static_cast<std::int64_t>(kHitAt + 2 * kBlock));
    auto off = std::find_if(events.begin() + 1, events.end(), [&](const vsthost::MidiRecord& record) {
        return statusOf(record) == 0x80 && record.event.midiData[1] == on.event.midiData[1];
    });
    ASSERT_NE(off, events.end());
    EXPECT_GT(off->position, on.position);
    for (const vsthost::MidiRecord& record : events) {
        EXPECT_EQ(record.block, record.position / static_cast<std::int64_t>(kBlock));
    }
    EXPECT_EQ(trigger->droppedMidiEvents(), 0u);
}

} // namespace
