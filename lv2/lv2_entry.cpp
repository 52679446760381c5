// The plug-in library's one export: the descriptor through which an LV2 host makes and drives instances.
#include <lv2/core/lv2_util.h>
#include <lv2/log/logger.h>

#include "lv2/Lv2Plugin.h"

namespace zephyrion::lv2 {
namespace {

Lv2Plugin& instance(LV2_Handle handle) {
    return *static_cast<Lv2Plugin*>(handle);
}

LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate, const char* /*bundlePath*/,
                       const LV2_Feature* const* features) {
    const std::string error = instantiationError(sampleRate, features);
    if (!error.empty()) {
        LV2_Log_Logger logger{};
        lv2_log_logger_init(&logger, findMap(features),
                            features != nullptr
                                ? static_cast<LV2_Log_Log*>(lv2_features_data(features, LV2_LOG__log))
                                : nullptr);
        lv2_log_error(&logger, "Zephyrion: %s\n", error.c_str());
        return nullptr;
    }
    return new Lv2Plugin(sampleRate, *findMap(features));
}

void connectPort(LV2_Handle handle, std::uint32_t port, void* data) {
    instance(handle).connectPort(port, data);
}

void activate(LV2_Handle handle) {
    instance(handle).activate();
}

void run(LV2_Handle handle, std::uint32_t frames) {
    instance(handle).run(frames);
}

void cleanup(LV2_Handle handle) {
    delete &instance(handle);
}

const void* extensionData(const char* /*uri*/) {
    return nullptr;
}

const LV2_Descriptor kDescriptor = {kPluginUri, instantiate, connectPort, activate,
                                    run,        nullptr,     cleanup,     extensionData};

} // namespace
} // namespace zephyrion::lv2

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
    return index == 0 ? &zephyrion::lv2::kDescriptor : nullptr;
}
