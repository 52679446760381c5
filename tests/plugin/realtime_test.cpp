// The audio path as a host's audio thread needs it: no allocation, and no data race with automation and
// the editor running at the same time (this suite is meant to run under ThreadSanitizer too).
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "tests/plugin/engine_harness.h"
#include "tests/support/AllocationCounter.h"

namespace zephyrion {
namespace {

using testing::EngineHarness;
using testing::StereoBuffer;

StereoBuffer drumLoop(std::size_t frames) {
    StereoBuffer buffer(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t phase = i % 4410;
        const float level = phase < 200 ? 0.95f * (1.0f - static_cast<float>(phase) / 200.0f) : 0.0f;
        buffer.left[i] = (i & 1) != 0 ? level : -level;
        buffer.right[i] = buffer.left[i] * 0.5f;
    }
    return buffer;
}

TEST(RealTime, ProcessingAllocatesNothingInAnyMode) {
    EngineHarness host;
    host.midi.reserve(1 << 16);
    host.opcodes.reserve(1 << 16);
    const StereoBuffer input = drumLoop(44100);
    StereoBuffer output(input.size());
    float* inputs[2] = {const_cast<float*>(input.left.data()), const_cast<float*>(input.right.data())};
    float* outputs[2] = {output.left.data(), output.right.data()};
    std::size_t allocations = 0;
    for (float mode : {0.0f, 1.0f}) {
        host.set(kNoteOrCC, mode);
        for (float freqMode : {0.0f, 0.1f, 0.2f}) {
            host.set(kFreqMode, freqMode);
            testsupport::AllocationCounter counter;
            host.effect()->processReplacing(host.effect(), inputs, outputs,
                                            static_cast<std::int32_t>(input.size()));
            host.effect()->process(host.effect(), inputs, outputs, static_cast<std::int32_t>(input.size()));
            allocations += counter.allocations();
        }
    }
    EXPECT_GT(host.midi.size(), 20u) << "the loop must actually produce events while counting";
    EXPECT_EQ(allocations, 0u);
}

TEST(RealTime, AutomationAudioAndEditorThreadsAtOnce) {
    EngineHarness host;
    host.set(kVeloSw, 1.0f);
    host.midi.reserve(1 << 16);
    host.opcodes.reserve(1 << 16);
    const StereoBuffer input = drumLoop(8192);
    std::atomic<bool> done{false};

    std::thread automation([&] {
        for (int i = 0; !done.load(); ++i) {
            host.set(kFalloff, static_cast<float>(i % 100) / 100.0f);
            host.set(kAmpHi, 0.3f + static_cast<float>(i % 10) / 100.0f);
            host.set(kNoteOrCC, (i % 50) < 5 ? 1.0f : 0.0f);
            // The window's bounds and the lowest velocity change between the window test and the velocity.
            host.set(kAmpLo, static_cast<float>(i % 7) / 10.0f);
            host.set(kMidiVelocity, static_cast<float>(i % 3) / 2.0f);
        }
    });
    std::atomic<long> idleCalls{0};
    std::thread editor([&] {
        float highest = 0.0f;
        while (!done.load()) {
            host.dispatch(vst::effEditIdle);
            highest = std::max(highest, host.plugin().getMeterLevel() + host.plugin().getMeterPeak());
            (void)host.plugin().isNoteActive();
            ++idleCalls;
        }
        EXPECT_GT(highest, 0.0f);
    });

    StereoBuffer output(input.size());
    float* inputs[2] = {const_cast<float*>(input.left.data()), const_cast<float*>(input.right.data())};
    float* outputs[2] = {output.left.data(), output.right.data()};
    for (int block = 0; block < 40; ++block) {
        host.effect()->processReplacing(host.effect(), inputs, outputs,
                                        static_cast<std::int32_t>(input.size()));
    }
    // The audio may be done before the editor thread has begun: it must still idle and read the meter.
    for (const long seen = idleCalls.load(); idleCalls.load() < seen + 2;) {
        std::this_thread::yield();
    }
    done = true;
    automation.join();
    editor.join();
    EXPECT_FALSE(host.midi.empty());
    for (const auto& message : host.midi) {
        EXPECT_TRUE(message.isNoteOn() || message.isNoteOff() || message.isControlChange());
        EXPECT_LT(message.data1, 128);
        EXPECT_LT(message.data2, 128);
        if (message.isNoteOn()) {
            EXPECT_GE(message.data2, 1) << "a note-on of velocity 0 is a note-off";
        }
    }
}

} // namespace
} // namespace zephyrion
