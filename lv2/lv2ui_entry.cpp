// The user-interface library's one export: the descriptor of the editor as an X11 UI with an idle interface.
#include <lv2/core/lv2_util.h>
#include <lv2/log/logger.h>

#include "editor/EditorLayout.h"
#include "lv2/Lv2Ports.h"
#include "lv2/Lv2Ui.h"

namespace zephyrion::lv2 {
namespace {

Lv2Ui& ui(LV2UI_Handle handle) {
    return *static_cast<Lv2Ui*>(handle);
}

void reportError(const LV2_Feature* const* features, const std::string& error) {
    LV2_Log_Logger logger{};
    lv2_log_logger_init(
        &logger,
        features != nullptr ? static_cast<LV2_URID_Map*>(lv2_features_data(features, LV2_URID__map))
                            : nullptr,
        features != nullptr ? static_cast<LV2_Log_Log*>(lv2_features_data(features, LV2_LOG__log)) : nullptr);
    lv2_log_error(&logger, "Zephyrion: %s\n", error.c_str());
}

LV2UI_Handle instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                         const char* /*bundle*/, LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    std::string error = uiInstantiationError(features);
    if (error.empty() && (pluginUri == nullptr || std::string_view(pluginUri) != kPluginUri)) {
        error = "this editor belongs to " + std::string(kPluginUri) + ", not to " +
                (pluginUri != nullptr ? pluginUri : "no plug-in");
    }
    if (!error.empty()) {
        reportError(features, error);
        return nullptr;
    }
    auto* created =
        new Lv2Ui(lv2_features_data(features, LV2_UI__parent), sampleRateOption(features), write, controller);
    if (created->window() == nullptr) {
        delete created;
        reportError(features, "the window system gave no window for the editor");
        return nullptr;
    }
    *widget = created->window()->nativeWindow()->handle();
    if (const auto* resize = static_cast<const LV2UI_Resize*>(lv2_features_data(features, LV2_UI__resize));
        resize != nullptr && resize->ui_resize != nullptr) {
        resize->ui_resize(resize->handle, editor::kWindowWidth, editor::kWindowHeight);
    }
    return created;
}

void cleanup(LV2UI_Handle handle) {
    delete &ui(handle);
}

void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t format,
               const void* buffer) {
    ui(handle).portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle) {
    ui(handle).idle();
    return 0;
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
    return uri != nullptr && std::string_view(uri) == LV2_UI__idleInterface ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor kDescriptor = {kUiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace
} // namespace zephyrion::lv2

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
    return index == 0 ? &zephyrion::lv2::kDescriptor : nullptr;
}
