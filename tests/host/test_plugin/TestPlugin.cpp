// A tiny VST 2 plug-in that exercises the host: it asks the host questions when opened, asks for MIDI when
// resumed, sends a note-on (with a non-MIDI event beside it) at the exact sample where its input first
// reaches 0.5, and automates parameter 2 whenever parameter 1 is set. It uses the records only, none of
// the effect classes, so the host library is tested on its own.
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "vst/DAEffectX.h"

#ifdef _WIN32
#define TEST_PLUGIN_EXPORT
#else
#define TEST_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

namespace {

using vst::AEffect;
using vst::VstInt32;
using vst::VstIntPtr;

constexpr VstInt32 kParameters = 3;
constexpr VstInt32 kPrograms = 2;
constexpr float kThreshold = 0.5f;
// effVendorSpecific index that answers the native parent window given to effEditOpen.
constexpr VstInt32 kParentQuery = 0x70726E74;

struct TestPlugin {
    AEffect record;
    vst::audioMasterCallback host;
    std::atomic<float> parameters[kParameters];
    VstInt32 program = 0;
    char programNames[kPrograms][25] = {"First", "Second"};
    bool above = false; // input already at or over the threshold at the end of the last block
    void* parent = nullptr;
    vst::ERect rect{0, 0, 50, 100};
    vst::VstMidiEvent note{};
    vst::VstEvent other{};
    vst::VstEvents events{};
};

TestPlugin* self(AEffect* effect) {
    return static_cast<TestPlugin*>(effect->object);
}

VstIntPtr ask(TestPlugin* plugin, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
              void* ptr = nullptr, float opt = 0.0f) {
    return plugin->host(&plugin->record, opcode, index, value, ptr, opt);
}

void copy(void* destination, const char* text) {
    if (destination != nullptr) {
        std::strcpy(static_cast<char*>(destination), text);
    }
}

void askAboutTheHost(TestPlugin* plugin) {
    char text[64];
    char canDoMidi[] = "sendVstMidiEvent";
    char canDoSize[] = "sizeWindow";
    ask(plugin, vst::audioMasterGetSampleRate);
    ask(plugin, vst::audioMasterGetBlockSize);
    ask(plugin, vst::audioMasterCanDo, 0, 0, canDoMidi);
    ask(plugin, vst::audioMasterCanDo, 0, 0, canDoSize);
    ask(plugin, vst::audioMasterGetVendorString, 0, 0, text);
    ask(plugin, vst::audioMasterGetProductString, 0, 0, text);
    ask(plugin, vst::audioMasterGetVendorVersion);
}

void setParameter(AEffect* effect, VstInt32 index, float value) {
    TestPlugin* plugin = self(effect);
    if (index < 0 || index >= kParameters) {
        return;
    }
    plugin->parameters[index].store(value);
    if (index == 1) {
        // As an editor would: the host records the change as automation of parameter 2.
        plugin->parameters[2].store(value);
        ask(plugin, vst::audioMasterBeginEdit, 2);
        ask(plugin, vst::audioMasterAutomate, 2, 0, nullptr, value);
        ask(plugin, vst::audioMasterEndEdit, 2);
    }
}

float getParameter(AEffect* effect, VstInt32 index) {
    return index >= 0 && index < kParameters ? self(effect)->parameters[index].load() : 0.0f;
}

void run(AEffect* effect, float** inputs, float** outputs, VstInt32 frames, bool replacing) {
    TestPlugin* plugin = self(effect);
    float gain = plugin->parameters[0].load();
    for (VstInt32 i = 0; i < frames; ++i) {
        bool nowAbove = std::fabs(inputs[0][i]) >= kThreshold;
        if (nowAbove && !plugin->above) {
            plugin->note.deltaFrames = i;
            plugin->other.deltaFrames = i;
            ask(plugin, vst::audioMasterProcessEvents, 0, 0, &plugin->events);
        }
        plugin->above = nowAbove;
        for (VstInt32 c = 0; c < 2; ++c) {
            outputs[c][i] = (replacing ? 0.0f : outputs[c][i]) + gain * inputs[c][i];
        }
    }
}

void process(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    run(effect, inputs, outputs, frames, false);
}

void processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    run(effect, inputs, outputs, frames, true);
}

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float) {
    TestPlugin* plugin = self(effect);
    static const char* const names[kParameters] = {"Gain", "Mirror", "Echo"};
    switch (opcode) {
    case vst::effOpen: askAboutTheHost(plugin); return 0;
    case vst::effClose: delete plugin; return 1;
    case vst::effSetProgram:
        if (value >= 0 && value < kPrograms) {
            plugin->program = static_cast<VstInt32>(value);
        }
        return 0;
    case vst::effGetProgram: return plugin->program;
    case vst::effSetProgramName:
        if (ptr == nullptr) {
            return 0;
        }
        std::snprintf(plugin->programNames[plugin->program], 25, "%s", static_cast<const char*>(ptr));
        return 0;
    case vst::effGetProgramName: copy(ptr, plugin->programNames[plugin->program]); return 0;
    case vst::effGetParamName:
        if (index >= 0 && index < kParameters) {
            copy(ptr, names[index]);
        }
        return 0;
    case vst::effGetParamLabel: copy(ptr, index == 0 ? "x" : ""); return 0;
    case vst::effGetParamDisplay:
        std::snprintf(static_cast<char*>(ptr), 9, "%.2f", static_cast<double>(getParameter(effect, index)));
        return 0;
    case vst::effMainsChanged:
        if (value != 0) {
            ask(plugin, vst::audioMasterWantMidi, 0, 1);
        }
        return 0;
    case vst::effEditGetRect: *static_cast<vst::ERect**>(ptr) = &plugin->rect; return 1;
    case vst::effEditOpen: plugin->parent = ptr; return ptr != nullptr ? 1 : 0;
    case vst::effEditIdle: ask(plugin, vst::audioMasterIdle); return 0;
    case vst::effEditClose: plugin->parent = nullptr; return 0;
    case vst::effCanBeAutomated: return index >= 0 && index < kParameters ? 1 : 0;
    case vst::effGetProgramNameIndexed:
        if (index < 0 || index >= kPrograms) {
            return 0;
        }
        copy(ptr, plugin->programNames[index]);
        return 1;
    case vst::effGetEffectName: copy(ptr, "Host Test"); return 1;
    case vst::effGetVendorString: copy(ptr, "Zephyrion tests"); return 1;
    case vst::effGetProductString: copy(ptr, "Host test plug-in"); return 1;
    case vst::effGetVendorVersion: return 7;
    case vst::effVendorSpecific:
        return index == kParentQuery ? reinterpret_cast<VstIntPtr>(plugin->parent) : 0;
    case vst::effCanDo:
        return ptr != nullptr && std::strcmp(static_cast<const char*>(ptr), "sendVstMidiEvent") == 0 ? 1 : -1;
    default: return 0;
    }
}

AEffect* create(vst::audioMasterCallback host, char a, char b) {
    if (host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    char product[64] = {};
    host(nullptr, vst::audioMasterGetProductString, 0, 0, product, 0.0f);
    if (std::strcmp(product, "wrong magic") == 0) {
        static AEffect notAnEffect{};
        return &notAnEffect;
    }
    auto* plugin = new TestPlugin{};
    plugin->host = host;
    plugin->parameters[0].store(1.0f);
    AEffect& record = plugin->record;
    record.magic = vst::kEffectMagic;
    record.dispatcher = dispatcher;
    record.process = process;
    record.processReplacing = processReplacing;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.numPrograms = kPrograms;
    record.numParams = kParameters;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = vst::effFlagsHasEditor | vst::effFlagsCanReplacing;
    record.ioRatio = 1.0f;
    record.object = plugin;
    record.uniqueID = ('H' << 24) | ('T' << 16) | (a << 8) | b;
    record.version = 1;
    plugin->note = {
        vst::kVstMidiType, sizeof(vst::VstMidiEvent), 0, 0, 0, 0, {'\x90', 60, 100, 0}, 0, 0, 0, 0};
    plugin->other = {6, sizeof(vst::VstEvent), 0, 0, {}};
    plugin->events.numEvents = 2;
    plugin->events.events[0] = reinterpret_cast<vst::VstEvent*>(&plugin->note);
    plugin->events.events[1] = &plugin->other;
    return &record;
}

} // namespace

extern "C" {

// The modern entry name; hosts prefer it, so its instances carry the identifier 'HTvp'.
TEST_PLUGIN_EXPORT AEffect* VSTPluginMain(vst::audioMasterCallback host) {
    return create(host, 'v', 'p');
}

// The legacy entry name, 'HTmn'. On ELF `main` takes an assembler name; the DLLs export it by .def file.
#ifdef _WIN32
AEffect* hostTestMain(vst::audioMasterCallback host) {
    return create(host, 'm', 'n');
}
#else
TEST_PLUGIN_EXPORT AEffect* hostTestMain(vst::audioMasterCallback host) __asm__("main");
AEffect* hostTestMain(vst::audioMasterCallback host) {
    return create(host, 'm', 'n');
}
#endif

// The only export of the library built without an entry.
TEST_PLUGIN_EXPORT int hostTestProbe() {
    return 1;
}
}
