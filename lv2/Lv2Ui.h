// The LV2 user interface: the plug-in's editor window inside the host's window, speaking to the plug-in
// through its ports. The user's gestures go to the host's write function; values the host sends move the
// controls, the meter and the display without being written back.
//
// Threads: everything, port events and idle included, on the host's user-interface thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "editor/EditorHost.h"
#include "editor/uEditor.h"
#include "plugin/parameters.h"

namespace zephyrion::lv2 {

class Lv2Ui final : public editor::EditorHost {
public:
    // The window is shown inside `parent` at once; check window() for whether the window system gave one.
    Lv2Ui(void* parent, float sampleRate, LV2UI_Write_Function write, LV2UI_Controller controller);

    // Null when the window system gave no window.
    editor::TPluginEditorWindow* window() const { return editorWindow.get(); }
    void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
    void idle();

    float getParameter(std::int32_t index) override;
    void setParameterAutomated(std::int32_t index, float value) override;
    float getSampleRate() override { return sampleRate; }
    float getMeterLevel() override { return meterLevel; }
    float getMeterPeak() override { return meterPeak; }
    bool isNoteActive() override { return noteActive; }

private:
    float sampleRate;
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    std::array<float, kNumRealParams> values{};
    bool valuesChanged = false;
    float meterLevel = 0.0f;
    float meterPeak = 0.0f;
    bool noteActive = false;
    std::unique_ptr<editor::TPluginEditorWindow> editorWindow;
};

// Why no user interface can be made with these features, or empty when it can.
std::string uiInstantiationError(const LV2_Feature* const* features);
// The sample rate among the host's options, 0 when it gives none.
float sampleRateOption(const LV2_Feature* const* features);

} // namespace zephyrion::lv2
