// Construction, destruction and the parameters of the effect object.
#include "plugin/uPlugin.h"

#include "plugin/uPluginEditor.h"
#include "vst/DVstUtils.h"
#include "vst/entry.h"

namespace zephyrion {

namespace {

// Every text written into a host's parameter buffer has at most nine characters and the zero.
constexpr std::size_t kParameterTextSize = 10;

} // namespace

APlugin::APlugin(vst::audioMasterCallback callback) : vst::AudioEffectX(callback, kNumPrograms, kNumParams) {
    midiEvent = std::make_unique<vst::VstMidiEvent>();
    midiEvent->type = vst::kVstMidiType;
    midiEvent->byteSize = sizeof(vst::VstMidiEvent);
    midiEvents = std::make_unique<vst::VstEvents>();
    midiEvents->numEvents = 1;
    midiEvents->events[0] = reinterpret_cast<vst::VstEvent*>(midiEvent.get());

    for (auto& program : programs) {
        program = std::make_unique<APluginProgram>();
    }
    setEditor(new APluginEditor(this));
    suspend();

    hasVu(false);
    setNumInputs(2);
    setNumOutputs(2);
    canMono(true);
    canProcessReplacing(true);
    isSynth(false);
    setUniqueID(vst::FourCharCode('Z', 'Q', 'M', 'V'));

    const char* const names[kNumPrograms] = {"Init Preset 01", "Init Preset 02", "Init Preset 03",
                                             "Init Preset 04"};
    for (int i = 0; i < kNumPrograms; ++i) {
        programs[i]->setName(names[i]);
    }
    curProgram = 0;
    setProgram(0);
}

APlugin::~APlugin() {
    // The editor window reads this object until it is gone, so it goes first.
    setEditor(nullptr);
}

APluginProgram& APlugin::currentProgram() {
    const VstInt32 index = curProgram.load(std::memory_order_relaxed);
    return *programs[static_cast<std::size_t>(index >= 0 && index < kNumPrograms ? index : 0)];
}

void APlugin::setParameter(VstInt32 index, float value) {
    const float stored = engine.setParameter(index, value);
    if (isRealParameter(index)) {
        currentProgram().values[static_cast<std::size_t>(index)] = stored;
    }
    if (index == kLookahead) {
        reportLatency();
    }
    if (editor != nullptr) {
        editor->update();
    }
}

float APlugin::getParameter(VstInt32 index) {
    return engine.getParameter(index);
}

void APlugin::getParameterLabel(VstInt32 index, char* label) {
    vst::copyText(label, index == kLookahead ? "" : kParameterLabel.data(), kParameterTextSize);
}

void APlugin::getParameterDisplay(VstInt32 index, char* text) {
    if (index == kLookahead) {
        vst::copyText(text, getParameter(index) > 0.5f ? "On" : "Off", kParameterTextSize);
        return;
    }
    vst::FloatToDisplayText(text, kParameterTextSize, getParameter(index));
}

void APlugin::getParameterName(VstInt32 index, char* text) {
    // Some names have nine characters, one more than the customary limit: they are written whole.
    const std::string_view name =
        isRealParameter(index) ? kParameters[static_cast<std::size_t>(index)].name : kReservedName;
    vst::copyText(text, name.data(), name.size() + 1);
}

void APlugin::setSampleRate(float rate) {
    vst::AudioEffectX::setSampleRate(rate);
    engine.setSampleRate(getSampleRate());
    reportLatency();
}

void APlugin::reportLatency() {
    const VstInt32 latency = engine.getLatency();
    if (latency != reportedLatency) {
        reportedLatency = latency;
        setInitialDelay(latency);
        ioChanged();
    }
}

void APlugin::suspend() {
    resumed = false;
    engine.suspend();
}

void APlugin::resume() {
    resumed = true;
    wantEvents(1);
}

} // namespace zephyrion

vst::AudioEffect* vst::createEffectInstance(vst::audioMasterCallback callback) {
    return new zephyrion::APlugin(callback);
}
