// Helpers that build and copy speaker arrangements for plug-ins that negotiate them with the host.
#include <cstdlib>
#include <cstring>

#include "vst/DAudioEffectX.h"

namespace vst {
namespace {

constexpr std::size_t kHeaderSize = offsetof(VstSpeakerArrangement, speakers);

} // namespace

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 numChannels) {
    if (arrangement == nullptr || numChannels < 0) {
        return false;
    }
    deallocateArrangement(arrangement);
    std::size_t size = kHeaderSize + sizeof(VstSpeakerProperties) * static_cast<std::size_t>(numChannels);
    void* block = std::calloc(1, size);
    if (block == nullptr) {
        return false;
    }
    *arrangement = static_cast<VstSpeakerArrangement*>(block);
    (*arrangement)->numChannels = numChannels;
    return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
    if (arrangement != nullptr) {
        std::free(*arrangement);
        *arrangement = nullptr;
    }
    return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
    if (to == nullptr || from == nullptr) {
        return false;
    }
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy(to->name, from->name, sizeof to->name);
    to->name[sizeof to->name - 1] = '\0';
    to->type = from->type;
    std::memcpy(to->future, from->future, sizeof to->future);
    return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
    if (from == nullptr || to == nullptr) {
        return false;
    }
    if (!deallocateArrangement(to) || !allocateArrangement(to, from->numChannels)) {
        return false;
    }
    (*to)->type = from->type;
    for (VstInt32 i = 0; i < from->numChannels; ++i) {
        if (!copySpeaker(&(*to)->speakers[i], &from->speakers[i])) {
            return false;
        }
    }
    return true;
}

} // namespace vst
