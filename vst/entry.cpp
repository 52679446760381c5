#include "vst/entry.h"

#include "vst/DAudioEffect.h"

namespace vst {

AEffect* pluginEntry(audioMasterCallback audioMaster) {
    if (audioMaster == nullptr) {
        return nullptr;
    }
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    try {
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect == nullptr ? nullptr : effect->getAeffect();
    } catch (...) {
        return nullptr;
    }
}

} // namespace vst
