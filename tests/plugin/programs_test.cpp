#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "tests/plugin/engine_harness.h"

namespace zephyrion {
namespace {

using testing::EngineHarness;

std::string programName(EngineHarness& host) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    host.dispatch(vst::effGetProgramName, 0, 0, text);
    return text;
}

std::string indexedName(EngineHarness& host, std::int32_t index, vst::VstIntPtr* answer) {
    char text[64] = "untouched";
    *answer = host.dispatch(vst::effGetProgramNameIndexed, index, 0, text);
    return text;
}

TEST(Programs, FourNamedProgramsStartingWithTheFirst) {
    EngineHarness host;
    EXPECT_EQ(host.dispatch(vst::effGetProgram), 0);
    EXPECT_EQ(programName(host), "Init Preset 01");
    vst::VstIntPtr answer = 0;
    EXPECT_EQ(indexedName(host, 3, &answer), "Init Preset 04");
    EXPECT_EQ(answer, 1);
    for (std::int32_t index : {4, -1}) {
        EXPECT_EQ(indexedName(host, index, &answer), "untouched");
        EXPECT_EQ(answer, 0);
    }
}

TEST(Programs, EachProgramKeepsItsOwnValues) {
    EngineHarness host;
    host.set(kVolume, 0.9f);
    host.dispatch(vst::effSetProgram, 0, 1);
    EXPECT_EQ(host.dispatch(vst::effGetProgram), 1);
    EXPECT_EQ(host.get(kVolume), 0.5f);
    host.dispatch(vst::effSetProgram, 0, 0);
    EXPECT_EQ(host.get(kVolume), 0.9f);
}

TEST(Programs, OutOfRangeSelectionsChangeNothing) {
    EngineHarness host;
    host.dispatch(vst::effSetProgram, 0, 2);
    host.set(kAmpLo, 0.3f);
    for (vst::VstIntPtr program : {4, -1, 1000}) {
        host.dispatch(vst::effSetProgram, 0, program);
        EXPECT_EQ(host.dispatch(vst::effGetProgram), 2);
        EXPECT_EQ(host.get(kAmpLo), 0.3f);
    }
}

TEST(Programs, ReselectingTheCurrentProgramInterruptsTheNote) {
    EngineHarness host;
    host.run(testing::impulse(100, 0, 0.9f));
    EXPECT_TRUE(host.plugin().isNoteActive());
    host.dispatch(vst::effSetProgram, 0, 0);
    EXPECT_FALSE(host.plugin().isNoteActive());
    EXPECT_EQ(host.get(kVolume), 0.5f);
}

TEST(Programs, RenamingTouchesOnlyTheCurrentProgramAndKeepsToTheNameLimit) {
    EngineHarness host;
    host.dispatch(vst::effSetProgram, 0, 2);
    char name[] = "Kick";
    host.dispatch(vst::effSetProgramName, 0, 0, name);
    EXPECT_EQ(programName(host), "Kick");
    vst::VstIntPtr answer = 0;
    EXPECT_EQ(indexedName(host, 1, &answer), "Init Preset 02");
    EXPECT_EQ(indexedName(host, 2, &answer), "Kick");

    char longName[] = "A name much longer than any host should ever send, by far";
    host.dispatch(vst::effSetProgramName, 0, 0, longName);
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    host.dispatch(vst::effGetProgramName, 0, 0, buffer);
    EXPECT_EQ(std::string(buffer), std::string(longName, 24));
    EXPECT_EQ(buffer[25], 'x') << "wrote beyond 25 bytes";

    host.dispatch(vst::effSetProgramName, 0, 0, nullptr);
    EXPECT_EQ(programName(host), std::string(longName, 24));
}

TEST(Identity, NamesVendorAndVersion) {
    EngineHarness host;
    char text[80];
    EXPECT_EQ(host.dispatch(vst::effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "Zephyrion");
    EXPECT_EQ(host.dispatch(vst::effGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Zephyrion");
    EXPECT_EQ(host.dispatch(vst::effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Mardolin");
    EXPECT_EQ(host.dispatch(vst::effGetVendorVersion), 1);
    EXPECT_EQ(host.dispatch(vst::effGetPlugCategory), 0);
    EXPECT_EQ(host.effect()->uniqueID, ('Z' << 24) | ('Q' << 16) | ('M' << 8) | 'V');
}

TEST(Identity, CapabilitiesAreExactlyTheFourEventOnes) {
    EngineHarness host;
    for (const char* yes : {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"}) {
        std::string text = yes;
        EXPECT_EQ(host.dispatch(vst::effCanDo, 0, 0, text.data()), 1) << yes;
    }
    for (const char* no : {"receivevstmidievent", "", "sendVstEvents ", "plugAsChannelInsert", "bypass"}) {
        std::string text = no;
        EXPECT_EQ(host.dispatch(vst::effCanDo, 0, 0, text.data()), -1) << no;
    }
    EXPECT_EQ(host.dispatch(vst::effCanDo, 0, 0, nullptr), -1);
}

TEST(Identity, OutputPinsAreLabelledAndInputsAreNot) {
    EngineHarness host;
    vst::VstPinProperties pin;
    std::memset(&pin, 0x5A, sizeof pin);
    EXPECT_EQ(host.dispatch(vst::effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "ZQMV 2");
    EXPECT_EQ(pin.flags, 3);
    EXPECT_EQ(static_cast<unsigned char>(pin.shortLabel[0]), 0x5A)
        << "fields beyond label and flags are the host's";

    vst::VstPinProperties untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    for (std::int32_t index : {2, -1}) {
        EXPECT_EQ(host.dispatch(vst::effGetOutputProperties, index, 0, &untouched), 0);
        EXPECT_EQ(static_cast<unsigned char>(untouched.label[0]), 0x5A);
    }
    EXPECT_EQ(host.dispatch(vst::effGetInputProperties, 0, 0, &untouched), 0);
    EXPECT_EQ(host.dispatch(vst::effGetOutputProperties, 0, 0, nullptr), 0);
}

} // namespace
} // namespace zephyrion
