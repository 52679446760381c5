// The plug-in's editor adapter: the link between the effect object and its editor window.
#pragma once

#include "vst/AEffEditor.h"

namespace zephyrion {

class APlugin;

class APluginEditor : public vst::AEffEditor {
public:
    explicit APluginEditor(APlugin* owner);

    // Called by setParameter on whichever thread set the parameter.
    void update() override {}
};

} // namespace zephyrion
