#include <gtest/gtest.h>

#include "tests/plugin/engine_harness.h"

namespace zephyrion {
namespace {

using testing::EngineHarness;
using testing::impulse;
using testing::StereoBuffer;

TEST(MidiNotes, TheDefaultProgramTurnsOnePeakIntoOneNote) {
    EngineHarness host;
    host.run(impulse(20000, 100, 0.9f));
    ASSERT_EQ(host.midi.size(), 2u);
    const auto& on = host.midi[0];
    EXPECT_EQ(on.status, 0x90);
    EXPECT_EQ(on.data1, 60);
    EXPECT_EQ(on.data2, 127);
    EXPECT_EQ(on.position, 100);
    const auto& off = host.midi[1];
    EXPECT_EQ(off.status, 0x80);
    EXPECT_EQ(off.data1, 60);
    EXPECT_EQ(off.data2, 0);
    // About 12,930 samples inside the window from 0.9 down to 0.6, then the hold of 1005.
    EXPECT_NEAR(static_cast<double>(off.position - on.position), 13940.0, 10.0);
}

TEST(MidiNotes, EventsCarryTheSampleTheyAroseOn) {
    EngineHarness host;
    host.run(impulse(1024, 1000, 0.9f), 1024);
    ASSERT_EQ(host.midi.size(), 1u);
    EXPECT_EQ(host.midi[0].deltaFrames, 1000);
}

TEST(MidiNotes, ShortestHoldAndNoControlChangeInAShortPeriod) {
    // Window 0.98..1.0 and the fastest release: only the impulse's own sample is inside.
    EngineHarness host;
    host.set(kFalloff, 1.0f);
    host.set(kAmpHi, 0.02f);
    host.set(kRelease, 1.0f);
    host.run(impulse(100, 10, 0.99f));
    ASSERT_EQ(host.midi.size(), 2u);
    EXPECT_EQ(host.midi[0].position, 10);
    EXPECT_EQ(host.midi[1].position, 15);

    EngineHarness cc;
    cc.set(kFalloff, 1.0f);
    cc.set(kAmpHi, 0.02f);
    cc.set(kRelease, 1.0f);
    cc.set(kNoteOrCC, 1.0f);
    cc.run(StereoBuffer(50)); // leaves the countdown at its interval
    cc.run(impulse(100, 10, 0.99f));
    EXPECT_TRUE(cc.midi.empty());
}

TEST(MidiNotes, ControlChangesRepeatEveryIntervalWhileThePeriodLasts) {
    EngineHarness host;
    host.set(kFalloff, 1.0f); // ccInterval 10, hold 5
    host.set(kNoteOrCC, 1.0f);
    host.set(kMidiNote, 1.0f);
    host.run(StereoBuffer(5)); // silence, outside the window, holds the countdown at its interval
    EXPECT_TRUE(host.midi.empty());
    host.set(kVolume, 0.0f);
    host.run(StereoBuffer(35, 0.4f)); // a level of 0.8, inside the window on every sample
    ASSERT_EQ(host.midi.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(host.midi[i].status, 0xB0);
        EXPECT_EQ(host.midi[i].data1, 127);
        EXPECT_EQ(host.midi[i].position, 5 + 9 + 10 * static_cast<std::int64_t>(i));
    }
}

TEST(MidiNotes, ControlChangesKeepChannelOneAndNotesUseTheChannel) {
    EngineHarness host;
    host.set(kMidiChannel, 1.0f);
    host.run(impulse(20000, 0, 0.9f));
    ASSERT_EQ(host.midi.size(), 2u);
    EXPECT_EQ(host.midi[0].status, 0x9F);
    EXPECT_EQ(host.midi[1].status, 0x8F);

    host.midi.clear();
    host.set(kNoteOrCC, 1.0f);
    host.run(impulse(500, 0, 0.9f));
    ASSERT_FALSE(host.midi.empty());
    EXPECT_EQ(host.midi[0].status, 0xB0);
}

TEST(MidiNotes, NoteNumbersSpan24To100) {
    struct Case {
        float midiNote;
        int note;
    };
    for (const Case c :
         {Case{0.0f, 24}, Case{36.0f / 127.0f, 60}, Case{76.0f / 127.0f, 100}, Case{1.0f, 100}}) {
        EngineHarness host;
        host.set(kMidiNote, c.midiNote);
        host.run(impulse(100, 0, 0.9f));
        ASSERT_FALSE(host.midi.empty());
        EXPECT_EQ(host.midi[0].data1, c.note) << "midiNote " << c.midiNote;
    }
}

TEST(MidiNotes, FixedAndLevelDependentVelocity) {
    // A velocity of 0 would make the note-on a note-off: Midi Vel. 0, and anything rounding to it, sends 1.
    for (const float velocity : {0.0f, 0.003f}) {
        EngineHarness host;
        host.set(kMidiVelocity, velocity);
        host.run(impulse(100, 0, 0.9f));
        ASSERT_FALSE(host.midi.empty());
        EXPECT_EQ(host.midi[0].data2, 1) << "Midi Vel. " << velocity;
    }
    struct Case {
        float level;
        int velocity;
    };
    for (const Case c : {Case{0.6f, 91}, Case{0.8f, 109}, Case{1.0f, 127}}) {
        EngineHarness host;
        host.set(kMidiVelocity, 0.0f);
        host.set(kVeloSw, 1.0f);
        host.run(impulse(100, 0, c.level));
        ASSERT_FALSE(host.midi.empty());
        EXPECT_EQ(host.midi[0].data2, c.velocity) << "level " << c.level;
    }
}

TEST(MidiNotes, InvertedWindowVelocity) {
    // Amp.Lo 0.5 above Amp.Hi 0.2: upper bound 0.5, lower bound 0.8; a level of 0.9 lies above the lower one.
    EngineHarness host;
    host.set(kAmpLo, 0.5f);
    host.set(kAmpHi, 0.2f);
    host.set(kVeloSw, 1.0f);
    host.set(kMidiVelocity, 0.0f);
    host.run(
        StereoBuffer(2000)); // silence is inside an inverted window: note-on with base velocity, at least 1
    ASSERT_FALSE(host.midi.empty());
    EXPECT_TRUE(host.midi[0].isNoteOn());
    EXPECT_EQ(host.midi[0].data2, 1);

    EngineHarness loud;
    loud.set(kAmpLo, 0.5f);
    loud.set(kAmpHi, 0.05f); // upper bound 0.5, lower bound 0.95
    loud.set(kVeloSw, 1.0f);
    loud.set(kMidiVelocity, 0.0f);
    loud.set(kVolume, 0.0f);
    loud.run(StereoBuffer(1, 0.485f)); // level 0.97
    ASSERT_FALSE(loud.midi.empty());
    // (0.97 - 0.95 + 1) / (2 - 0.95) x 127 = 123.4
    EXPECT_EQ(loud.midi[0].data2, 123);
}

TEST(MidiNotes, APeakAboveTheWindowStartsTheNoteWhenItDecaysIntoIt) {
    EngineHarness host;
    host.set(kAmpLo, 0.3f); // window 0.6..0.7
    host.set(kVeloSw, 1.0f);
    host.set(kMidiVelocity, 0.0f);
    host.run(impulse(20000, 0, 0.95f));
    ASSERT_FALSE(host.midi.empty());
    EXPECT_GT(host.midi[0].position, 1000);
    // Entered at its upper edge: (0.7 - 0.6 + 1) / (0.1 + 1) x 127 = 127
    EXPECT_EQ(host.midi[0].data2, 127);
}

TEST(MidiNotes, FalloffOrReleaseSetDuringANoteEndItOnTheNextSample) {
    for (std::int32_t index : {kFalloff, kRelease}) {
        EngineHarness host;
        host.run(impulse(5000, 0, 0.9f));
        ASSERT_EQ(host.midi.size(), 1u);
        host.set(kAmpHi, 0.05f); // now the decayed envelope is outside
        host.set(index, 0.5f);
        EXPECT_FALSE(host.plugin().isNoteActive());
        host.run(StereoBuffer(3));
        ASSERT_EQ(host.midi.size(), 2u);
        EXPECT_TRUE(host.midi[1].isNoteOff());
        EXPECT_EQ(host.midi[1].position, 5000);
    }
}

TEST(MidiNotes, SuspendEndsThePeriodAtTheFirstSampleAfterResume) {
    EngineHarness host;
    host.set(kAmpHi, 0.1f);
    host.set(kRelease, 1.0f); // the envelope leaves the window within a few samples
    host.run(impulse(100, 0, 0.95f));
    ASSERT_EQ(host.midi.size(), 1u);
    host.dispatch(vst::effMainsChanged, 0, 0);
    EXPECT_EQ(host.midi.size(), 1u);
    host.dispatch(vst::effMainsChanged, 0, 1);
    host.run(StereoBuffer(3));
    ASSERT_EQ(host.midi.size(), 2u);
    EXPECT_TRUE(host.midi[1].isNoteOff());
    EXPECT_EQ(host.midi[1].position, 100);
}

TEST(MidiNotes, IncomingEventsAreAcceptedAndIgnored) {
    EngineHarness host;
    vst::VstEvents events{};
    EXPECT_EQ(host.dispatch(vst::effProcessEvents, 0, 0, &events), 1);
    EXPECT_EQ(host.dispatch(vst::effProcessEvents, 0, 0, nullptr), 1);
    EXPECT_TRUE(host.midi.empty());
}

} // namespace
} // namespace zephyrion
