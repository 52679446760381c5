// The effect record and the entry, read the way a host reads them: raw bytes at fixed offsets.
#include <cstring>

#include <gtest/gtest.h>

#include "tests/vst/ZephyrionHost.h"

namespace {

// Offsets a host of this pointer width reads the record at.
struct RecordLayout {
    std::size_t numPrograms, numParams, numInputs, numOutputs, flags, resvd1, resvd2, initialDelay,
        realQualities, offQualities, ioRatio, object, user, uniqueID, version, future, size;
};
constexpr RecordLayout kLayout32{20, 24, 28, 32, 36, 40, 44, 48, 52, 56, 60, 64, 68, 72, 76, 84, 144};
constexpr RecordLayout kLayout64{40, 44, 48, 52, 56, 64, 72, 80, 84, 88, 92, 96, 104, 112, 116, 128, 192};
constexpr const RecordLayout& kLayout = sizeof(void*) == 4 ? kLayout32 : kLayout64;

template <typename T> T readAt(const vst::AEffect& record, std::size_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&record) + offset, sizeof value);
    return value;
}

TEST(RawRecord, HoldsTheValuesAHostReads) {
    auto plugin = vsttest::loadZephyrion();
    const vst::AEffect& record = plugin->effect();
    ASSERT_EQ(sizeof(vst::AEffect), kLayout.size);

    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    EXPECT_EQ(std::string(bytes, bytes + 4), "PtsV");
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.numPrograms), 4);
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.numParams), 20);
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.numInputs), 2);
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.numOutputs), 2);
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.flags), 0x19);
    EXPECT_EQ(readAt<std::intptr_t>(record, kLayout.resvd1), 0);
    EXPECT_EQ(readAt<std::intptr_t>(record, kLayout.resvd2), 0);
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.initialDelay), 0);
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.realQualities), 0);
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.offQualities), 0);
    EXPECT_EQ(readAt<float>(record, kLayout.ioRatio), 1.0f);
    EXPECT_NE(readAt<void*>(record, kLayout.object), nullptr);
    EXPECT_EQ(readAt<void*>(record, kLayout.user), nullptr);
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.uniqueID), vsttest::kZephyrionId);
    EXPECT_EQ(std::string(bytes + kLayout.uniqueID, bytes + kLayout.uniqueID + 4), "VMQZ");
    EXPECT_EQ(readAt<std::int32_t>(record, kLayout.version), 1);
    for (std::size_t offset = kLayout.future; offset < kLayout.size; ++offset) {
        EXPECT_EQ(bytes[offset], 0) << "byte " << offset;
    }
    EXPECT_NE(record.dispatcher, nullptr);
    EXPECT_NE(record.process, nullptr);
    EXPECT_NE(record.processReplacing, nullptr);
    EXPECT_NE(record.setParameter, nullptr);
    EXPECT_NE(record.getParameter, nullptr);
}

int versionQueries = 0;
vst::AEffect* effectOfFirstQuery = reinterpret_cast<vst::AEffect*>(1);
vst::VstIntPtr hostOfVersionZero(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr,
                                 void*, float) {
    if (opcode == vst::audioMasterVersion && versionQueries++ == 0) {
        effectOfFirstQuery = effect;
    }
    return 0;
}

TEST(EntryFunction, RefusesAHostOfVersionZeroAfterOneQuestion) {
    auto module = vsthost::Module::load(testsupport::pluginPath());
    EXPECT_EQ(module->entryName(), "main");
    EXPECT_EQ(module->entry()(hostOfVersionZero), nullptr);
    EXPECT_EQ(versionQueries, 1);
    EXPECT_EQ(effectOfFirstQuery, nullptr);
    EXPECT_EQ(module->entry()(nullptr), nullptr);

    vsthost::HostSettings zero;
    zero.version = 0;
    try {
        vsthost::Plugin refused(module, zero);
        ADD_FAILURE() << "created under a host of version 0";
    } catch (const vsthost::LoadError& error) {
        EXPECT_EQ(error.failure(), vsthost::LoadFailure::EntryReturnedNull);
    }
}

TEST(EntryFunction, AcceptsEveryOtherVersion) {
    for (vst::VstIntPtr version : {1, 2, 2300, 2400, 9999, -1}) {
        vsthost::HostSettings settings;
        settings.version = version;
        auto plugin = vsttest::loadZephyrion(settings);
        EXPECT_EQ(plugin->effect().uniqueID, vsttest::kZephyrionId) << "version " << version;
        EXPECT_EQ(plugin->countCalls(vst::audioMasterVersion), 1u);
    }
}

} // namespace
