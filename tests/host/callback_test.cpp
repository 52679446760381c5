#include <algorithm>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "host/HostCallback.h"
#include "host/Plugin.h"
#include "tests/host/TestPlugins.h"

namespace {

using vsthost::CallRecord;

const CallRecord* findCall(const std::vector<CallRecord>& calls, vst::VstInt32 opcode,
                           const char* text = "") {
    auto found = std::find_if(calls.begin(), calls.end(), [&](const CallRecord& call) {
        return call.opcode == opcode && std::strcmp(call.text, text) == 0;
    });
    return found == calls.end() ? nullptr : &*found;
}

// Calls the host the way the plug-in instance itself would.
vst::VstIntPtr askAs(vsthost::Plugin& plugin, vst::VstInt32 opcode, void* ptr = nullptr) {
    return vsthost::hostCallback(&plugin.effect(), opcode, 0, 0, ptr, 0.0f);
}

TEST(HostCallback, TheEntrysVersionQueryIsAnsweredAndRecorded) {
    auto plugin = vsthost::Plugin::load(hosttest::bothEntries());
    auto calls = plugin->calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].opcode, vst::audioMasterVersion);
    EXPECT_EQ(calls[0].answer, 2400);
    EXPECT_TRUE(calls[0].ptrWasNull);
    EXPECT_FALSE(calls[0].duringProcessing);
}

TEST(HostCallback, AnswersWhatAPlugInAsksWhenOpened) {
    vsthost::HostSettings settings;
    settings.sampleRate = 48000.0f;
    settings.blockSize = 256;
    settings.vendorVersion = 4321;
    auto plugin = vsthost::Plugin::load(hosttest::bothEntries(), settings);
    plugin->open();
    auto calls = plugin->calls();

    ASSERT_NE(findCall(calls, vst::audioMasterGetSampleRate), nullptr);
    EXPECT_EQ(findCall(calls, vst::audioMasterGetSampleRate)->answer, 48000);
    ASSERT_NE(findCall(calls, vst::audioMasterGetBlockSize), nullptr);
    EXPECT_EQ(findCall(calls, vst::audioMasterGetBlockSize)->answer, 256);
    ASSERT_NE(findCall(calls, vst::audioMasterGetVendorVersion), nullptr);
    EXPECT_EQ(findCall(calls, vst::audioMasterGetVendorVersion)->answer, 4321);

    const CallRecord* midi = findCall(calls, vst::audioMasterCanDo, "sendVstMidiEvent");
    ASSERT_NE(midi, nullptr);
    EXPECT_EQ(midi->answer, 1);
    const CallRecord* resize = findCall(calls, vst::audioMasterCanDo, "sizeWindow");
    ASSERT_NE(resize, nullptr);
    EXPECT_EQ(resize->answer, 0);
}

TEST(HostCallback, ReportsTheRateAndBlockSizeLastToldToThePlugIn) {
    auto plugin = vsthost::Plugin::load(hosttest::bothEntries());
    EXPECT_EQ(askAs(*plugin, vst::audioMasterGetSampleRate), 44100);
    plugin->setSampleRate(96000.0f);
    plugin->setBlockSize(64);
    EXPECT_EQ(askAs(*plugin, vst::audioMasterGetSampleRate), 96000);
    EXPECT_EQ(askAs(*plugin, vst::audioMasterGetBlockSize), 64);
}

TEST(HostCallback, WritesItsNamesIntoTheGivenBufferAndNeverThroughNull) {
    vsthost::HostSettings settings;
    settings.vendor = "Vendor";
    settings.product = std::string(100, 'p');
    auto plugin = vsthost::Plugin::load(hosttest::bothEntries(), settings);

    char text[80];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(askAs(*plugin, vst::audioMasterGetVendorString, text), 1);
    EXPECT_STREQ(text, "Vendor");
    // A name longer than the 64 bytes hosts hand out is cut to fit, terminator included.
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(askAs(*plugin, vst::audioMasterGetProductString, text), 1);
    EXPECT_EQ(std::strlen(text), 63u);
    EXPECT_EQ(text[64], 'x');

    EXPECT_EQ(askAs(*plugin, vst::audioMasterGetVendorString), 0);
    EXPECT_EQ(askAs(*plugin, vst::audioMasterGetProductString), 0);
    EXPECT_EQ(askAs(*plugin, vst::audioMasterCanDo), 0);
    EXPECT_EQ(askAs(*plugin, vst::audioMasterProcessEvents), 0);
}

TEST(HostCallback, AnswersZeroToWhatItDoesNotOffer) {
    auto plugin = vsthost::Plugin::load(hosttest::bothEntries());
    for (vst::VstInt32 opcode : std::initializer_list<vst::VstInt32>{
             vst::audioMasterAutomate, vst::audioMasterCurrentId, vst::audioMasterIdle,
             vst::audioMasterPinConnected, vst::audioMasterGetTime, vst::audioMasterSizeWindow,
             vst::audioMasterGetNextPlug, vst::audioMasterOpenFileSelector,
             vst::audioMasterGetInputSpeakerArrangement, 5, 50, 1000, -1}) {
        EXPECT_EQ(askAs(*plugin, opcode), 0) << "opcode " << opcode;
    }
    EXPECT_EQ(askAs(*plugin, vst::audioMasterUpdateDisplay), 1);
    EXPECT_EQ(plugin->countCalls(1000), 1u);
}

TEST(HostCallback, NotesARequestForMidi) {
    auto plugin = vsthost::Plugin::load(hosttest::bothEntries());
    EXPECT_FALSE(plugin->wantsMidi());
    plugin->activate();
    EXPECT_TRUE(plugin->wantsMidi());
    auto calls = plugin->calls();
    const CallRecord* request = findCall(calls, vst::audioMasterWantMidi);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->value, 1);
}

TEST(HostCallback, CallsFromUnknownEffectsGetADefaultHost) {
    std::size_t before = vsthost::strayCallCount();
    vst::AEffect stranger{};
    EXPECT_EQ(vsthost::hostCallback(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
    EXPECT_EQ(vsthost::hostCallback(&stranger, vst::audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(vsthost::strayCallCount(), before + 2);
}

TEST(HostCallback, AClosedInstanceIsForgotten) {
    auto plugin = vsthost::Plugin::load(hosttest::bothEntries());
    vst::AEffect* record = &plugin->effect();
    std::size_t before = vsthost::strayCallCount();
    plugin->close();
    EXPECT_TRUE(plugin->isClosed());
    EXPECT_THROW(plugin->effect(), std::logic_error);
    vsthost::hostCallback(record, vst::audioMasterIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(vsthost::strayCallCount(), before + 1);
    plugin->close(); // a second close does nothing
}

} // namespace
