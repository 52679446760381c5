#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "host/Plugin.h"
#include "tests/host/TestPlugins.h"

namespace {

std::unique_ptr<vsthost::Plugin> loadTestPlugin(vsthost::HostSettings settings = {}) {
    return vsthost::Plugin::load(hosttest::bothEntries(), settings);
}

TEST(PluginDriving, ReadsAndWritesParametersAndTheirTexts) {
    auto plugin = loadTestPlugin();
    EXPECT_EQ(plugin->getParameter(0), 1.0f);
    plugin->setParameter(0, 0.5f);
    EXPECT_EQ(plugin->getParameter(0), 0.5f);
    EXPECT_EQ(plugin->parameterName(0), "Gain");
    EXPECT_EQ(plugin->parameterName(2), "Echo");
    EXPECT_EQ(plugin->parameterLabel(0), "x");
    EXPECT_EQ(plugin->parameterDisplay(0), "0.50");
    EXPECT_TRUE(plugin->canBeAutomated(2));
    EXPECT_FALSE(plugin->canBeAutomated(3));
}

TEST(PluginDriving, SelectsAndNamesPrograms) {
    auto plugin = loadTestPlugin();
    EXPECT_EQ(plugin->program(), 0);
    EXPECT_EQ(plugin->programName(), "First");
    plugin->setProgram(1);
    EXPECT_EQ(plugin->program(), 1);
    plugin->setProgramName("Renamed");
    EXPECT_EQ(plugin->programName(), "Renamed");
    EXPECT_EQ(plugin->programNameIndexed(0), "First");
    EXPECT_EQ(plugin->programNameIndexed(1), "Renamed");
    EXPECT_EQ(plugin->programNameIndexed(5), "");
}

TEST(PluginDriving, AsksForIdentityAndCapabilities) {
    auto plugin = loadTestPlugin();
    EXPECT_EQ(plugin->effectName(), "Host Test");
    EXPECT_EQ(plugin->vendorString(), "Zephyrion tests");
    EXPECT_EQ(plugin->productString(), "Host test plug-in");
    EXPECT_EQ(plugin->vendorVersion(), 7);
    EXPECT_EQ(plugin->canDo("sendVstMidiEvent"), 1);
    EXPECT_EQ(plugin->canDo("receiveVstTimeInfo"), -1);
}

TEST(PluginDriving, DrivesTheEditor) {
    auto plugin = loadTestPlugin();
    ASSERT_TRUE(plugin->hasEditor());
    auto rect = plugin->editorRect();
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(rect->bottom - rect->top, 50);
    EXPECT_EQ(rect->right - rect->left, 100);

    int nativeWindow = 0;
    EXPECT_TRUE(plugin->openEditor(&nativeWindow));
    EXPECT_EQ(plugin->dispatch(vst::effVendorSpecific, hosttest::kParentQuery),
              reinterpret_cast<vst::VstIntPtr>(&nativeWindow));
    plugin->idleEditor();
    plugin->idleEditor();
    EXPECT_EQ(plugin->countCalls(vst::audioMasterIdle), 2u);
    plugin->closeEditor();
    EXPECT_EQ(plugin->dispatch(vst::effVendorSpecific, hosttest::kParentQuery), 0);
    EXPECT_FALSE(plugin->openEditor(nullptr));
}

TEST(PluginDriving, InstancesKeepTheirOwnStateAndRecords) {
    auto first = loadTestPlugin();
    auto second = loadTestPlugin();
    first->setParameter(hosttest::kMirrorParameter, 0.75f);
    second->setProgram(1);
    EXPECT_EQ(first->getParameter(hosttest::kEchoParameter), 0.75f);
    EXPECT_EQ(second->getParameter(hosttest::kEchoParameter), 0.0f);
    EXPECT_EQ(first->program(), 0);
    EXPECT_EQ(first->countCalls(vst::audioMasterAutomate), 1u);
    EXPECT_EQ(second->countCalls(vst::audioMasterAutomate), 0u);
    first.reset();
    EXPECT_EQ(second->program(), 1);
}

TEST(CallRecording, KeepsAutomationWithItsIndexAndValue) {
    auto plugin = loadTestPlugin();
    plugin->clearRecords();
    plugin->setParameter(hosttest::kMirrorParameter, 0.3f);
    auto calls = plugin->calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].opcode, vst::audioMasterBeginEdit);
    EXPECT_EQ(calls[1].opcode, vst::audioMasterAutomate);
    EXPECT_EQ(calls[1].index, hosttest::kEchoParameter);
    EXPECT_EQ(calls[1].opt, 0.3f);
    EXPECT_EQ(calls[2].opcode, vst::audioMasterEndEdit);
    EXPECT_EQ(calls[2].answer, 1);
}

TEST(CallRecording, LosesNothingWhenSeveralThreadsCallAtOnce) {
    auto plugin = loadTestPlugin();
    plugin->clearRecords();
    constexpr int kThreads = 4;
    constexpr int kChangesEach = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&plugin, t] {
            for (int i = 0; i < kChangesEach; ++i) {
                plugin->setParameter(hosttest::kMirrorParameter, static_cast<float>(t * kChangesEach + i));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::set<float> values;
    for (const vsthost::CallRecord& call : plugin->calls()) {
        if (call.opcode == vst::audioMasterAutomate) {
            values.insert(call.opt);
        }
    }
    EXPECT_EQ(values.size(), static_cast<std::size_t>(kThreads * kChangesEach));
    EXPECT_EQ(plugin->countCalls(vst::audioMasterBeginEdit),
              static_cast<std::size_t>(kThreads * kChangesEach));
    EXPECT_EQ(plugin->droppedCalls(), 0u);
}

TEST(CallRecording, CountsWhatDoesNotFit) {
    vsthost::HostSettings settings;
    settings.callbackCapacity = 4;
    auto plugin = loadTestPlugin(settings);
    plugin->clearRecords();
    for (int i = 0; i < 3; ++i) {
        plugin->setParameter(hosttest::kMirrorParameter, 0.1f * static_cast<float>(i));
    }
    EXPECT_EQ(plugin->calls().size(), 4u);
    EXPECT_EQ(plugin->droppedCalls(), 5u);
}

} // namespace
