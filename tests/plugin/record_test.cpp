#include <cstring>

#include <gtest/gtest.h>

#include "tests/plugin/engine_harness.h"

namespace zephyrion {
namespace {

using testing::EngineHarness;

TEST(EffectRecord, WhatAHostFindsAfterTheEntry) {
    EngineHarness host;
    const vst::AEffect& record = *host.effect();
    unsigned char magic[4];
    std::memcpy(magic, &record.magic, 4);
    EXPECT_EQ(std::memcmp(magic, "PtsV", 4), 0);
    EXPECT_EQ(record.numPrograms, 4);
    EXPECT_EQ(record.numParams, 20);
    EXPECT_EQ(record.numInputs, 2);
    EXPECT_EQ(record.numOutputs, 2);
    EXPECT_EQ(record.flags, 0x19);
    EXPECT_EQ(record.ioRatio, 1.0f);
    EXPECT_EQ(record.version, 1);
    EXPECT_EQ(record.initialDelay, 0);
    EXPECT_EQ(record.resvd1, 0);
    EXPECT_EQ(record.resvd2, 0);
    const unsigned char zero[sizeof record.future] = {};
    EXPECT_EQ(std::memcmp(record.future, zero, sizeof zero), 0);
}

TEST(EffectRecord, AHostAnsweringVersionZeroIsRefused) {
    EngineHarness refused(0);
    EXPECT_EQ(refused.effect(), nullptr);
    ASSERT_EQ(refused.opcodes.size(), 1u);
    EXPECT_EQ(refused.opcodes[0], vst::audioMasterVersion);
    for (std::int32_t version : {1, 2, 2300, 2400}) {
        EngineHarness accepted(version);
        EXPECT_NE(accepted.effect(), nullptr) << "version " << version;
    }
}

TEST(EffectRecord, InstancesAreIndependent) {
    auto first = std::make_unique<EngineHarness>();
    EngineHarness second;
    ASSERT_NE(first->effect()->object, second.effect()->object);
    first->set(kVolume, 0.1f);
    EXPECT_EQ(second.get(kVolume), 0.5f);
    first->run(testing::impulse(10, 0, 0.9f));
    EXPECT_TRUE(second.midi.empty());
    first.reset();
    second.run(testing::impulse(10, 0, 0.9f));
    EXPECT_EQ(second.midi.size(), 1u);
}

} // namespace
} // namespace zephyrion
