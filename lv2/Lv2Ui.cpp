#include "lv2/Lv2Ui.h"

#include <utility>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2_util.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/urid/urid.h>

#include "lv2/Lv2Ports.h"

namespace zephyrion::lv2 {

std::string uiInstantiationError(const LV2_Feature* const* features) {
    if (features == nullptr || lv2_features_data(features, LV2_UI__parent) == nullptr) {
        return "the host gives no " LV2_UI__parent " window to show the editor in";
    }
    return {};
}

float sampleRateOption(const LV2_Feature* const* features) {
    if (features == nullptr) {
        return 0.0f;
    }
    auto* map = static_cast<LV2_URID_Map*>(lv2_features_data(features, LV2_URID__map));
    const auto* option =
        static_cast<const LV2_Options_Option*>(lv2_features_data(features, LV2_OPTIONS__options));
    if (map == nullptr || option == nullptr) {
        return 0.0f;
    }
    const LV2_URID sampleRateKey = map->map(map->handle, LV2_PARAMETERS__sampleRate);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (; option->key != 0; ++option) {
        if (option->key == sampleRateKey && option->type == floatType && option->size == sizeof(float)) {
            return *static_cast<const float*>(option->value);
        }
    }
    return 0.0f;
}

Lv2Ui::Lv2Ui(void* parent, float rate, LV2UI_Write_Function writeFunction, LV2UI_Controller hostController)
    : sampleRate(rate), write(writeFunction), controller(hostController) {
    for (const ParameterInfo& parameter : kParameters) {
        values[static_cast<std::size_t>(parameter.index)] = parameter.initial;
    }
    auto created = std::make_unique<editor::TPluginEditorWindow>(parent);
    if (created->nativeWindow() == nullptr) {
        return;
    }
    editorWindow = std::move(created);
    editorWindow->plugin = this;
    editorWindow->takeParameters();
    editorWindow->showTaken();
}

void Lv2Ui::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    // Only plain control values carry anything this window shows.
    if (format != 0 || size != sizeof(float) || buffer == nullptr) {
        return;
    }
    const float value = *static_cast<const float*>(buffer);
    if (isParameterPort(port)) {
        values[static_cast<std::size_t>(parameterOfPort(port))] = value;
        valuesChanged = true;
    } else if (port == kMeterLevelPort) {
        meterLevel = value;
    } else if (port == kMeterPeakPort) {
        meterPeak = value;
    } else if (port == kNoteActivePort) {
        noteActive = value > 0.5f;
    }
}

void Lv2Ui::idle() {
    if (editorWindow) {
        editorWindow->idle(std::exchange(valuesChanged, false));
    }
}

float Lv2Ui::getParameter(std::int32_t index) {
    return isRealParameter(index) ? values[static_cast<std::size_t>(index)] : 0.0f;
}

void Lv2Ui::setParameterAutomated(std::int32_t index, float value) {
    if (!isRealParameter(index)) {
        return;
    }
    values[static_cast<std::size_t>(index)] = value;
    if (write != nullptr) {
        write(controller, parameterPort(index), sizeof value, 0, &value);
    }
}

} // namespace zephyrion::lv2
