// Where a host or a receiver would otherwise see a hanging note, a stray note-off or early events.
#include <gtest/gtest.h>

#include "tests/plugin/engine_harness.h"

namespace zephyrion {
namespace {

using testing::EngineHarness;
using testing::impulse;
using testing::StereoBuffer;

TEST(MendedFaults, NoteOffEndsItsOwnNoteAfterAChannelChange) {
    EngineHarness host;
    host.set(kMidiChannel, 3.0f / 15.0f);
    host.run(impulse(1000, 0, 0.9f));
    host.set(kMidiChannel, 9.0f / 15.0f);
    host.set(kMidiNote, 0.5f);
    host.run(StereoBuffer(20000));
    ASSERT_EQ(host.midi.size(), 2u);
    EXPECT_EQ(host.midi[0].status, 0x93);
    EXPECT_EQ(host.midi[1].status, 0x83);
    EXPECT_EQ(host.midi[1].data1, host.midi[0].data1);
}

TEST(MendedFaults, ControllerModeEndsASoundingNoteAtTheNextSample) {
    EngineHarness host;
    host.run(impulse(1000, 0, 0.9f));
    ASSERT_EQ(host.midi.size(), 1u);
    host.set(kNoteOrCC, 1.0f);
    host.run(StereoBuffer(20000));
    int noteOffs = 0;
    for (std::size_t i = 1; i < host.midi.size(); ++i) {
        const auto& message = host.midi[i];
        if (message.isNoteOff()) {
            ++noteOffs;
            EXPECT_EQ(message.status, 0x80);
            EXPECT_EQ(message.data1, 60);
            EXPECT_EQ(message.position, 1000);
        } else {
            // The control changes go on as before.
            EXPECT_TRUE(message.isControlChange());
        }
    }
    EXPECT_EQ(noteOffs, 1);
}

TEST(MendedFaults, NoStrayNoteOffWhenNoteModeReturnsDuringAControllerPeriod) {
    EngineHarness host;
    host.set(kNoteOrCC, 1.0f);
    host.run(impulse(1000, 0, 0.9f));
    host.set(kNoteOrCC, 0.0f);
    host.run(StereoBuffer(20000));
    for (const auto& message : host.midi) {
        EXPECT_FALSE(message.isNoteOff()) << "at " << message.position;
    }
    // The next peak starts a note as usual, and its note-off follows.
    host.midi.clear();
    host.run(impulse(20000, 0, 0.9f));
    ASSERT_EQ(host.midi.size(), 2u);
    EXPECT_TRUE(host.midi[0].isNoteOn());
    EXPECT_TRUE(host.midi[1].isNoteOff());
}

TEST(MendedFaults, EveryNoteOnIsMatchedByOneNoteOffWhateverTheModeChanges) {
    EngineHarness host;
    host.set(kFalloff, 0.99f);
    StereoBuffer input(40000);
    for (std::size_t at = 0; at < input.size(); at += 700) {
        input.left[at] = input.right[at] = 0.7f + 0.3f * static_cast<float>(at % 3) / 2.0f;
    }
    host.set(kRelease, 1.0f);
    int sounding = 0;
    host.onMidi = [&](const testing::MidiMessage& message) {
        if (message.isNoteOn()) {
            EXPECT_EQ(sounding, 0) << "second note-on at " << message.position;
            ++sounding;
        } else if (message.isNoteOff()) {
            EXPECT_EQ(sounding, 1) << "stray note-off at " << message.position;
            --sounding;
        }
    };
    for (std::size_t block = 0; block < 40; ++block) {
        host.set(kNoteOrCC, (block % 7) == 3 ? 1.0f : 0.0f);
        host.set(kMidiChannel, static_cast<float>(block % 16) / 15.0f);
        StereoBuffer part(1000);
        std::copy_n(input.left.begin() + block * 1000, 1000, part.left.begin());
        std::copy_n(input.right.begin() + block * 1000, 1000, part.right.begin());
        host.run(part, 333);
    }
    host.set(kNoteOrCC, 0.0f);
    host.run(StereoBuffer(2000));
    EXPECT_EQ(sounding, 0);
}

} // namespace
} // namespace zephyrion
