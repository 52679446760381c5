#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "host/Plugin.h"
#include "tests/host/TestPlugins.h"

namespace {

using vsthost::LoadError;
using vsthost::LoadFailure;

LoadFailure failureOf(const std::string& path, vsthost::HostSettings settings = {}) {
    try {
        vsthost::Plugin::load(path, settings);
    } catch (const LoadError& error) {
        // Every message names the file, so a user knows which of several libraries failed.
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        return error.failure();
    }
    ADD_FAILURE() << path << " loaded";
    return LoadFailure::TooManyInstances;
}

TEST(ModuleLoading, NamesWhatIsWrongWithTheFile) {
    EXPECT_EQ(failureOf(testsupport::executableDirectory() + "no-such-plugin.so"), LoadFailure::FileMissing);
    EXPECT_EQ(failureOf(testsupport::executableDirectory()), LoadFailure::NotALibrary);

    std::string text = testsupport::executableDirectory() + "host_test_not_a_library.txt";
    std::ofstream(text) << "plain text, no machine code\n";
    EXPECT_EQ(failureOf(text), LoadFailure::NotALibrary);
    std::filesystem::remove(text);

    EXPECT_EQ(failureOf(hosttest::noEntry()), LoadFailure::NoEntry);
}

TEST(ModuleLoading, RefusalsOfTheEntryAreReported) {
    vsthost::HostSettings versionZero;
    versionZero.version = 0;
    EXPECT_EQ(failureOf(hosttest::bothEntries(), versionZero), LoadFailure::EntryReturnedNull);

    // The test plug-in answers a record without the magic when the host calls itself so.
    vsthost::HostSettings odd;
    odd.product = "wrong magic";
    EXPECT_EQ(failureOf(hosttest::bothEntries(), odd), LoadFailure::WrongMagic);
}

TEST(ModuleLoading, PrefersVstPluginMainAndFallsBackToMain) {
    auto modern = vsthost::Module::load(hosttest::bothEntries());
    EXPECT_EQ(modern->entryName(), "VSTPluginMain");
    EXPECT_EQ(vsthost::Plugin(modern).effect().uniqueID, hosttest::kModernId);

    auto legacy = vsthost::Module::load(hosttest::mainOnly());
    EXPECT_EQ(legacy->entryName(), "main");
    EXPECT_EQ(vsthost::Plugin(legacy).effect().uniqueID, hosttest::kLegacyId);
}

// A callback of the test's own, for checking what the entry asks before any instance exists.
int rawCalls = 0;
vst::AEffect* rawEffectSeen = reinterpret_cast<vst::AEffect*>(1);
vst::VstIntPtr refusingHost(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*,
                            float) {
    ++rawCalls;
    rawEffectSeen = effect;
    return opcode == vst::audioMasterVersion ? 0 : 1;
}

TEST(ModuleLoading, TheRawEntryCanBeCalledWithAnyCallback) {
    auto module = vsthost::Module::load(hosttest::mainOnly());
    EXPECT_EQ(module->entry()(refusingHost), nullptr);
    EXPECT_EQ(rawCalls, 1);
    EXPECT_EQ(rawEffectSeen, nullptr);
}

TEST(ModuleLoading, OneModuleServesSeveralInstancesAndOutlivesNone) {
    auto module = vsthost::Module::load(hosttest::bothEntries());
    auto first = std::make_unique<vsthost::Plugin>(module);
    auto second = std::make_unique<vsthost::Plugin>(module);
    EXPECT_NE(&first->effect(), &second->effect());
    EXPECT_NE(first->effect().object, second->effect().object);
    module.reset();
    // The instances keep the library loaded: their code must still run.
    first->setParameter(0, 0.25f);
    EXPECT_EQ(first->getParameter(0), 0.25f);
    EXPECT_EQ(second->getParameter(0), 1.0f);
}

} // namespace
