#include "tools/zephyrion/plugin_host.h"

#include "plugin/parameters.h"
#include "tools/common/errors.h"
#include "tools/common/plugin_location.h"
#include "tools/zephyrion/text.h"

#include <algorithm>

namespace zcli {
namespace {

constexpr std::size_t kMinimumMidiCapacity = 16384;

// The index of the one parameter reported under this name, -1 if none; several of the same name (Zephyrion's
// placeholders) count as none, since setting one of them would mean nothing.
int findParameter(vsthost::Plugin& plugin, const std::string& name) {
    int found = -1;
    for (int index = 0; index < plugin.effect().numParams; ++index) {
        if (sameName(name, plugin.parameterName(index))) {
            if (found >= 0) {
                return -1;
            }
            found = index;
        }
    }
    return found;
}

std::string validNames(vsthost::Plugin& plugin) {
    std::vector<std::string> names;
    for (int index = 0; index < plugin.effect().numParams; ++index) {
        names.push_back(withoutOuterBlanks(plugin.parameterName(index)));
    }
    std::string list;
    for (const std::string& name : names) {
        if (std::count(names.begin(), names.end(), name) == 1) {
            list += (list.empty() ? "" : ", ") + name;
        }
    }
    return list;
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

void configurePlugin(vsthost::Plugin& plugin, const PluginSettings& settings) {
    const int programs = plugin.effect().numPrograms;
    if (settings.program >= programs && !(settings.program == 0 && programs == 0)) {
        throw UsageError("--program " + std::to_string(settings.program) + ": this plug-in has programs 0.." +
                         std::to_string(programs - 1));
    }
    if (programs > 0) {
        plugin.setProgram(settings.program);
    }
    for (const ParameterRequest& request : settings.parameters) {
        const int index = findParameter(plugin, request.name);
        if (index < 0) {
            throw UsageError(request.option + ": the plug-in has no parameter '" + request.name +
                             "'; its parameters are " + validNames(plugin));
        }
        plugin.setParameter(index, request.value);
    }
}

void placeNotesOnHits(vsthost::Plugin& plugin, const PluginSettings& settings, bool rawTiming) {
    const std::string name(zephyrion::kParameters[zephyrion::kLookahead].name);
    const int index = findParameter(plugin, name);
    if (index < 0) {
        return;
    }
    const bool setByUser = std::any_of(settings.parameters.begin(), settings.parameters.end(),
                                       [&](const ParameterRequest& set) { return sameName(set.name, name); });
    if (rawTiming || !setByUser) {
        plugin.setParameter(index, rawTiming ? 0.0f : 1.0f);
    }
}

std::optional<AmplitudeWindow> amplitudeWindowOf(vsthost::Plugin& plugin) {
    const int ampLo = findParameter(plugin, std::string(zephyrion::kParameters[zephyrion::kAmpLo].name));
    const int ampHi = findParameter(plugin, std::string(zephyrion::kParameters[zephyrion::kAmpHi].name));
    if (ampLo < 0 || ampHi < 0) {
        return std::nullopt;
    }
    return AmplitudeWindow{1.0f - plugin.getParameter(ampHi), 1.0f - plugin.getParameter(ampLo)};
}

float inputGainOf(vsthost::Plugin& plugin) {
    const int volume = findParameter(plugin, std::string(zephyrion::kParameters[zephyrion::kVolume].name));
    return volume < 0 ? 0.5f : 1.0f - plugin.getParameter(volume);
}

} // namespace zcli
