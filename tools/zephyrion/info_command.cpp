#include "tools/zephyrion/commands.h"

#include "plugin/parameters.h"
#include "tools/zephyrion/kit_presets.h"
#include "tools/zephyrion/parameter_values.h"
#include "tools/zephyrion/plugin_host.h"
#include "tools/zephyrion/readable_settings.h"

#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>

namespace zcli {
namespace {

constexpr const char* kCapabilities[] = {
    "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
    "offline",       "midiProgramNames", "bypass",           "sendVstTimeInfo",     "plugAsChannelInsert",
};

struct FlagName {
    vst::VstInt32 flag;
    const char* name;
};

constexpr FlagName kFlagNames[] = {
    {vst::effFlagsHasEditor, "has editor"},
    {vst::effFlagsHasClip, "has clip"},
    {vst::effFlagsHasVu, "has VU"},
    {vst::effFlagsCanMono, "can mono"},
    {vst::effFlagsCanReplacing, "can replacing"},
    {vst::effFlagsProgramChunks, "programs are chunks"},
    {vst::effFlagsIsSynth, "is synth"},
    {vst::effFlagsNoSoundInStop, "no sound in stop"},
};

// The categories of the VST 2.4 interface, by number.
constexpr const char* kCategories[] = {"unknown",     "effect",      "synth",       "analysis",
                                       "mastering",   "spatializer", "room effect", "surround effect",
                                       "restoration", "offline",     "shell",       "generator"};

std::string categoryWord(vst::VstIntPtr category) {
    const auto count = static_cast<vst::VstIntPtr>(std::size(kCategories));
    return category >= 0 && category < count ? kCategories[category] : "not a known category";
}

std::string fourCharacters(vst::VstInt32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<std::uint32_t>(id) >> shift) & 0xFF);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

std::string flagWords(vst::VstInt32 flags) {
    std::string words;
    for (const FlagName& name : kFlagNames) {
        if ((flags & name.flag) != 0) {
            words += (words.empty() ? "" : ", ") + std::string(name.name);
        }
    }
    return words.empty() ? "none" : words;
}

// Zephyrion's parameters read in the editor's terms or in their units; empty for other plug-ins.
std::string meaning(vsthost::Plugin& plugin, int index, bool zephyrionTable, double sampleRate) {
    if (!zephyrionTable || !zephyrion::isRealParameter(index)) {
        return "";
    }
    const float value = plugin.getParameter(index);
    const ReadableContext context{sampleRate,
                                  zephyrion::threeStepOf(plugin.getParameter(zephyrion::kFreqMode))};
    const bool controllerMode = plugin.getParameter(zephyrion::kNoteOrCC) > 0.5f;
    switch (zephyrion::kParameters[static_cast<std::size_t>(index)].kind) {
    case zephyrion::ParameterKind::Note: return describeNote(value, controllerMode);
    case zephyrion::ParameterKind::Channel: return describeChannel(value);
    case zephyrion::ParameterKind::Velocity: return describeVelocity(value);
    case zephyrion::ParameterKind::Switch: return describeSwitch(value);
    case zephyrion::ParameterKind::ThreeStep:
        return index == zephyrion::kOutMode ? describeOutputMode(value) : describeFreqMode(value);
    case zephyrion::ParameterKind::Continuous: return describeReadable(index, value, context);
    }
    return "";
}

void printPins(vsthost::Plugin& plugin, vst::VstInt32 opcode, int count, const char* title) {
    for (int pin = 0; pin < count; ++pin) {
        vst::VstPinProperties properties{};
        if (plugin.dispatch(opcode, pin, 0, &properties) != 0) {
            properties.label[sizeof properties.label - 1] = '\0';
            std::printf("  %s %d: \"%s\", flags %d\n", title, pin, properties.label, properties.flags);
        }
    }
}

// Each kit preset as --band sets it up: its note, channel and curve, then every setting with a readable form,
// as a host stores it and in its unit.
void printPresets(double sampleRate) {
    std::printf("Kit presets (--band NAME) at %g Hz: each setting as a host stores it, and what it does.\n",
                sampleRate);
    for (const KitPreset& preset : kKitPresets) {
        BandRequest band = parseBand(std::string(preset.name));
        resolveReadable(band.parameters, sampleRate, zephyrion::kParameters[zephyrion::kFreqMode].initial);
        const ParameterValues values = settledValues(band.parameters);
        const ReadableContext context{sampleRate, zephyrion::threeStepOf(values[zephyrion::kFreqMode])};
        std::printf("\n%s: %s, %s, %s%s\n", band.name.c_str(),
                    describeNote(values[zephyrion::kMidiNote], false).c_str(),
                    describeChannel(values[zephyrion::kMidiChannel]).c_str(),
                    describeFreqMode(values[zephyrion::kFreqMode]).c_str(),
                    band.keepBleed ? ", keeps its bleed (bleed=keep)" : "");
        for (const zephyrion::ParameterInfo& info : zephyrion::kParameters) {
            if (hasReadableForm(info.index)) {
                const float value = values[static_cast<std::size_t>(info.index)];
                std::printf("  %-8s %.2f  %s\n", std::string(info.name).c_str(), static_cast<double>(value),
                            describeReadable(info.index, value, context).c_str());
            }
        }
        if (band.autoEdge) {
            const std::string name(zephyrion::kParameters[band.autoEdge->edge].name);
            std::printf("  --auto may move %s:", name.c_str());
            for (const float value : band.autoEdge->values) {
                std::printf(" %.2f (%s)", static_cast<double>(value),
                            describeReadable(band.autoEdge->edge, value, context).c_str());
            }
            std::printf("\n");
        }
    }
}

} // namespace

void runInfo(const InfoRequest& request) {
    if (request.presets) {
        printPresets(request.sampleRate);
        return;
    }
    std::unique_ptr<vsthost::Plugin> plugin =
        loadPlugin(request.pluginPath, static_cast<float>(request.sampleRate), 512);
    const vst::AEffect& effect = plugin->effect();
    std::printf("Library:        %s (entry %s)\n", plugin->module().path().c_str(),
                plugin->module().entryName().c_str());
    std::printf("Effect name:    %s\n", plugin->effectName().c_str());
    std::printf("Product:        %s\n", plugin->productString().c_str());
    std::printf("Vendor:         %s\n", plugin->vendorString().c_str());
    std::printf("Vendor version: %d\n", plugin->vendorVersion());
    std::printf("Unique ID:      %s (0x%08X)\n", fourCharacters(effect.uniqueID).c_str(),
                static_cast<unsigned>(effect.uniqueID));
    std::printf("Version:        %d\n", effect.version);
    const vst::VstIntPtr category = plugin->dispatch(vst::effGetPlugCategory);
    std::printf("Category:       %ld (%s)\n", static_cast<long>(category), categoryWord(category).c_str());
    std::printf("Inputs:         %d\n", effect.numInputs);
    std::printf("Outputs:        %d\n", effect.numOutputs);
    std::printf("Flags:          0x%X (%s)\n", static_cast<unsigned>(effect.flags),
                flagWords(effect.flags).c_str());
    if (const std::optional<vst::ERect> rect = plugin->editorRect()) {
        std::printf("Editor:         %d x %d pixels\n", rect->right - rect->left, rect->bottom - rect->top);
    } else if (plugin->hasEditor()) {
        std::printf("Editor:         yes, size not given before opening\n");
    }
    printPins(*plugin, vst::effGetInputProperties, effect.numInputs, "input");
    printPins(*plugin, vst::effGetOutputProperties, effect.numOutputs, "output");

    const bool zephyrionTable = reportsZephyrionTable(*plugin);
    std::printf("\nParameters (%d):\n", effect.numParams);
    const std::string meaningTitle = "meaning at " + std::to_string(std::lrint(request.sampleRate)) + " Hz";
    std::printf("  %3s  %-12s %-10s %-6s %s\n", "#", "name", "display", "label", meaningTitle.c_str());
    for (int index = 0; index < effect.numParams; ++index) {
        std::printf("  %3d  %-12s %-10s %-6s %s\n", index, plugin->parameterName(index).c_str(),
                    plugin->parameterDisplay(index).c_str(), plugin->parameterLabel(index).c_str(),
                    meaning(*plugin, index, zephyrionTable, request.sampleRate).c_str());
    }

    std::printf("\nPrograms (%d, current %d):\n", effect.numPrograms, plugin->program());
    for (int program = 0; program < effect.numPrograms; ++program) {
        std::printf("  %3d  %s\n", program, plugin->programNameIndexed(program).c_str());
    }

    std::printf("\ncanDo:\n");
    for (const char* capability : kCapabilities) {
        const vst::VstIntPtr answer = plugin->canDo(capability);
        const char* word = answer > 0 ? "yes" : (answer < 0 ? "no" : "don't know");
        std::printf("  %-20s %2ld (%s)\n", capability, static_cast<long>(answer), word);
    }
    plugin->close();
}

} // namespace zcli
