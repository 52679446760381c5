#include <cmath>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "tests/plugin/engine_harness.h"
#include "tests/support/Signals.h"

namespace zephyrion {
namespace {

using testing::EngineHarness;
using testing::StereoBuffer;

StereoBuffer hits(std::size_t frames, const std::vector<std::size_t>& starts) {
    StereoBuffer buffer;
    buffer.left = testsupport::kickHits(frames, starts, 44100.0, 0.9f);
    buffer.right = buffer.left;
    return buffer;
}

void useKickBand(EngineHarness& host) {
    host.set(kFreqHi, 0.08f);
    host.set(kFreqMode, 0.1f);
    host.set(kAmpHi, 0.9f);
    host.set(kFalloff, 0.99f);
    host.set(kRelease, 0.99f);
}

std::vector<testing::MidiMessage> notesOf(const EngineHarness& host) {
    std::vector<testing::MidiMessage> notes;
    for (const auto& message : host.midi) {
        if (message.isNoteOn() || message.isNoteOff()) {
            notes.push_back(message);
        }
    }
    return notes;
}

TEST(Lookahead, NotesLandOnTheHitAfterTheReportedLatency) {
    constexpr std::size_t kHitAt = 20000;
    const StereoBuffer input = hits(40000, {kHitAt});

    EngineHarness raw;
    useKickBand(raw);
    raw.run(input, 64);
    const auto rawNotes = notesOf(raw);
    ASSERT_EQ(rawNotes.size(), 2u);
    ASSERT_GT(rawNotes[0].position, static_cast<std::int64_t>(kHitAt + 100))
        << "the band makes the raw note late";

    for (const std::size_t block : {1u, 64u, 4096u}) {
        SCOPED_TRACE(::testing::Message() << "block " << block);
        EngineHarness host;
        useKickBand(host);
        host.set(kOutMode, 0.2f); // the input itself, to see the audio's delay
        host.set(kLookahead, 1.0f);
        const std::int32_t latency = host.effect()->initialDelay;
        EXPECT_EQ(latency, 1103); // 25 ms at 44.1 kHz
        EXPECT_NE(std::find(host.opcodes.begin(), host.opcodes.end(), vst::audioMasterIOChanged),
                  host.opcodes.end());

        const StereoBuffer output = host.run(input, block);
        const auto notes = notesOf(host);
        ASSERT_EQ(notes.size(), 2u);
        EXPECT_TRUE(notes[0].isNoteOn());
        EXPECT_EQ(notes[0].position - latency, static_cast<std::int64_t>(kHitAt));
        EXPECT_EQ(notes[1].position - notes[0].position, rawNotes[1].position - rawNotes[0].position)
            << "the note keeps its length";
        for (std::size_t i = 0; i + static_cast<std::size_t>(latency) < input.size(); i += 97) {
            ASSERT_EQ(output.left[i + static_cast<std::size_t>(latency)], input.left[i]) << "frame " << i;
        }
    }
}

TEST(Lookahead, AHiHatJustBeforeTheKickDoesNotTakeItsNote) {
    constexpr std::size_t kKickAt = 20000;
    // 3 ms before: the kick's low band starts clearly later. 1 ms before: the start is highs alone.
    for (const std::size_t lead : {132u, 44u}) {
        SCOPED_TRACE(::testing::Message() << "hi-hat " << lead << " frames before");
        const std::size_t hatAt = kKickAt - lead;
        StereoBuffer input = hits(40000, {kKickAt});
        const auto hat = testsupport::toneHits(40000, {hatAt}, 8000.0, 0.02, 44100.0, 0.5f);
        for (std::size_t i = 0; i < hat.size(); ++i) {
            input.left[i] += hat[i];
            input.right[i] += hat[i];
        }
        EngineHarness host;
        useKickBand(host);
        host.set(kLookahead, 1.0f);
        host.run(input, 64);
        const auto notes = notesOf(host);
        ASSERT_EQ(notes.size(), 2u);
        const std::int64_t start = notes[0].position - host.effect()->initialDelay;
        EXPECT_GT(start, static_cast<std::int64_t>(hatAt + 22)) << "half a millisecond after the hi-hat";
        EXPECT_LE(start, static_cast<std::int64_t>(kKickAt + 11))
            << "within a quarter millisecond of the kick";
    }
}

TEST(Lookahead, AHiHatOverADecayingBodyLandsOnItsOwnStart) {
    // The body's zero crossings look like pauses to the whole input; a band that hears only highs looks in
    // the highs instead.
    constexpr std::size_t kHatAt = 20000;
    StereoBuffer input;
    input.left = testsupport::toneHits(40000, {kHatAt}, 8000.0, 0.02, 44100.0, 0.5f);
    for (std::size_t i = 0; i < input.left.size(); ++i) {
        input.left[i] +=
            0.3f *
            static_cast<float>(std::sin(2.0 * std::numbers::pi * 60.0 * static_cast<double>(i) / 44100.0));
    }
    input.right = input.left;
    EngineHarness host;
    host.set(kFreqMode, 0.1f);
    host.set(kFreqLo, 0.93f);
    host.set(kAmpHi, 0.9f);
    host.set(kLookahead, 1.0f);
    host.run(input, 64);
    const auto notes = notesOf(host);
    ASSERT_FALSE(notes.empty());
    const std::int64_t start = notes[0].position - host.effect()->initialDelay;
    EXPECT_GE(start, static_cast<std::int64_t>(kHatAt) - 4);
    EXPECT_LE(start, static_cast<std::int64_t>(kHatAt) + 10);
}

TEST(Lookahead, SwitchingWhileNotesSoundLosesNoNoteAndLeavesNoneHanging) {
    const std::size_t kBlock = 64;
    std::vector<std::size_t> starts;
    for (std::size_t at = 1000; at < 50000; at += 3000) {
        starts.push_back(at);
    }
    const StereoBuffer input = hits(kBlock * 900, starts);
    for (const std::size_t everyBlocks : {3u, 17u, 40u, 101u}) {
        SCOPED_TRACE(::testing::Message() << "switched every " << everyBlocks << " blocks");
        EngineHarness host;
        useKickBand(host);
        std::size_t blocks = 0;
        for (std::size_t at = 0; at < input.size(); at += kBlock, ++blocks) {
            if (blocks % everyBlocks == 0) {
                host.set(kLookahead, host.get(kLookahead) > 0.5f ? 0.0f : 1.0f);
            }
            StereoBuffer piece(kBlock);
            std::copy_n(input.left.begin() + static_cast<std::ptrdiff_t>(at), kBlock, piece.left.begin());
            std::copy_n(input.right.begin() + static_cast<std::ptrdiff_t>(at), kBlock, piece.right.begin());
            host.run(piece, kBlock);
        }
        host.set(kLookahead, 0.0f);
        host.run(StereoBuffer(kBlock), kBlock);

        const auto notes = notesOf(host);
        EXPECT_EQ(notes.size(), 2u * 17u) << "one note per hit";
        for (std::size_t i = 0; i < notes.size(); ++i) {
            EXPECT_EQ(notes[i].isNoteOn(), i % 2 == 0) << "message " << i;
            if (i > 0) {
                EXPECT_GE(notes[i].position, notes[i - 1].position) << "message " << i;
            }
        }
        EXPECT_EQ(host.effect()->initialDelay, 0);
    }
}

} // namespace
} // namespace zephyrion
