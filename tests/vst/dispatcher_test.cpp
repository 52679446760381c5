// Every opcode a host may send, through the real entry: the base classes' defaults where the plug-in keeps
// them, and no crash anywhere, with buffers or without.
#include <array>
#include <climits>
#include <cstring>
#include <map>
#include <optional>

#include <gtest/gtest.h>

#include "tests/vst/ZephyrionHost.h"

namespace {

// What the base classes answer with index 0, value 0, opt 0 and a zeroed buffer as ptr. Opcodes the plug-in
// answers itself (names, identity, pins, canDo, the VU value, the editor's rectangle) are left out: their
// values are the engine's, tested beside it.
const std::map<vst::VstInt32, vst::VstIntPtr>& baseDefaults() {
    static const std::map<vst::VstInt32, vst::VstIntPtr> answers = {
        {vst::effOpen, 0},
        {vst::effSetProgram, 0},
        {vst::effGetProgram, 0},
        {vst::effSetProgramName, 0},
        {vst::effGetProgramName, 0},
        {vst::effGetParamLabel, 0},
        {vst::effGetParamDisplay, 0},
        {vst::effGetParamName, 0},
        {vst::effSetSampleRate, 0},
        {vst::effSetBlockSize, 0},
        {vst::effMainsChanged, 0},
        {vst::effEditClose, 0},
        {vst::effEditDraw, 0},
        {vst::effEditMouse, 0},
        {vst::effEditKey, 0},
        {vst::effEditIdle, 0},
        {vst::effEditTop, 0},
        {vst::effEditSleep, 0},
        {vst::effIdentify, 0x4E764566},
        {vst::effGetChunk, 0},
        {vst::effSetChunk, 0},
        {vst::effProcessEvents, 1},
        {vst::effCanBeAutomated, 1},
        {vst::effString2Parameter, 0},
        {vst::effGetNumProgramCategories, 1},
        {vst::effCopyProgram, 0},
        {vst::effConnectInput, 1},
        {vst::effConnectOutput, 1},
        {vst::effGetInputProperties, 0},
        {vst::effGetPlugCategory, 0},
        {vst::effGetCurrentPosition, 0},
        {vst::effGetDestinationBuffer, 0},
        {vst::effOfflineNotify, 0},
        {vst::effOfflinePrepare, 0},
        {vst::effOfflineRun, 0},
        {vst::effProcessVarIo, 0},
        {vst::effSetSpeakerArrangement, 0},
        {vst::effSetBlockSizeAndSampleRate, 1},
        {vst::effSetBypass, 0},
        {vst::effGetErrorText, 0},
        {vst::effVendorSpecific, 0},
        {vst::effGetTailSize, 0},
        {vst::effIdle, 0},
        {vst::effGetIcon, 0},
        {vst::effSetViewPosition, 0},
        {vst::effGetParameterProperties, 0},
        {vst::effKeysRequired, 1},
        {vst::effGetVstVersion, 2300},
        {vst::effEditKeyDown, -1},
        {vst::effEditKeyUp, -1},
        {vst::effSetEditKnobMode, 0},
        {vst::effGetMidiProgramName, 0},
        {vst::effGetCurrentMidiProgram, -1},
        {vst::effGetMidiProgramCategory, 0},
        {vst::effHasMidiProgramsChanged, 0},
        {vst::effGetMidiKeyName, 0},
        {vst::effBeginSetProgram, 0},
        {vst::effEndSetProgram, 0},
        {vst::effGetSpeakerArrangement, 0},
        {vst::effShellGetNextPlugin, 0},
        {vst::effStartProcess, 0},
        {vst::effStopProcess, 0},
        {vst::effSetTotalSampleToProcess, 0},
        {vst::effSetPanLaw, 0},
        {vst::effBeginLoadBank, 0},
        {vst::effBeginLoadProgram, 0},
    };
    return answers;
}

// Closing ends the instance, and opening the editor needs a real native window: both are tested elsewhere.
bool sweepable(vst::VstInt32 opcode) {
    return opcode != vst::effClose && opcode != vst::effEditOpen;
}

TEST(DispatcherDefaults, EveryOpcodeAnswersItsDefaultWithABuffer) {
    auto plugin = vsttest::loadZephyrion();
    for (vst::VstInt32 opcode = 0; opcode <= vst::effBeginLoadProgram; ++opcode) {
        if (!sweepable(opcode)) {
            continue;
        }
        alignas(16) std::array<char, 4096> buffer{};
        vst::VstIntPtr answer = plugin->dispatch(opcode, 0, 0, buffer.data());
        auto expected = baseDefaults().find(opcode);
        if (expected != baseDefaults().end()) {
            EXPECT_EQ(answer, expected->second) << "opcode " << opcode;
        }
        EXPECT_LT(std::strlen(buffer.data()), buffer.size()) << "opcode " << opcode;
    }
    for (vst::VstInt32 opcode : {-1, 77, 78, 1000, INT_MIN, INT_MAX}) {
        EXPECT_EQ(plugin->dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
    }
    EXPECT_EQ(plugin->effect().magic, vst::kEffectMagic);
}

TEST(DispatcherDefaults, NullPointersWriteNothingAndAnswerNothingDone) {
    auto plugin = vsttest::loadZephyrion();
    for (vst::VstInt32 opcode = 0; opcode <= vst::effBeginLoadProgram; ++opcode) {
        if (!sweepable(opcode)) {
            continue;
        }
        for (vst::VstInt32 index : {0, 3, 19}) {
            vst::VstIntPtr answer = plugin->dispatch(opcode, index, 0, nullptr);
            auto expected = baseDefaults().find(opcode);
            if (expected != baseDefaults().end()) {
                EXPECT_EQ(answer, expected->second) << "opcode " << opcode;
            }
        }
    }
    // Opcodes that write through ptr, the plug-in's own among them, answer as for nothing done.
    for (vst::VstInt32 opcode : std::initializer_list<vst::VstInt32>{
             vst::effEditGetRect, vst::effGetProgramNameIndexed, vst::effGetOutputProperties,
             vst::effGetEffectName, vst::effGetVendorString, vst::effGetProductString}) {
        EXPECT_EQ(plugin->dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
    }
    EXPECT_EQ(plugin->dispatch(vst::effCanDo, 0, 0, nullptr), -1);
}

TEST(DispatcherDefaults, TextOpcodesStayInsideTheBufferForAnyIndex) {
    auto plugin = vsttest::loadZephyrion();
    for (vst::VstInt32 opcode :
         std::initializer_list<vst::VstInt32>{vst::effGetParamName, vst::effGetParamLabel,
                                              vst::effGetParamDisplay, vst::effGetProgramNameIndexed}) {
        for (vst::VstInt32 index : {INT_MIN, -1, 0, 13, 14, 19, 20, 1000, INT_MAX}) {
            std::array<char, 256> text{};
            plugin->dispatch(opcode, index, 0, text.data());
            EXPECT_LT(std::strlen(text.data()), 64u) << "opcode " << opcode << " index " << index;
        }
    }
}

TEST(DispatcherDefaults, AnOverlongProgramNameIsTakenWithoutHarm) {
    auto plugin = vsttest::loadZephyrion();
    std::string name(1000, 'n');
    EXPECT_EQ(plugin->dispatch(vst::effSetProgramName, 0, 0, name.data()), 0);
    std::array<char, 2048> text{};
    plugin->dispatch(vst::effGetProgramName, 0, 0, text.data());
    EXPECT_LT(std::strlen(text.data()), 64u);
    EXPECT_EQ(plugin->dispatch(vst::effSetProgramName, 0, 0, nullptr), 0);
}

TEST(DispatcherDefaults, ProgramSelectionIgnoresWhatIsOutOfRange) {
    auto plugin = vsttest::loadZephyrion();
    plugin->setProgram(3);
    EXPECT_EQ(plugin->program(), 3);
    for (vst::VstIntPtr outOfRange : std::initializer_list<vst::VstIntPtr>{4, -1, 1000}) {
        plugin->dispatch(vst::effSetProgram, 0, outOfRange);
        EXPECT_EQ(plugin->program(), 3) << "program " << outOfRange;
    }
}

TEST(DispatcherDefaults, BaseAnswersThatDependOnTheArguments) {
    auto plugin = vsttest::loadZephyrion();
    for (vst::VstInt32 index : {-1, 0, 13, 14, 19, 20, 100}) {
        EXPECT_EQ(plugin->dispatch(vst::effCanBeAutomated, index), 1) << "index " << index;
    }
    EXPECT_EQ(plugin->dispatch(vst::effSetTotalSampleToProcess, 0, 12345), 12345);
    EXPECT_EQ(plugin->dispatch(vst::effSetBlockSizeAndSampleRate, 0, 256, nullptr, 48000.0f), 1);
    EXPECT_EQ(plugin->dispatch(vst::effEditKeyDown, 'a', 0, nullptr, 3.0f), -1);
}

TEST(DispatcherDefaults, DefaultsThatMustLeaveTheHostsMemoryAlone) {
    auto plugin = vsttest::loadZephyrion();
    void* chunk = &chunk;
    EXPECT_EQ(plugin->dispatch(vst::effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, &chunk);

    std::array<unsigned char, 512> arrangement;
    arrangement.fill(0xAB);
    EXPECT_EQ(plugin->dispatch(vst::effGetSpeakerArrangement, 0,
                               reinterpret_cast<vst::VstIntPtr>(arrangement.data()), arrangement.data()),
              0);
    vst::VstPinProperties pin;
    std::memset(&pin, 0xCD, sizeof pin);
    EXPECT_EQ(plugin->dispatch(vst::effGetInputProperties, 0, 0, &pin), 0);
    for (unsigned char byte : arrangement) {
        ASSERT_EQ(byte, 0xAB);
    }
    const auto* pinBytes = reinterpret_cast<const unsigned char*>(&pin);
    for (std::size_t i = 0; i < sizeof pin; ++i) {
        ASSERT_EQ(pinBytes[i], 0xCD) << "byte " << i;
    }
}

} // namespace
