// A plug-in instance created through its own entry, with a host callback that records automation, and the
// headless window its editor opens in.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "editor/uEditor.h"
#include "plugin/uPlugin.h"
#include "plugin/uPluginEditor.h"
#include "ui/platform/headless/HeadlessWindow.h"
#include "vst/entry.h"

namespace editortest {

struct Automation {
    std::int32_t index;
    float value;
    friend bool operator==(const Automation&, const Automation&) = default;
};

class PluginEditorTest : public testing::Test {
protected:
    void SetUp() override {
        automations().clear();
        effect = vst::pluginEntry(&PluginEditorTest::hostCallback);
        ASSERT_NE(effect, nullptr);
    }
    void TearDown() override {
        if (effect != nullptr) {
            dispatch(vst::effClose);
        }
    }

    static std::vector<Automation>& automations() {
        static std::vector<Automation> recorded;
        return recorded;
    }

    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    zephyrion::APlugin& plugin() { return *static_cast<zephyrion::APlugin*>(effect->object); }
    zephyrion::APluginEditor& adapter() {
        return *static_cast<zephyrion::APluginEditor*>(plugin().getEditor());
    }
    editor::TPluginEditorWindow& window() {
        editor::TPluginEditorWindow* shown = adapter().editorWindow();
        EXPECT_NE(shown, nullptr);
        return *shown;
    }
    ui::platform::headless::HeadlessWindow& screen() {
        return *ui::platform::headless::HeadlessWindow::from(window().nativeWindow());
    }

    // Opens the editor in a made-up parent window and forgets the automation the opening sends.
    void openEditor() {
        ASSERT_EQ(dispatch(vst::effEditOpen, 0, 0, &parent), 1);
        automations().clear();
    }
    // One refresh by the window's own timer, as a second passes.
    void tickRefresh() { screen().advance(1000); }

    // Runs one block of the same signal on both inputs.
    void process(const std::vector<float>& signal) {
        std::vector<float> left = signal;
        std::vector<float> right = signal;
        std::vector<float> outLeft(signal.size());
        std::vector<float> outRight(signal.size());
        float* inputs[] = {left.data(), right.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        effect->processReplacing(effect, inputs, outputs, static_cast<vst::VstInt32>(signal.size()));
    }

    vst::AEffect* effect = nullptr;
    int parent = 0;

private:
    static vst::VstIntPtr hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index,
                                       vst::VstIntPtr, void*, float opt) {
        if (opcode == vst::audioMasterVersion) {
            return 2400;
        }
        if (opcode == vst::audioMasterAutomate) {
            automations().push_back({index, opt});
        }
        return 0;
    }
};

} // namespace editortest
