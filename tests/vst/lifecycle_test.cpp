// Instances of the real library side by side, the calls they make to the host, and what closing leaves.
#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "tests/support/AllocationCounter.h"
#include "tests/support/PeerPlugins.h"
#include "tests/vst/ZephyrionHost.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

std::size_t noteOns(const vsthost::Plugin& plugin) {
    auto events = plugin.midiEvents();
    return static_cast<std::size_t>(
        std::count_if(events.begin(), events.end(), [](const vsthost::MidiRecord& r) {
            return vsttest::statusOf(r) == 0x90 && r.event.midiData[2] != 0;
        }));
}

void runHit(vsthost::Plugin& plugin, std::size_t blockSize = 512) {
    auto inputs = vsttest::hitAt(8192, 1000);
    auto outputs = testsupport::silentStereo(8192);
    plugin.processReplacing(inputs, outputs, blockSize);
}

TEST(LiveInstances, TwoInstancesAreIndependent) {
    auto first = vsttest::loadZephyrion();
    auto second = vsttest::loadZephyrion();
    EXPECT_NE(&first->effect(), &second->effect());
    EXPECT_NE(first->effect().object, second->effect().object);

    float before = second->getParameter(0);
    first->setParameter(0, before > 0.5f ? 0.1f : 0.9f);
    EXPECT_EQ(second->getParameter(0), before);
    first->setProgram(2);
    EXPECT_EQ(second->program(), 0);

    first->activate();
    second->activate();
    runHit(*first);
    EXPECT_EQ(noteOns(*second), 0u);
    first->close();

    runHit(*second);
    EXPECT_EQ(noteOns(*second), 1u);
    EXPECT_EQ(second->program(), 0);
}

TEST(LiveInstances, TheHostHearsOnlyTheCallsThePlugInRelyOn) {
    auto plugin = vsttest::loadZephyrion();
    plugin->activate();
    for (vst::VstInt32 index = 0; index < vsttest::kParameterCount; ++index) {
        plugin->setParameter(index, plugin->getParameter(index));
        plugin->parameterDisplay(index);
    }
    plugin->setProgram(1);
    plugin->setProgram(0);
    runHit(*plugin, 100);
    plugin->suspend();

    std::set<vst::VstInt32> opcodes;
    std::size_t eventCalls = 0;
    for (const vsthost::CallRecord& call : plugin->calls()) {
        opcodes.insert(call.opcode);
        if (call.opcode == vst::audioMasterProcessEvents) {
            ++eventCalls;
            EXPECT_TRUE(call.duringProcessing);
            EXPECT_EQ(call.answer, 1);
        }
        if (call.opcode == vst::audioMasterWantMidi) {
            EXPECT_EQ(call.value, 1);
        }
    }
    EXPECT_EQ(opcodes, (std::set<vst::VstInt32>{vst::audioMasterVersion, vst::audioMasterWantMidi,
                                                vst::audioMasterProcessEvents}));
    // One MIDI event per call, each placed inside the block it came in.
    auto events = plugin->midiEvents();
    EXPECT_EQ(events.size(), eventCalls);
    EXPECT_EQ(plugin->host().otherEventCount(), 0u);
    for (const vsthost::MidiRecord& record : events) {
        EXPECT_EQ(record.event.byteSize, 32);
        EXPECT_GE(record.event.deltaFrames, 0);
        EXPECT_LT(record.event.deltaFrames, 100);
        EXPECT_EQ(record.block, record.position / 100);
    }
    EXPECT_GE(noteOns(*plugin), 1u);
}

TEST(LiveInstances, RunBesideAnotherVendorsPlugInInOneHost) {
    auto trigger = testsupport::loadLspTrigger();
    if (trigger == nullptr) {
        GTEST_SKIP() << testsupport::kLspTrigger << " is absent or not for this machine";
    }
    auto zephyrion = vsttest::loadZephyrion();
    zephyrion->activate();
    runHit(*zephyrion);
    EXPECT_TRUE(trigger->midiEvents().empty());
    runHit(*trigger);
    EXPECT_EQ(noteOns(*zephyrion), 1u);
    EXPECT_GE(noteOns(*trigger), 1u);
}

void openRunAndClose(const std::shared_ptr<vsthost::Module>& module) {
    vsthost::HostSettings small;
    small.callbackCapacity = 64;
    small.midiCapacity = 64;
    vsthost::Plugin plugin(module, small);
    plugin.activate();
    plugin.setProgramName("cycle");
    runHit(plugin, 256);
    plugin.suspend();
    plugin.close();
}

TEST(LiveInstances, CloseFreesEverythingTheInstanceTook) {
    auto module = vsthost::Module::load(testsupport::pluginPath());
    openRunAndClose(module); // first use may set up lasting library state
#if defined(__SANITIZE_ADDRESS__)
    for (int cycle = 0; cycle < 20; ++cycle) {
        openRunAndClose(module);
    }
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#else
    if (!testsupport::mallocCounted()) {
        GTEST_SKIP() << "the plug-in's allocations are not visible from this build";
    }
    testsupport::AllocationCounter counter;
    for (int cycle = 0; cycle < 20; ++cycle) {
        openRunAndClose(module);
    }
    EXPECT_GT(counter.allocations(), 0u);
    EXPECT_EQ(counter.allocations(), counter.releases());
#endif
}

} // namespace
