// `zephyrion snapshot`: the editor as a host shows it right after opening, rendered without a screen. The
// plug-in and its editor are linked in rather than loaded, so this command lives beside the tool's library.
#include <cstdio>

#include "editor/EditorSnapshot.h"
#include "plugin/uPlugin.h"
#include "plugin/uPluginEditor.h"
#include "tools/common/atomic_output.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/commands.h"
#include "tools/zephyrion/parameter_values.h"
#include "tools/zephyrion/readable_settings.h"
#include "ui/png/PngWriter.h"
#include "vst/entry.h"

namespace zcli {

namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

struct Setting {
    std::int32_t index;
    float value;
};

std::vector<Setting> settingsOf(const SnapshotRequest& request) {
    std::vector<std::string> names;
    for (const zephyrion::ParameterInfo& parameter : zephyrion::kParameters) {
        names.emplace_back(parameter.name);
    }
    // The plug-in runs at its own default rate here.
    std::vector<ParameterRequest> requests = request.parameters;
    resolveReadable(requests, kReadableRate, zephyrion::kParameters[zephyrion::kFreqMode].initial);
    std::vector<Setting> settings;
    for (const ParameterRequest& parameter : requests) {
        settings.push_back({parameterIndexOf(names, parameter), parameter.value});
    }
    return settings;
}

} // namespace

void runSnapshot(const SnapshotRequest& request) {
    const std::vector<Setting> settings = settingsOf(request);
    AtomicOutput output(request.output);
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
    if (request.noteActive) {
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
    const bool written = window != nullptr && ui::png::write(output.stream(), editor::paintedFrame(*window));
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    if (!written) {
        throw RunError(output.path() + (window == nullptr ? ": no editor window" : ": cannot be written"));
    }
    output.commit();
}

} // namespace zcli
