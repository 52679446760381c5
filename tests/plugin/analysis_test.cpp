#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "tests/plugin/engine_harness.h"

namespace zephyrion {
namespace {

using testing::EngineHarness;
using testing::StereoBuffer;

// A window that holds every level, so that "Proc." shows the band-filtered signal on every sample.
void openWindowWide(EngineHarness& host) {
    host.set(kAmpLo, 0.0f);
    host.set(kAmpHi, 1.0f);
    host.set(kOutMode, 0.1f);
}

TEST(Analysis, TheDefaultHighpassStillRemovesTheLowestFrequencies) {
    EngineHarness host;
    openWindowWide(host);
    // Direct current: the lowpass at c = 1 passes it, the highpass at c = 0.1 removes it in time.
    const StereoBuffer out = host.runConstant(4000, 0.5f);
    EXPECT_NEAR(out.left[0], 0.5f, 1e-6f);
    EXPECT_LT(std::fabs(out.left[3999]), 1e-3f);
    EXPECT_EQ(out.left[3999], out.right[3999]);
}

TEST(Analysis, EachFrequencyModeMapsTheEdgeToItsCoefficient) {
    // With Freq.Hi at 0.5 the first output sample of a unit step is c^16 (sixteen one-pole stages), while the
    // highpass side at Freq.Lo 0 has barely moved (linear) or not at all.
    struct Case {
        float mode;
        double coefficient;
    };
    for (const Case c : {Case{0.0f, 0.55}, Case{0.1f, 0.3775406688}, Case{0.2f, 0.8519}}) {
        EngineHarness host;
        openWindowWide(host);
        host.set(kFreqHi, 0.5f);
        host.set(kFreqMode, c.mode);
        host.set(kVolume, 0.0f);
        const StereoBuffer out = host.runConstant(1, 0.5f);
        EXPECT_NEAR(out.left[0] / std::pow(c.coefficient, 16), 1.0, 2e-3) << "mode " << c.mode;
    }
}

TEST(Analysis, EveryModeStepBeyondExponentialIsLogarithmic) {
    // 0.25 x 10 = 2.5 rounds to the even 2.
    for (float mode : {0.25f, 0.3f, 1.0f}) {
        EngineHarness host;
        openWindowWide(host);
        host.set(kFreqHi, 0.5f);
        host.set(kFreqMode, mode);
        host.set(kVolume, 0.0f);
        const StereoBuffer out = host.runConstant(1, 0.5f);
        EXPECT_NEAR(out.left[0] / std::pow(0.8519, 16), 1.0, 2e-3) << "mode " << mode;
    }
}

TEST(Analysis, CrossedEdgesStopTheBandAtHalfLevel) {
    for (const float lowEdge : {0.3f, 1.0f}) {
        EngineHarness host;
        openWindowWide(host);
        host.set(kFreqLo, lowEdge);
        host.set(kFreqHi, 0.3f);
        // Direct current passes the lowpass branch alone: y settles at half the mono input.
        const StereoBuffer out = host.runConstant(20000, 0.8f);
        EXPECT_NEAR(out.left.back(), 0.4f, 1e-4f) << "Freq.Lo " << lowEdge;
    }
}

TEST(Analysis, OutputModes) {
    const StereoBuffer input(64, 0.25f);
    {
        EngineHarness host;
        host.set(kOutMode, 0.0f);
        const StereoBuffer out = host.run(input);
        EXPECT_EQ(out.left[10], 0.0f);
        EXPECT_EQ(out.right[10], 0.0f);
    }
    for (float orig : {0.2f, 0.3f, 1.0f}) {
        EngineHarness host;
        host.set(kOutMode, orig);
        StereoBuffer stereo(8);
        stereo.left = {0.1f, -0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, -0.8f};
        stereo.right = {-0.3f, 0.2f, 0.1f, 0.0f, 0.9f, 0.1f, 0.2f, 0.3f};
        const StereoBuffer out = host.run(stereo);
        EXPECT_EQ(out.left, stereo.left);
        EXPECT_EQ(out.right, stereo.right);
    }
    {
        // "Proc." gates the filtered signal by each sample's window test alone: outside it, silence.
        EngineHarness host;
        host.set(kAmpHi, 0.1f);   // window 0.9..1.0
        host.set(kRelease, 1.0f); // the envelope leaves it after a few samples
        const StereoBuffer out = host.run(testing::impulse(100, 10, 0.95f));
        EXPECT_NEAR(out.left[10], 0.95f, 1e-6f);
        EXPECT_EQ(out.left[9], 0.0f);
        EXPECT_NE(out.left[11], 0.0f) << "the window still holds the envelope, so the gate stays open";
        EXPECT_EQ(out.left[20], 0.0f);
    }
}

TEST(Analysis, AccumulatingProcessAddsAndMuteLeavesTheBuffers) {
    StereoBuffer input(32, 0.25f);
    StereoBuffer output(32, 0.5f);
    {
        EngineHarness host;
        host.set(kOutMode, 0.2f);
        host.accumulate(input, output);
        EXPECT_EQ(output.left[5], 0.75f);
        EXPECT_EQ(output.right[31], 0.75f);
    }
    {
        EngineHarness host;
        host.set(kOutMode, 0.0f);
        host.accumulate(input, output);
        EXPECT_EQ(output.left[5], 0.75f);
    }
}

TEST(Analysis, InPlaceBuffersGiveTheSameResult) {
    EngineHarness separate;
    EngineHarness inPlace;
    for (EngineHarness* host : {&separate, &inPlace}) {
        openWindowWide(*host);
        host->set(kFreqLo, 0.2f);
    }
    StereoBuffer input(256);
    for (std::size_t i = 0; i < input.size(); ++i) {
        input.left[i] = static_cast<float>(std::sin(i * 0.3));
        input.right[i] = static_cast<float>(std::cos(i * 0.7));
    }
    const StereoBuffer expected = separate.run(input);
    StereoBuffer buffer = input;
    float* channels[2] = {buffer.left.data(), buffer.right.data()};
    inPlace.effect()->processReplacing(inPlace.effect(), channels, channels, 256);
    EXPECT_EQ(buffer.left, expected.left);
    EXPECT_EQ(buffer.right, expected.right);
}

TEST(Analysis, TheMeterSnapsToZeroOnThe98679thSampleAndThePeakStays) {
    EngineHarness host;
    host.set(kVolume, 0.0f);
    const StereoBuffer peak = testing::impulse(1, 0, 1.0f);
    host.run(peak);
    EXPECT_EQ(host.plugin().getMeterLevel(), 1.0f);
    EXPECT_EQ(host.plugin().getMeterPeak(), 1.0f);
    host.runConstant(98678, 0.0f);
    EXPECT_GT(host.plugin().getMeterLevel(), 0.0f);
    host.runConstant(1, 0.0f);
    EXPECT_EQ(host.plugin().getMeterLevel(), 0.0f);
    EXPECT_EQ(host.plugin().getMeterPeak(), 1.0f);
}

TEST(Analysis, NothingHappensForEmptyOrNegativeBlocks) {
    EngineHarness host;
    float sample = 0.9f;
    float out = -1.0f;
    float* inputs[2] = {&sample, &sample};
    float* outputs[2] = {&out, &out};
    for (std::int32_t frames : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
        host.effect()->processReplacing(host.effect(), inputs, outputs, frames);
        host.effect()->process(host.effect(), inputs, outputs, frames);
    }
    EXPECT_EQ(out, -1.0f);
    EXPECT_EQ(host.plugin().getMeterLevel(), 0.0f);
    EXPECT_TRUE(host.midi.empty());
}

TEST(Analysis, SilenceLiesInsideAWindowReachingDownToZero) {
    EngineHarness host;
    host.set(kAmpHi, 1.0f);
    host.set(kVolume, 1.0f);
    host.runConstant(10, 0.5f);
    ASSERT_EQ(host.midi.size(), 1u);
    EXPECT_TRUE(host.midi[0].isNoteOn());
    EXPECT_EQ(host.midi[0].position, 0);
    EXPECT_TRUE(host.plugin().isNoteActive());
}

TEST(Analysis, TheResultDoesNotDependOnHowTheHostSplitsTheAudio) {
    StereoBuffer input(20000);
    for (std::size_t i = 0; i < input.size(); ++i) {
        const double burst = (i % 5000) < 300 ? std::sin(i * 0.05) * (1.0 - (i % 5000) / 300.0) : 0.0;
        input.left[i] = static_cast<float>(burst);
        input.right[i] = static_cast<float>(burst * 0.5);
    }
    StereoBuffer reference;
    std::vector<testing::MidiMessage> referenceMidi;
    for (std::size_t block : {4096u, 512u, 7u, 1u}) {
        EngineHarness host;
        host.set(kFalloff, 0.95f);
        host.set(kRelease, 1.0f);
        host.set(kOutMode, 0.1f);
        const StereoBuffer out = host.run(input, block);
        if (referenceMidi.empty()) {
            reference = out;
            referenceMidi = host.midi;
            ASSERT_GE(referenceMidi.size(), 6u);
            continue;
        }
        EXPECT_EQ(out.left, reference.left) << "block " << block;
        ASSERT_EQ(host.midi.size(), referenceMidi.size()) << "block " << block;
        for (std::size_t i = 0; i < referenceMidi.size(); ++i) {
            EXPECT_EQ(host.midi[i].position, referenceMidi[i].position) << "block " << block;
            EXPECT_EQ(host.midi[i].status, referenceMidi[i].status);
            EXPECT_EQ(host.midi[i].data2, referenceMidi[i].data2);
        }
    }
}

TEST(Analysis, NonFiniteInputIsAnalysedAsSilenceAndOriginalPassesItThrough) {
    EngineHarness host;
    StereoBuffer input(2000);
    input.left[100] = std::numeric_limits<float>::quiet_NaN();
    input.right[200] = std::numeric_limits<float>::infinity();
    host.run(input);
    EXPECT_TRUE(host.midi.empty());
    // The engine is unharmed: a real peak afterwards is found as usual.
    host.run(testing::impulse(10, 0, 0.9f));
    ASSERT_EQ(host.midi.size(), 1u);
    EXPECT_TRUE(host.midi[0].isNoteOn());
    EXPECT_EQ(host.midi[0].data2, 127);
    EXPECT_TRUE(std::isfinite(host.plugin().getEnvelope()));

    host.set(kOutMode, 0.2f);
    const StereoBuffer out = host.run(input);
    EXPECT_TRUE(std::isnan(out.left[100]));
    EXPECT_TRUE(std::isinf(out.right[200]));
}

} // namespace
} // namespace zephyrion
