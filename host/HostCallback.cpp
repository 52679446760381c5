#include "host/HostCallback.h"

#include <array>
#include <atomic>
#include <mutex>

namespace vsthost {
namespace {

// Looked up by every callback, from any thread: a scan of atomics rather than a locked map, so that the
// audio thread never waits for the controlling thread.
struct InstanceSlot {
    std::atomic<vst::AEffect*> effect{nullptr};
    std::atomic<HostContext*> context{nullptr};
};

constexpr std::size_t kMaxInstances = 256;
std::array<InstanceSlot, kMaxInstances> instances;
std::mutex registration;
std::atomic<std::size_t> strayCalls{0};
thread_local HostContext* creating = nullptr;

HostContext* contextOf(vst::AEffect* effect) {
    if (effect != nullptr) {
        for (InstanceSlot& slot : instances) {
            if (slot.effect.load(std::memory_order_acquire) == effect) {
                return slot.context.load(std::memory_order_relaxed);
            }
        }
    }
    return creating;
}

vst::VstIntPtr defaultAnswer(vst::VstInt32 opcode) {
    return opcode == vst::audioMasterVersion ? kHostVersion : 0;
}

} // namespace

vst::VstIntPtr hostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                            vst::VstIntPtr value, void* ptr, float opt) {
    if (HostContext* context = contextOf(effect)) {
        return context->answer(opcode, index, value, ptr, opt);
    }
    strayCalls.fetch_add(1, std::memory_order_relaxed);
    return defaultAnswer(opcode);
}

std::size_t strayCallCount() {
    return strayCalls.load(std::memory_order_relaxed);
}

CreationScope::CreationScope(HostContext& context) : previous(creating) {
    creating = &context;
}

CreationScope::~CreationScope() {
    creating = previous;
}

bool registerInstance(vst::AEffect* effect, HostContext& context) {
    std::lock_guard lock(registration);
    for (InstanceSlot& slot : instances) {
        if (slot.effect.load(std::memory_order_relaxed) == nullptr) {
            slot.context.store(&context, std::memory_order_relaxed);
            slot.effect.store(effect, std::memory_order_release);
            return true;
        }
    }
    return false;
}

void unregisterInstance(vst::AEffect* effect) {
    std::lock_guard lock(registration);
    for (InstanceSlot& slot : instances) {
        if (slot.effect.load(std::memory_order_relaxed) == effect) {
            slot.effect.store(nullptr, std::memory_order_release);
            slot.context.store(nullptr, std::memory_order_relaxed);
        }
    }
}

} // namespace vsthost
