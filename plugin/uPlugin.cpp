// Construction, destruction and the parameters of the effect object.
#include "plugin/uPlugin.h"

#include <cmath>

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

Relaxed<float>& APlugin::field(VstInt32 index) {
    switch (index) {
    case kVolume: return volume;
    case kAmpLo: return ampLo;
    case kAmpHi: return ampHi;
    case kFreqLo: return freqLo;
    case kFreqHi: return freqHi;
    case kMidiNote: return midiNote;
    case kFalloff: return falloff;
    case kMidiChannel: return midiChannel;
    case kMidiVelocity: return midiVelocity;
    case kOutMode: return outMode;
    case kNoteOrCC: return noteOrCC;
    case kVeloSw: return veloSw;
    case kRelease: return release;
    default: return freqMode;
    }
}

Relaxed<float>& APlugin::programField(APluginProgram& program, VstInt32 index) {
    switch (index) {
    case kVolume: return program.volume;
    case kAmpLo: return program.ampLo;
    case kAmpHi: return program.ampHi;
    case kFreqLo: return program.freqLo;
    case kFreqHi: return program.freqHi;
    case kMidiNote: return program.midiNote;
    case kFalloff: return program.falloff;
    case kMidiChannel: return program.midiChannel;
    case kMidiVelocity: return program.midiVelocity;
    case kOutMode: return program.outMode;
    case kNoteOrCC: return program.noteOrCC;
    case kVeloSw: return program.veloSw;
    case kRelease: return program.release;
    default: return program.freqMode;
    }
}

APluginProgram& APlugin::currentProgram() {
    const VstInt32 index = curProgram.load(std::memory_order_relaxed);
    return *programs[static_cast<std::size_t>(index >= 0 && index < kNumPrograms ? index : 0)];
}

void APlugin::setParameter(VstInt32 index, float value) {
    // Written so that NaN, which fails every comparison, ends up as 0.
    if (value > 1.0f) {
        value = 1.0f;
    } else if (!(value >= 0.0f)) {
        value = 0.0f;
    }
    if (isRealParameter(index)) {
        if (index == kFalloff || index == kRelease) {
            noteActive = false;
            inWindow = false;
        }
        field(index) = value;
        programField(currentProgram(), index) = value;
        const double complement = 1.0 - static_cast<double>(value);
        if (index == kFalloff) {
            holdUnit = static_cast<std::int32_t>(vst::roundHalfEven(complement * 1000.0)) + 1;
            ccInterval = static_cast<std::int32_t>(vst::roundHalfEven(complement * 500.0)) + 10;
        } else if (index == kRelease) {
            const double seconds = complement + 0.001;
            releaseCoeff = static_cast<float>(std::pow(0.5, 1.0 / (seconds * getSampleRate())));
        }
    }
    if (editor != nullptr) {
        editor->update();
    }
}

float APlugin::getParameter(VstInt32 index) {
    return isRealParameter(index) ? static_cast<float>(field(index)) : 0.0f;
}

void APlugin::getParameterLabel(VstInt32 /*index*/, char* label) {
    vst::copyText(label, kParameterLabel.data(), kParameterTextSize);
}

void APlugin::getParameterDisplay(VstInt32 index, char* text) {
    vst::FloatToDisplayText(text, kParameterTextSize, getParameter(index));
}

void APlugin::getParameterName(VstInt32 index, char* text) {
    // Some names have nine characters, one more than the customary limit: they are written whole.
    const std::string_view name =
        isRealParameter(index) ? kParameters[static_cast<std::size_t>(index)].name : kReservedName;
    vst::copyText(text, name.data(), name.size() + 1);
}

void APlugin::suspend() {
    holdCounter = 0;
}

void APlugin::resume() {
    wantEvents(1);
}

} // namespace zephyrion

vst::AudioEffect* vst::createEffectInstance(vst::audioMasterCallback callback) {
    return new zephyrion::APlugin(callback);
}
