#include <gtest/gtest.h>

#include "host/HostCallback.h"
#include "host/Plugin.h"
#include "tests/host/TestPlugins.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/Signals.h"

namespace {

using testsupport::Signal;

constexpr std::size_t kLength = 3000;
constexpr std::size_t kHitAt = 1000;

std::unique_ptr<vsthost::Plugin> activeTestPlugin(vsthost::HostSettings settings = {}) {
    auto plugin = vsthost::Plugin::load(hosttest::bothEntries(), settings);
    plugin->activate();
    plugin->clearRecords();
    return plugin;
}

class BlockSizes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(BlockSizes, PlaceEachEventAtItsAbsoluteSample) {
    const std::size_t blockSize = GetParam();
    auto plugin = activeTestPlugin();
    auto inputs = testsupport::stereo(testsupport::impulse(kLength, kHitAt, 0.8f));
    auto outputs = testsupport::silentStereo(kLength);
    plugin->processReplacing(inputs, outputs, blockSize);

    auto events = plugin->midiEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].position, static_cast<std::int64_t>(kHitAt));
    EXPECT_EQ(events[0].block, static_cast<std::int64_t>(kHitAt / blockSize));
    EXPECT_EQ(events[0].event.deltaFrames, static_cast<vst::VstInt32>(kHitAt % blockSize));
    EXPECT_EQ(static_cast<unsigned char>(events[0].event.midiData[0]), 0x90);
    // The non-MIDI event handed over beside it is counted, not kept.
    EXPECT_EQ(plugin->host().otherEventCount(), 1u);

    EXPECT_EQ(plugin->samplesProcessed(), static_cast<std::int64_t>(kLength));
    EXPECT_EQ(plugin->blocksProcessed(), static_cast<std::int64_t>((kLength + blockSize - 1) / blockSize));
    EXPECT_EQ(outputs[0], inputs[0]);
    EXPECT_EQ(outputs[1], inputs[1]);
}

INSTANTIATE_TEST_SUITE_P(HostAudio, BlockSizes, ::testing::Values(1, 7, 256, 999, 1000, 1001, 4096));

TEST(HostAudio, PositionsRunOnAcrossCallsUntilRewound) {
    auto plugin = activeTestPlugin();
    auto quiet = testsupport::stereo(Signal(500, 0.0f));
    auto hit = testsupport::stereo(testsupport::impulse(500, 20, 1.0f));
    auto outputs = testsupport::silentStereo(500);
    plugin->processReplacing(quiet, outputs, 128);
    plugin->processReplacing(hit, outputs, 128);
    plugin->rewind();
    plugin->processReplacing(hit, outputs, 128);

    auto events = plugin->midiEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].position, 520);
    EXPECT_EQ(events[0].block, 4);
    EXPECT_EQ(events[1].position, 20);
    EXPECT_EQ(events[1].block, 0);
}

TEST(HostAudio, AccumulatingAddsToTheOutputs) {
    auto plugin = activeTestPlugin();
    plugin->setParameter(0, 0.5f);
    auto inputs = testsupport::stereo(testsupport::sine(300, 441.0, 44100.0));
    vsthost::Channels outputs = {Signal(300, 0.25f), Signal(300, -0.25f)};
    plugin->process(inputs, outputs, 64);
    for (std::size_t i = 0; i < 300; ++i) {
        ASSERT_FLOAT_EQ(outputs[0][i], 0.25f + 0.5f * inputs[0][i]) << i;
        ASSERT_FLOAT_EQ(outputs[1][i], -0.25f + 0.5f * inputs[1][i]) << i;
    }
    plugin->processReplacing(inputs, outputs, 64);
    EXPECT_FLOAT_EQ(outputs[0][25], 0.5f);
}

TEST(HostAudio, RunsTheShortestBufferGiven) {
    auto plugin = activeTestPlugin();
    vsthost::Channels inputs = {Signal(100, 0.1f), Signal(80, 0.1f)};
    auto outputs = testsupport::silentStereo(120);
    plugin->processReplacing(inputs, outputs, 32);
    EXPECT_EQ(plugin->samplesProcessed(), 80);
    EXPECT_EQ(outputs[0][79], 0.1f);
    EXPECT_EQ(outputs[0][80], 0.0f);
}

TEST(HostAudio, RefusesBuffersThatDoNotFitThePlugIn) {
    auto plugin = activeTestPlugin();
    vsthost::Channels one = {Signal(64, 0.0f)};
    auto two = testsupport::silentStereo(64);
    EXPECT_THROW(plugin->processReplacing(one, two, 16), std::invalid_argument);
    EXPECT_THROW(plugin->processReplacing(two, one, 16), std::invalid_argument);
    EXPECT_THROW(plugin->process(two, two, 0), std::invalid_argument);
    EXPECT_EQ(plugin->blocksProcessed(), 0);
}

TEST(HostAudio, RecordsEventsOnTheAudioPathWithoutAllocating) {
    auto plugin = activeTestPlugin();
    auto inputs = testsupport::stereo(testsupport::burst(2048, 100, 1000, 441.0, 44100.0));
    auto outputs = testsupport::silentStereo(2048);
    plugin->processReplacing(inputs, outputs, 64); // sizes the channel tables
    plugin->clearRecords();

    float* in[2] = {inputs[0].data(), inputs[1].data()};
    float* out[2] = {outputs[0].data(), outputs[1].data()};
    testsupport::AllocationCounter counter;
    plugin->processReplacing(inputs, outputs, 64);
    ASSERT_TRUE(plugin->processBlock(vsthost::ProcessMode::Replacing, in, out, 2048));
    EXPECT_EQ(counter.allocations(), 0u);
    EXPECT_EQ(counter.releases(), 0u);
    // The magnitude of a 441 Hz burst reaches 0.5 twice per period: ten periods, twenty notes per pass.
    EXPECT_EQ(plugin->midiEvents().size(), 40u);
}

TEST(HostAudio, MidiBeyondCapacityIsCountedAsDropped) {
    vsthost::HostSettings settings;
    settings.midiCapacity = 3;
    auto plugin = activeTestPlugin(settings);
    auto inputs = testsupport::stereo(testsupport::sine(1000, 441.0, 44100.0));
    auto outputs = testsupport::silentStereo(1000);
    plugin->processReplacing(inputs, outputs, 100);
    EXPECT_EQ(plugin->midiEvents().size(), 3u);
    EXPECT_EQ(plugin->droppedMidiEvents(), 17u);
}

TEST(HostAudio, EventsOutsideProcessingAreMarkedSo) {
    auto plugin = activeTestPlugin();
    auto inputs = testsupport::stereo(Signal(100, 0.0f));
    auto outputs = testsupport::silentStereo(100);
    plugin->processReplacing(inputs, outputs, 100);

    vst::VstMidiEvent note{
        vst::kVstMidiType, sizeof(vst::VstMidiEvent), 5, 0, 0, 0, {'\x80', 60, 0, 0}, 0, 0, 0, 0};
    vst::VstEvents list{1, 0, {reinterpret_cast<vst::VstEvent*>(&note), nullptr}};
    vsthost::hostCallback(&plugin->effect(), vst::audioMasterProcessEvents, 0, 0, &list, 0.0f);
    auto events = plugin->midiEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].block, vsthost::kOutsideProcessing);
    EXPECT_EQ(events[0].position, 105);
    EXPECT_FALSE(plugin->calls().back().duringProcessing);
}

} // namespace
