// Base of every editor a plug-in attaches to its effect: the answers a host gets when the plug-in has
// nothing better to say. Reached only through the effect's dispatcher, on the host's user-interface thread.
#pragma once

#include <atomic>

#include "vst/DAEffectX.h"

namespace vst {

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* owner) : effect(owner) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    // Hands the host the editor's rectangle; the base has none.
    virtual VstInt32 getRect(ERect** rect) {
        *rect = nullptr;
        return 0;
    }
    // Opens the editor inside the host's native window `parent`.
    virtual VstInt32 open(void* parent) {
        systemWindow = parent;
        return 0;
    }
    virtual void close() {}
    virtual void idle() {
        if (updateFlag.exchange(0, std::memory_order_relaxed) != 0) {
            update();
        }
    }
    virtual void update() {}
    // May be called from any thread; the next idle performs the update.
    virtual void postUpdate() { updateFlag.store(1, std::memory_order_relaxed); }
    // -1: the key is left to the host.
    virtual VstInt32 onKeyDown(VstKeyCode& /*keyCode*/) { return -1; }
    virtual VstInt32 onKeyUp(VstKeyCode& /*keyCode*/) { return -1; }
    virtual VstInt32 setKnobMode(VstInt32 /*mode*/) { return 0; }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
    std::atomic<VstInt32> updateFlag{0};
};

} // namespace vst
