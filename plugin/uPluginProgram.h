// One stored program: the fourteen parameter values under the engine's names, and a name.
#pragma once

#include <cstddef>

#include "plugin/Relaxed.h"

namespace zephyrion {

class APluginProgram {
public:
    APluginProgram();

    // The host's customary limit for a program name; longer names are cut to it.
    static constexpr std::size_t kMaxNameLength = 24;

    // Copies at most kMaxNameLength characters of `text`.
    void setName(const char* text);
    const char* getName() const { return name; }

    // Written by the plug-in's setParameter from any thread, read when the program is loaded.
    Relaxed<float> freqMode{0.0f};
    Relaxed<float> release{0.5f};
    Relaxed<float> noteOrCC{0.0f};
    Relaxed<float> veloSw{0.0f};
    Relaxed<float> midiChannel{0.0f};
    Relaxed<float> midiVelocity{1.0f};
    Relaxed<float> volume{0.5f};
    Relaxed<float> ampLo{0.0f};
    Relaxed<float> ampHi{0.4f};
    Relaxed<float> freqLo{0.0f};
    Relaxed<float> freqHi{1.0f};
    Relaxed<float> midiNote{36.0f / 127.0f};
    Relaxed<float> falloff{0.8f};
    Relaxed<float> outMode{0.1f};

private:
    char name[52];
};

} // namespace zephyrion
