// The one host callback handed to every plug-in, and the table that leads it from an effect record to the
// instance's HostContext.
#pragma once

#include <cstddef>

#include "host/HostContext.h"

namespace vsthost {

// Finds the calling instance's context and lets it answer. A call with a null or unknown record goes to the
// instance being created on this thread (the entry's version query); with none, it gets the answers of a
// default host and is counted in strayCallCount.
vst::VstIntPtr hostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                            vst::VstIntPtr value, void* ptr, float opt);

std::size_t strayCallCount();

// Marks the instance this thread is creating, for as long as the guard lives; guards nest.
class CreationScope {
public:
    explicit CreationScope(HostContext& context);
    ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

private:
    HostContext* previous;
};

// Controlling thread. Registration fails when the fixed table is full.
bool registerInstance(vst::AEffect* effect, HostContext& context);
void unregisterInstance(vst::AEffect* effect);

} // namespace vsthost
