// Programs, names and the answers by which the plug-in identifies itself to the host.
#include <cstdio>
#include <cstring>

#include "plugin/uPlugin.h"
#include "vst/DVstUtils.h"

namespace zephyrion {

using vst::VstInt32;

namespace {

// The order in which a program's values are loaded.
constexpr VstInt32 kLoadOrder[kNumRealParams] = {
    kVolume,  kOutMode, kNoteOrCC, kVeloSw, kMidiNote, kMidiChannel, kMidiVelocity, kFalloff,
    kRelease, kAmpLo,   kAmpHi,    kFreqLo, kFreqHi,   kFreqMode,    kLookahead};

// A program name and its zero: the longest name a host's buffer must hold.
constexpr std::size_t kProgramNameSize = APluginProgram::kMaxNameLength + 1;
// Identity strings are at most 64 bytes in the interface's buffers.
constexpr std::size_t kIdentitySize = 64;

constexpr const char* kCapabilities[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                         "receiveVstMidiEvent"};

} // namespace

void APlugin::setProgram(VstInt32 program) {
    if (program < 0 || program >= kNumPrograms) {
        return;
    }
    curProgram = program;
    APluginProgram& source = *programs[static_cast<std::size_t>(program)];
    for (const VstInt32 index : kLoadOrder) {
        setParameter(index, source.values[static_cast<std::size_t>(index)]);
    }
    if (!editorClosed && editor != nullptr) {
        editor->update();
    }
}

void APlugin::setProgramName(char* name) {
    if (name == nullptr) {
        return;
    }
    currentProgram().setName(name);
    if (!editorClosed && editor != nullptr) {
        editor->update();
    }
}

void APlugin::getProgramName(char* name) {
    vst::copyText(name, currentProgram().getName(), kProgramNameSize);
}

bool APlugin::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
    if (index < 0 || index >= kNumPrograms || text == nullptr) {
        return false;
    }
    vst::copyText(text, programs[static_cast<std::size_t>(index)]->getName(), kProgramNameSize);
    return true;
}

VstInt32 APlugin::processEvents(vst::VstEvents* /*events*/) {
    return 1;
}

bool APlugin::getOutputProperties(VstInt32 index, vst::VstPinProperties* properties) {
    if (index < 0 || index > 1 || properties == nullptr) {
        return false;
    }
    std::snprintf(properties->label, sizeof properties->label, "ZQMV %d", static_cast<int>(index) + 1);
    properties->flags = vst::kVstPinIsActive | vst::kVstPinIsStereo;
    return true;
}

bool APlugin::getEffectName(char* name) {
    vst::copyText(name, "Zephyrion", kIdentitySize);
    return true;
}

bool APlugin::getVendorString(char* text) {
    vst::copyText(text, "Mardolin", kIdentitySize);
    return true;
}

bool APlugin::getProductString(char* text) {
    vst::copyText(text, "Zephyrion", kIdentitySize);
    return true;
}

VstInt32 APlugin::canDo(char* text) {
    if (text == nullptr) {
        return -1;
    }
    for (const char* capability : kCapabilities) {
        if (std::strcmp(text, capability) == 0) {
            return 1;
        }
    }
    return -1;
}

} // namespace zephyrion
