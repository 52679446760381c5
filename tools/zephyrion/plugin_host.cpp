#include "tools/zephyrion/plugin_host.h"

#include "plugin/parameter_curves.h"
#include "plugin/parameters.h"
#include "tools/common/errors.h"
#include "tools/common/plugin_location.h"
#include "tools/zephyrion/parameter_values.h"
#include "tools/zephyrion/readable_settings.h"
#include "tools/zephyrion/text.h"

#include <algorithm>

namespace zcli {
namespace {

constexpr std::size_t kMinimumMidiCapacity = 16384;

std::vector<std::string> parameterNames(vsthost::Plugin& plugin) {
    std::vector<std::string> names;
    for (int index = 0; index < plugin.effect().numParams; ++index) {
        names.push_back(plugin.parameterName(index));
    }
    return names;
}

// Where the plug-in reports the parameter of Zephyrion's table, -1 if it has none of that name.
int reportedIndexOf(vsthost::Plugin& plugin, zephyrion::ParameterIndex index) {
    return findParameter(parameterNames(plugin),
                         zephyrion::kParameters[static_cast<std::size_t>(index)].name);
}

} // namespace

std::unique_ptr<vsthost::Plugin> loadPlugin(const std::string& path, float sampleRate, int blockSize) {
    const std::string library = path.empty() ? defaultPluginPath() : path;
    vsthost::HostSettings settings;
    settings.sampleRate = sampleRate;
    settings.blockSize = blockSize;
    // Events are collected after every block, so one block's worth must fit.
    settings.midiCapacity = std::max(kMinimumMidiCapacity, static_cast<std::size_t>(blockSize) * 4);
    settings.callbackCapacity = settings.midiCapacity;
    try {
        std::unique_ptr<vsthost::Plugin> plugin = vsthost::Plugin::load(library, settings);
        plugin->open();
        plugin->setSampleRate(sampleRate);
        plugin->setBlockSize(blockSize);
        return plugin;
    } catch (const vsthost::LoadError& error) {
        throw RunError(library + ": cannot be loaded as a VST 2 plug-in (" + error.what() + ")");
    }
}

void configurePlugin(vsthost::Plugin& plugin, const PluginSettings& settings, double sampleRate) {
    const int programs = plugin.effect().numPrograms;
    if (settings.program >= programs && !(settings.program == 0 && programs == 0)) {
        throw UsageError("--program " + std::to_string(settings.program) + ": this plug-in has programs 0.." +
                         std::to_string(programs - 1));
    }
    if (programs > 0) {
        plugin.setProgram(settings.program);
    }
    const std::vector<std::string> names = parameterNames(plugin);
    std::vector<ParameterRequest> requests = settings.parameters;
    const int freqMode = findParameter(names, zephyrion::kParameters[zephyrion::kFreqMode].name);
    resolveReadable(requests, sampleRate, freqMode < 0 ? 0.0f : plugin.getParameter(freqMode));
    for (const ParameterRequest& request : requests) {
        plugin.setParameter(parameterIndexOf(names, request), request.value);
    }
}

Placement placeNotesOnHits(vsthost::Plugin& plugin, const PluginSettings& settings, bool rawTiming,
                           double sampleRate) {
    const std::string name(zephyrion::kParameters[zephyrion::kLookahead].name);
    const int index = reportedIndexOf(plugin, zephyrion::kLookahead);
    if (index < 0) {
        return Placement::AsSent;
    }
    const bool setByUser = std::any_of(settings.parameters.begin(), settings.parameters.end(),
                                       [&](const ParameterRequest& set) { return sameName(set.name, name); });
    if (setByUser && !rawTiming) {
        return Placement::AsSent;
    }
    plugin.setParameter(index, 0.0f);
    if (rawTiming) {
        return Placement::AsSent;
    }
    if (!reportsZephyrionTable(plugin)) {
        return Placement::OnHits;
    }
    const float freqLo = plugin.getParameter(zephyrion::kFreqLo);
    const float freqHi = plugin.getParameter(zephyrion::kFreqHi);
    const std::int32_t mode = zephyrion::threeStepOf(plugin.getParameter(zephyrion::kFreqMode));
    return zephyrion::hearsOnlyHighs(zephyrion::filterCoefficient(freqLo, mode), freqLo < freqHi, sampleRate)
               ? Placement::OnHitsInHighs
               : Placement::OnHits;
}

std::optional<AmplitudeWindow> amplitudeWindowOf(vsthost::Plugin& plugin) {
    const int ampLo = reportedIndexOf(plugin, zephyrion::kAmpLo);
    const int ampHi = reportedIndexOf(plugin, zephyrion::kAmpHi);
    if (ampLo < 0 || ampHi < 0) {
        return std::nullopt;
    }
    return AmplitudeWindow{1.0f - plugin.getParameter(ampHi), 1.0f - plugin.getParameter(ampLo)};
}

float inputGainOf(vsthost::Plugin& plugin) {
    const int volume = reportedIndexOf(plugin, zephyrion::kVolume);
    return volume < 0 ? 0.5f : 1.0f - plugin.getParameter(volume);
}

std::int64_t holdFramesOf(vsthost::Plugin& plugin) {
    const int falloff = reportedIndexOf(plugin, zephyrion::kFalloff);
    const float value = falloff < 0
                            ? zephyrion::kParameters[static_cast<std::size_t>(zephyrion::kFalloff)].initial
                            : plugin.getParameter(falloff);
    return std::int64_t{zephyrion::kHoldStepFrames} * zephyrion::holdStepsFor(value);
}

std::optional<int> sentNoteOf(vsthost::Plugin& plugin) {
    const int note = reportedIndexOf(plugin, zephyrion::kMidiNote);
    const int controller = reportedIndexOf(plugin, zephyrion::kNoteOrCC);
    if (note < 0 || (controller >= 0 && plugin.getParameter(controller) > 0.5f)) {
        return std::nullopt;
    }
    return sentNoteNumber(plugin.getParameter(note));
}

bool reportsZephyrionTable(vsthost::Plugin& plugin) {
    if (plugin.effect().numParams < zephyrion::kNumRealParams) {
        return false;
    }
    for (const zephyrion::ParameterInfo& info : zephyrion::kParameters) {
        if (plugin.parameterName(info.index) != info.name) {
            return false;
        }
    }
    return true;
}

std::string voiceOf(vsthost::Plugin& plugin) {
    using namespace zephyrion;
    if (!reportsZephyrionTable(plugin)) {
        return "";
    }
    const std::int32_t number = roundHalfEven(static_cast<double>(plugin.getParameter(kMidiNote)) * 127.0);
    if (plugin.getParameter(kNoteOrCC) > 0.5f) {
        return "controller " + std::to_string(number & 0x7F);
    }
    // The plug-in sends notes 1..100 only, so notes set above 100 all sound as 100.
    const std::int32_t channel =
        1 + roundHalfEven(static_cast<double>(plugin.getParameter(kMidiChannel)) * 15.0);
    return "note " + std::to_string(std::clamp(number + 24, 1, 100)) + " on channel " +
           std::to_string(channel);
}

std::string readableBandOf(vsthost::Plugin& plugin, double sampleRate) {
    if (!reportsZephyrionTable(plugin)) {
        return "";
    }
    ParameterValues values{};
    for (const zephyrion::ParameterInfo& info : zephyrion::kParameters) {
        values[static_cast<std::size_t>(info.index)] = plugin.getParameter(info.index);
    }
    return describeBand(values, sampleRate);
}

} // namespace zcli
