// The friendly forms must land on the values the editor produces and read back as the editor shows them.
#include "tools/common/errors.h"
#include "tools/zephyrion/parameter_values.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zcli_test {
namespace {

int stepOf(float value, double steps) {
    return static_cast<int>(std::nearbyint(value * steps));
}

TEST(CliNoteForms, EveryEditorNoteRoundTrips) {
    for (int index = 0; index <= 96; ++index) {
        const std::string name = zcli::noteName(index);
        const float value = zcli::parseNote(name, false);
        EXPECT_EQ(value, static_cast<float>(index) / 127.0f) << name;
        EXPECT_EQ(stepOf(value, 127), index) << name;
        EXPECT_EQ(zcli::parseNote(std::to_string(index + 24), false), value) << name;
        EXPECT_EQ(zcli::describeNote(value, false).rfind(name + " (note ", 0), 0u) << name;
    }
    EXPECT_EQ(zcli::noteName(36), "C3");
    EXPECT_EQ(zcli::describeNote(zcli::parseNote("C3", false), false), "C3 (note 60)");
    EXPECT_EQ(zcli::describeNote(zcli::parseNote("C8", false), false), "C8 (note 100)");
}

TEST(CliNoteForms, SpellingsAndControllerNumbers) {
    const float cSharp3 = 37.0f / 127.0f;
    for (const char* spelling : {"C#3", "c#3", "Db3", "db3", "61"}) {
        EXPECT_EQ(zcli::parseNote(spelling, false), cSharp3) << spelling;
    }
    EXPECT_EQ(zcli::parseNote("C 3", false), 36.0f / 127.0f);
    EXPECT_EQ(zcli::parseNote("B#2", false), 36.0f / 127.0f);
    EXPECT_EQ(zcli::parseNote("127", true), 1.0f);
    EXPECT_EQ(zcli::describeNote(zcli::parseNote("7", true), true), "controller 7");
    for (const char* bad : {"H3", "C9", "Cb0", "C", "C#", "23", "121", "", "C3x", "60.0"}) {
        EXPECT_THROW(zcli::parseNote(bad, false), zcli::UsageError) << bad;
    }
    EXPECT_THROW(zcli::parseNote("C3", true), zcli::UsageError);
    EXPECT_THROW(zcli::parseNote("128", true), zcli::UsageError);
}

TEST(CliSteppedForms, ChannelsAndVelocitiesRoundTrip) {
    for (int channel = 1; channel <= 16; ++channel) {
        const float value = zcli::parseChannel(std::to_string(channel));
        EXPECT_EQ(stepOf(value, 15) + 1, channel);
        EXPECT_EQ(zcli::describeChannel(value), "channel " + std::to_string(channel));
    }
    for (int velocity = 0; velocity <= 127; ++velocity) {
        const float value = zcli::parseVelocity(std::to_string(velocity));
        EXPECT_EQ(stepOf(value, 127), velocity);
        EXPECT_EQ(zcli::describeVelocity(value), "velocity " + std::to_string(velocity));
    }
    for (const char* bad : {"0", "17", "x", "1.5"}) {
        EXPECT_THROW(zcli::parseChannel(bad), zcli::UsageError) << bad;
    }
    EXPECT_THROW(zcli::parseVelocity("128"), zcli::UsageError);
}

TEST(CliSteppedForms, ModeWordsGiveTheEditorsSteps) {
    const struct {
        const char* word;
        float value;
        const char* shown;
    } outputs[] = {{"mute", 0.0f, "Mute"}, {"Proc.", 0.1f, "Proc."}, {"ORIG", 0.2f, "Orig."}};
    for (const auto& output : outputs) {
        EXPECT_EQ(zcli::parseOutputMode(output.word), output.value) << output.word;
        EXPECT_EQ(zcli::describeOutputMode(output.value), output.shown);
    }
    const struct {
        const char* word;
        float value;
        const char* shown;
    } curves[] = {
        {"linear", 0.0f, "linear"}, {"exp", 0.1f, "exponential"}, {"Logarithmic", 0.2f, "logarithmic"}};
    for (const auto& curve : curves) {
        EXPECT_EQ(zcli::parseFreqMode(curve.word), curve.value) << curve.word;
        EXPECT_EQ(zcli::describeFreqMode(curve.value), curve.shown);
    }
    // The editor's right click from 0.1 can leave a tiny positive value; it still reads as the first step.
    EXPECT_EQ(zcli::describeOutputMode(1e-9f), "Mute");
    EXPECT_THROW(zcli::parseOutputMode("loud"), zcli::UsageError);
    EXPECT_THROW(zcli::parseFreqMode("cubic"), zcli::UsageError);
}

TEST(CliNumberForms, RangesAreInclusiveAndTextMustBeWhole) {
    EXPECT_EQ(zcli::parseNormalised("0", "--set x"), 0.0f);
    EXPECT_EQ(zcli::parseNormalised("1", "--set x"), 1.0f);
    EXPECT_EQ(zcli::parseNormalised("0.25", "--set x"), 0.25f);
    for (const char* bad : {"-0.1", "1.01", "nan", "0.5x", "", "inf"}) {
        EXPECT_THROW(zcli::parseNormalised(bad, "--set x"), zcli::UsageError) << bad;
    }
    EXPECT_EQ(zcli::parseInteger("65536", "--block", 1, 65536), 65536);
    EXPECT_THROW(zcli::parseInteger("65537", "--block", 1, 65536), zcli::UsageError);
    EXPECT_THROW(zcli::parseInteger("12 ", "--block", 1, 65536), zcli::UsageError);
}

} // namespace
} // namespace zcli_test
