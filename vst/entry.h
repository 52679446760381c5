// What the library's one exported function does, callable from test programs that link the plug-in in.
#pragma once

#include "vst/DAEffect.h"

namespace vst {

class AudioEffect;

// Defined by the plug-in: builds one new, independent instance around the host callback.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

// Refuses a missing callback and a host that answers 0 to the version query; otherwise creates an instance
// and answers its record, or null when it could not be created.
AEffect* pluginEntry(audioMasterCallback audioMaster);

} // namespace vst
