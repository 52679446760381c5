// One stored program: the parameter values, indexed by the parameter table, and a name.
#pragma once

#include <array>
#include <cstddef>

#include "plugin/Relaxed.h"
#include "plugin/parameters.h"

namespace zephyrion {

class APluginProgram {
public:
    // Every value at the table's default, named "Init".
    APluginProgram();

    // The host's customary limit for a program name; longer names are cut to it.
    static constexpr std::size_t kMaxNameLength = 24;

    // Copies at most kMaxNameLength characters of `text`.
    void setName(const char* text);
    const char* getName() const { return name; }

    // Written by the plug-in's setParameter from any thread, read when the program is loaded.
    std::array<Relaxed<float>, kNumRealParams> values;

private:
    char name[52];
};

} // namespace zephyrion
