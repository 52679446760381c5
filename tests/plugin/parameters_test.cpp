#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/plugin/engine_harness.h"

namespace zephyrion {
namespace {

using testing::EngineHarness;

std::string textOf(EngineHarness& host, std::int32_t opcode, std::int32_t index) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    host.dispatch(opcode, index, 0, text);
    return text;
}

TEST(Parameters, StartWithTheDefaultProgramsValues) {
    EngineHarness host;
    const float expected[kNumRealParams] = {0.5f, 0.0f, 0.4f, 0.0f, 1.0f, 36.0f / 127.0f, 0.8f, 0.0f,
                                            1.0f, 0.1f, 0.0f, 0.0f, 0.5f, 0.0f,           0.0f};
    for (std::int32_t i = 0; i < kNumRealParams; ++i) {
        EXPECT_EQ(host.get(i), expected[i]) << "parameter " << i;
    }
    EXPECT_EQ(host.plugin().getHoldUnit(), 201);
    EXPECT_EQ(host.plugin().getCcInterval(), 110);
}

TEST(Parameters, NamesLabelsAndDisplays) {
    EngineHarness host;
    const char* names[kNumRealParams] = {"Volume",    "Amp.Lo",  "Amp.Hi",   "Freq.Lo",   "Freq.Hi",
                                         "Midi Note", "Falloff", "Midi Ch.", "Midi Vel.", "Out.Mode",
                                         "NoteOrCC",  "VeloSw",  "Release",  "Freq.Mode", "Lookahead"};
    for (std::int32_t i = 0; i < kNumRealParams; ++i) {
        EXPECT_EQ(textOf(host, vst::effGetParamName, i), names[i]);
    }
    for (std::int32_t i : {15, 19, 20, -1, 1000}) {
        EXPECT_EQ(textOf(host, vst::effGetParamName, i), "reserved");
        EXPECT_EQ(textOf(host, vst::effGetParamLabel, i), "%");
        EXPECT_EQ(textOf(host, vst::effGetParamDisplay, i), "0.00");
    }
    EXPECT_EQ(textOf(host, vst::effGetParamLabel, 3), "%");
    EXPECT_EQ(textOf(host, vst::effGetParamDisplay, kVolume), "0.50");
    EXPECT_EQ(textOf(host, vst::effGetParamDisplay, kAmpHi), "0.40");
    EXPECT_EQ(textOf(host, vst::effGetParamDisplay, kMidiNote), "0.28");
    EXPECT_EQ(textOf(host, vst::effGetParamDisplay, kFreqHi), "1.00");
    EXPECT_EQ(textOf(host, vst::effGetParamDisplay, kLookahead), "Off");
    EXPECT_EQ(textOf(host, vst::effGetParamLabel, kLookahead), "");
    host.set(kLookahead, 1.0f);
    EXPECT_EQ(textOf(host, vst::effGetParamDisplay, kLookahead), "On");
}

TEST(Parameters, ValuesAreClampedIntoTheCurrentProgramToo) {
    EngineHarness host;
    host.set(kVolume, 1.5f);
    EXPECT_EQ(host.get(kVolume), 1.0f);
    host.set(kVolume, -0.2f);
    EXPECT_EQ(host.get(kVolume), 0.0f);
    host.set(kVolume, 0.7f);
    host.set(kVolume, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(host.get(kVolume), 0.0f);
    host.set(kAmpLo, std::numeric_limits<float>::infinity());
    EXPECT_EQ(host.get(kAmpLo), 1.0f);

    // The program holds what was stored: leaving it and coming back restores the clamped values.
    host.dispatch(vst::effSetProgram, 0, 1);
    host.dispatch(vst::effSetProgram, 0, 0);
    EXPECT_EQ(host.get(kVolume), 0.0f);
    EXPECT_EQ(host.get(kAmpLo), 1.0f);
}

TEST(Parameters, ReservedIndicesStoreNothing) {
    EngineHarness host;
    host.set(16, 0.7f);
    host.set(-3, 0.7f);
    host.set(20, 0.7f);
    EXPECT_EQ(host.get(16), 0.0f);
    for (std::int32_t i = 0; i < kNumRealParams; ++i) {
        EXPECT_NE(host.get(i), 0.7f);
    }
}

TEST(Parameters, FalloffGivesHoldUnitAndControllerIntervalRoundedHalfToEven) {
    EngineHarness host;
    struct Case {
        float falloff;
        std::int32_t holdUnit;
        std::int32_t ccInterval;
    };
    for (const Case c : {Case{1.0f, 1, 10}, Case{0.0f, 1001, 510}, Case{0.8f, 201, 110},
                         Case{0.9375f, 63, 41}, Case{0.875f, 126, 72}}) {
        host.set(kFalloff, c.falloff);
        EXPECT_EQ(host.plugin().getHoldUnit(), c.holdUnit) << "falloff " << c.falloff;
        EXPECT_EQ(host.plugin().getCcInterval(), c.ccInterval) << "falloff " << c.falloff;
    }
}

TEST(Parameters, ReleaseCoefficientFollowsTheSampleRate) {
    EngineHarness host;
    EXPECT_NEAR(host.plugin().getReleaseCoeff(), 0.99996865, 2e-8);
    host.set(kRelease, 1.0f);
    EXPECT_NEAR(host.plugin().getReleaseCoeff(), 0.98440528, 2e-8);
    host.set(kRelease, 0.0f);
    EXPECT_NEAR(host.plugin().getReleaseCoeff(), 0.99998432, 2e-8);

    // A new rate keeps the half-life in seconds, as do setting Release again and loading a program.
    host.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 22050.0f);
    EXPECT_FLOAT_EQ(host.plugin().getReleaseCoeff(), std::pow(0.5, 1.0 / (1.001 * 22050.0)));
    host.set(kRelease, 1.0f);
    EXPECT_FLOAT_EQ(host.plugin().getReleaseCoeff(), std::pow(0.5, 1.0 / (0.001 * 22050.0)));
    host.dispatch(vst::effSetProgram, 0, 0);
    EXPECT_FLOAT_EQ(host.plugin().getReleaseCoeff(), std::pow(0.5, 1.0 / (0.001 * 22050.0)));
    host.dispatch(vst::effSetProgram, 0, 1);
    EXPECT_FLOAT_EQ(host.plugin().getReleaseCoeff(), std::pow(0.5, 1.0 / (0.501 * 22050.0)));
}

TEST(Parameters, SampleRatesThatAreNotPositiveAndFiniteAreIgnored) {
    EngineHarness host;
    for (float rate :
         {0.0f, -48000.0f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        host.dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
        host.set(kRelease, 0.5f);
        EXPECT_NEAR(host.plugin().getReleaseCoeff(), 0.99996865, 2e-8) << "rate " << rate;
    }
}

TEST(Parameters, SuspendResumeAndVu) {
    EngineHarness host;
    host.opcodes.clear();
    host.dispatch(vst::effMainsChanged, 0, 1);
    ASSERT_EQ(host.opcodes.size(), 1u);
    EXPECT_EQ(host.opcodes[0], vst::audioMasterWantMidi);
    host.dispatch(vst::effMainsChanged, 0, 0);
    EXPECT_EQ(host.opcodes.size(), 1u);
    EXPECT_EQ(host.dispatch(vst::effGetVu), 0);
    EXPECT_EQ(host.dispatch(vst::effCanBeAutomated, 5), 1);
}

} // namespace
} // namespace zephyrion
