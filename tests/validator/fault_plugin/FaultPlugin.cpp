// A tiny, otherwise well-behaved VST 2 plug-in with one fault built in, chosen when it is compiled
// (FAULT_PLUGIN_FAULT): the validator must report each fault, and report nothing for the plug-in
// built without one. It holds a note while its input stays above a threshold, as Zephyrion does in
// miniature, so that there is MIDI to judge.
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "vst/DAEffectX.h"

#ifdef _WIN32
#define FAULT_PLUGIN_EXPORT __declspec(dllexport)
#else
#define FAULT_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

namespace {

using vst::AEffect;
using vst::VstInt32;
using vst::VstIntPtr;

enum class Fault {
    None,
    NanOutput,      // output NaN from the first non-finite input on, for ever
    HangingNote,    // never a note-off
    StrayNoteOff,   // a second note-off, for the note above, after every note-off
    VelocityZero,   // velocity straight from its parameter, 0 included
    LateEvent,      // note-ons stamped one sample past the block's end
    ParameterRange, // values read back as they were set, outside 0..1 too
    NullCrash,      // writes a parameter's name through the pointer it is given, null or not
    Hang,           // never returns from effGetTailSize asked with a null pointer
    LongText,       // a parameter display of 300 characters
};

constexpr Fault kFault = Fault::FAULT_PLUGIN_FAULT;

constexpr VstInt32 kParameters = 3; // threshold, note, velocity
constexpr VstInt32 kPrograms = 2;
constexpr VstInt32 kHoldSamples = 256;
constexpr float kStartValues[kParameters] = {0.5f, 0.4f, 1.0f};
constexpr const char* kNames[kParameters] = {"Thresh", "Note", "Velocity"};
constexpr const char* kProgramNames[kPrograms] = {"First", "Second"};

struct FaultPlugin {
    AEffect record{};
    vst::audioMasterCallback host = nullptr;
    std::atomic<float> values[kPrograms][kParameters];
    std::atomic<VstInt32> program{0};
    VstInt32 hold = 0;
    int sounding = -1; // the note sounding, or -1
    bool poisoned = false;
    vst::VstMidiEvent event{};
    vst::VstEvents events{};
};

// Read on every turn of the endless loop, so that the compiler keeps the loop.
volatile bool forever = true;

FaultPlugin* self(AEffect* effect) {
    return static_cast<FaultPlugin*>(effect->object);
}

float clamped(float value) {
    return value > 1.0f ? 1.0f : (value >= 0.0f ? value : 0.0f);
}

float parameter(FaultPlugin* plugin, VstInt32 index) {
    return plugin->values[plugin->program.load()][index].load();
}

void setParameter(AEffect* effect, VstInt32 index, float value) {
    if (index >= 0 && index < kParameters) {
        self(effect)->values[self(effect)->program.load()][index].store(
            kFault == Fault::ParameterRange ? value : clamped(value));
    }
}

float getParameter(AEffect* effect, VstInt32 index) {
    return index >= 0 && index < kParameters ? parameter(self(effect), index) : 0.0f;
}

void send(FaultPlugin* plugin, std::uint8_t status, int note, int velocity, VstInt32 frame) {
    plugin->event.midiData[0] = static_cast<char>(status);
    plugin->event.midiData[1] = static_cast<char>(note);
    plugin->event.midiData[2] = static_cast<char>(velocity);
    plugin->event.deltaFrames = frame;
    plugin->host(&plugin->record, vst::audioMasterProcessEvents, 0, 0, &plugin->events, 0.0f);
}

void noteOff(FaultPlugin* plugin, VstInt32 frame) {
    if (kFault != Fault::HangingNote) {
        send(plugin, 0x80, plugin->sounding, 0, frame);
    }
    if (kFault == Fault::StrayNoteOff) {
        send(plugin, 0x80, plugin->sounding + 1, 0, frame);
    }
    plugin->sounding = -1;
}

void noteOn(FaultPlugin* plugin, VstInt32 frame, VstInt32 frames) {
    plugin->sounding = 36 + static_cast<int>(std::lrint(parameter(plugin, 1) * 60.0f));
    const float velocity = parameter(plugin, 2);
    const int sent = kFault == Fault::VelocityZero ? static_cast<int>(std::lrint(velocity * 127.0f))
                                                   : 1 + static_cast<int>(std::lrint(velocity * 126.0f));
    send(plugin, 0x90, plugin->sounding, sent, kFault == Fault::LateEvent ? frames : frame);
}

void run(AEffect* effect, float** inputs, float** outputs, VstInt32 frames, bool replacing) {
    FaultPlugin* plugin = self(effect);
    const float threshold = parameter(plugin, 0);
    for (VstInt32 i = 0; i < frames; ++i) {
        float level = 0.0f;
        for (int c = 0; c < 2; ++c) {
            const float sample = inputs[c][i];
            plugin->poisoned = plugin->poisoned || (kFault == Fault::NanOutput && !std::isfinite(sample));
            level = std::isfinite(sample) ? std::fmax(level, std::fabs(sample)) : level;
        }
        if (level >= threshold && threshold > 0.0f) {
            if (plugin->sounding < 0) {
                noteOn(plugin, i, frames);
            }
            plugin->hold = kHoldSamples;
        } else if (plugin->sounding >= 0 && --plugin->hold <= 0) {
            noteOff(plugin, i);
        }
        for (int c = 0; c < 2; ++c) {
            const float sample = std::isfinite(inputs[c][i]) ? 0.5f * inputs[c][i] : 0.0f;
            const float out = plugin->poisoned ? std::numeric_limits<float>::quiet_NaN() : sample;
            outputs[c][i] = replacing ? out : outputs[c][i] + out;
        }
    }
}

void process(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    run(effect, inputs, outputs, frames, false);
}

void processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    run(effect, inputs, outputs, frames, true);
}

void copy(void* destination, const char* text, std::size_t size) {
    if (destination != nullptr) {
        std::snprintf(static_cast<char*>(destination), size, "%s", text);
    }
}

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float) {
    FaultPlugin* plugin = self(effect);
    const bool known = index >= 0 && index < kParameters;
    switch (opcode) {
    case vst::effClose: delete plugin; return 1;
    case vst::effSetProgram:
        if (value >= 0 && value < kPrograms) {
            plugin->program.store(static_cast<VstInt32>(value));
        }
        return 0;
    case vst::effGetProgram: return plugin->program.load();
    case vst::effGetProgramName: copy(ptr, kProgramNames[plugin->program.load()], 25); return 0;
    case vst::effGetProgramNameIndexed:
        if (index < 0 || index >= kPrograms) {
            return 0;
        }
        copy(ptr, kProgramNames[index], 25);
        return 1;
    case vst::effGetParamName:
        if (kFault == Fault::NullCrash) {
            std::strcpy(static_cast<char*>(ptr), known ? kNames[index] : "");
            return 0;
        }
        copy(ptr, known ? kNames[index] : "", 9);
        return 0;
    case vst::effGetParamLabel: copy(ptr, "", 9); return 0;
    case vst::effGetParamDisplay:
        if (kFault == Fault::LongText && ptr != nullptr) {
            std::memset(ptr, 'x', 300);
            static_cast<char*>(ptr)[300] = '\0';
            return 0;
        }
        if (ptr != nullptr) {
            std::snprintf(static_cast<char*>(ptr), 9, "%.2f",
                          static_cast<double>(known ? parameter(plugin, index) : 0.0f));
        }
        return 0;
    case vst::effCanBeAutomated: return known ? 1 : 0;
    case vst::effGetEffectName: copy(ptr, "Fault", 32); return 1;
    case vst::effGetVendorString: copy(ptr, "Zephyrion tests", 64); return 1;
    case vst::effGetProductString: copy(ptr, "Fault plug-in", 64); return 1;
    case vst::effCanDo:
        return ptr != nullptr && std::strcmp(static_cast<const char*>(ptr), "sendVstMidiEvent") == 0 ? 1 : -1;
    case vst::effGetTailSize:
        // Only when asked with a null pointer, so the sweep with buffers shows the validator going on.
        while (kFault == Fault::Hang && ptr == nullptr && forever) {
        }
        return 0;
    default: return 0;
    }
}

} // namespace

extern "C" FAULT_PLUGIN_EXPORT AEffect* VSTPluginMain(vst::audioMasterCallback host) {
    if (host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    auto* plugin = new FaultPlugin;
    plugin->host = host;
    for (auto& program : plugin->values) {
        for (VstInt32 i = 0; i < kParameters; ++i) {
            program[i].store(kStartValues[i]);
        }
    }
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
    record.flags = vst::effFlagsCanReplacing;
    record.ioRatio = 1.0f;
    record.object = plugin;
    record.uniqueID = ('F' << 24) | ('a' << 16) | ('u' << 8) | 'l';
    record.version = 1;
    plugin->event.type = vst::kVstMidiType;
    plugin->event.byteSize = sizeof(vst::VstMidiEvent);
    plugin->events.numEvents = 1;
    plugin->events.events[0] = reinterpret_cast<vst::VstEvent*>(&plugin->event);
    return &record;
}
