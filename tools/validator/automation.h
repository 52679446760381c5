// Random automation as a busy session produces it, and the way back to quiet afterwards: the parameters'
// starting values and enough silence for every note to end.
#pragma once

#include <vector>

#include "host/Plugin.h"
#include "tools/validator/session.h"

namespace zvalidate {

inline constexpr float kSilenceSeconds = 10.0f;

class Automation {
public:
    // Notes the instance's program and parameter values, to return to them later.
    Automation(vsthost::Plugin& plugin, std::uint32_t seed);

    // One random change: usually a parameter, now and then the program. Any thread, as hosts automate.
    void change();
    // Parameters only, safe from any thread: hosts select programs from their user-interface thread only.
    void changeParameter();
    // One parameter thrown back and forth between two values, `times` times: a control wiggled as fast as
    // a thread can, which is where values read twice in one sample disagree.
    void flutter(int times);
    // Back to the starting program and values, then kSilenceSeconds of silence through `renderer`, after
    // which `midi` must hear no note sounding. Only while no other thread calls the plug-in.
    void settle(Renderer& renderer, MidiChecker& midi);

private:
    vsthost::Plugin& plugin;
    Random random;
    vst::VstInt32 startProgram;
    std::vector<float> startValues;
};

} // namespace zvalidate
