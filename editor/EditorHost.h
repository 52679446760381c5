// What the editor window knows of the plug-in it shows: the parameters, the sample rate for its frequency
// texts, and the values it reads at idle. Each plug-in format implements it in its editor adapter, so the
// window itself belongs to no format.
//
// Threads: every call comes from the window's thread (the host's user-interface thread).
#pragma once

#include <cstdint>

namespace editor {

class EditorHost {
public:
    virtual ~EditorHost() = default;

    // The value the plug-in holds, 0..1, indexed by the parameter table.
    virtual float getParameter(std::int32_t index) = 0;
    // A value the user chose: the plug-in takes it and the host hears of it as the user's gesture.
    virtual void setParameterAutomated(std::int32_t index, float value) = 0;
    // In Hz; 0 while the plug-in does not know it.
    virtual float getSampleRate() = 0;

    // What the meter and the display show.
    virtual float getMeterLevel() = 0;
    virtual float getMeterPeak() = 0;
    virtual bool isNoteActive() = 0;
};

} // namespace editor
