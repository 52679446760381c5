#include "tools/zephyrion/snapshot_command.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "editor/EditorSnapshot.h"
#include "plugin/uPlugin.h"
#include "plugin/uPluginEditor.h"
#include "tools/common/errors.h"
#include "vst/entry.h"

namespace zcli {

namespace {

constexpr const char* kHelp =
    "usage: zephyrion snapshot OUT.png [--set NAME=VALUE ...] [--note-active]\n"
    "\n"
    "Renders the editor window as a host shows it right after opening, as a PNG.\n"
    "  --set NAME=VALUE  a parameter by its name (case does not matter), value 0..1\n"
    "  --note-active     a note sounds: the window display lights up\n";

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

struct Setting {
    std::int32_t index;
    float value;
};

Setting parseSetting(const std::string& text) {
    const auto equals = text.find('=');
    if (equals == std::string::npos) {
        throw UsageError("--set needs NAME=VALUE, not '" + text + "'");
    }
    const std::string name = text.substr(0, equals);
    const std::string valueText = text.substr(equals + 1);
    const auto parameter = std::find_if(zephyrion::kParameters.begin(), zephyrion::kParameters.end(),
                                        [&](const auto& info) { return sameName(info.name, name); });
    if (parameter == zephyrion::kParameters.end()) {
        std::string names;
        for (const auto& info : zephyrion::kParameters) {
            names += (names.empty() ? "" : ", ") + std::string(info.name);
        }
        throw UsageError("unknown parameter '" + name + "' (valid: " + names + ")");
    }
    char* end = nullptr;
    const double value = std::strtod(valueText.c_str(), &end);
    if (valueText.empty() || end != valueText.c_str() + valueText.size() || !(value >= 0.0 && value <= 1.0)) {
        throw UsageError("--set " + name + " needs a value from 0 to 1, not '" + valueText + "'");
    }
    return {parameter->index, static_cast<float>(value)};
}

} // namespace

void runSnapshot(const std::vector<std::string>& arguments) {
    std::string output;
    std::vector<Setting> settings;
    bool noteActive = false;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kHelp, stdout);
            return;
        }
        if (argument == "--set") {
            if (++i == arguments.size()) {
                throw UsageError("--set needs NAME=VALUE");
            }
            settings.push_back(parseSetting(arguments[i]));
        } else if (argument.rfind("--set=", 0) == 0) {
            settings.push_back(parseSetting(argument.substr(6)));
        } else if (argument == "--note-active") {
            noteActive = true;
        } else if (!argument.empty() && argument[0] == '-') {
            throw UsageError("unknown option '" + argument +
                             "' for snapshot (see zephyrion snapshot --help)");
        } else if (output.empty()) {
            output = argument;
        } else {
            throw UsageError("snapshot takes one output file, not also '" + argument + "'");
        }
    }
    if (output.empty()) {
        throw UsageError("snapshot needs an output file: zephyrion snapshot OUT.png");
    }

    vst::AEffect* effect = vst::pluginEntry(&quietHost);
    if (effect == nullptr) {
        throw RunError("the plug-in could not be created");
    }
    auto* plugin = static_cast<zephyrion::APlugin*>(effect->object);
    for (const Setting& setting : settings) {
        plugin->setParameter(setting.index, setting.value);
    }
    int parent = 0;
    effect->dispatcher(effect, vst::effEditOpen, 0, 0, &parent, 0.0f);
    if (noteActive) {
        // A peak right at the top of the window starts a note; two idles carry the note state to the display.
        float peak[1] = {1.0f};
        float out[1] = {0.0f};
        float* inputs[2] = {peak, peak};
        float* outputs[2] = {out, out};
        plugin->setParameter(zephyrion::kAmpLo, 0.0f);
        plugin->setParameter(zephyrion::kAmpHi, 1.0f);
        effect->processReplacing(effect, inputs, outputs, 1);
        for (const Setting& setting : settings) {
            plugin->setParameter(setting.index, setting.value);
        }
    }
    effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);

    auto* adapter = static_cast<zephyrion::APluginEditor*>(plugin->getEditor());
    editor::TPluginEditorWindow* window = adapter != nullptr ? adapter->editorWindow() : nullptr;
    std::string error;
    const std::string temporary = output + ".part";
    const bool written = window != nullptr && editor::writeSnapshot(*window, temporary, error);
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    std::error_code ignored;
    if (!written) {
        std::filesystem::remove(temporary, ignored);
        throw RunError(output + ": " + (window == nullptr ? std::string("no editor window") : error));
    }
    std::filesystem::rename(temporary, output, ignored);
    if (ignored) {
        std::filesystem::remove(temporary, ignored);
        throw RunError(output + ": cannot be written");
    }
}

} // namespace zcli
