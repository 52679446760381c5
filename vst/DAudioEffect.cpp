#include "vst/DAudioEffect.h"

#include <cmath>
#include <cstring>

#include "vst/DVstUtils.h"

namespace vst {
namespace {

AudioEffect* objectOf(AEffect* effect) {
    return effect == nullptr ? nullptr : static_cast<AudioEffect*>(effect->object);
}

// The five entries of the record: find the object and forward. Nothing may unwind into the host.
VstIntPtr dispatchEntry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                        float opt) {
    AudioEffect* self = objectOf(effect);
    if (self == nullptr) {
        return 0;
    }
    try {
        VstIntPtr answer = self->dispatcher(opcode, index, value, ptr, opt);
        if (opcode == effClose) {
            delete self;
            return 1;
        }
        return answer;
    } catch (...) {
        return 0;
    }
}

void processEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (AudioEffect* self = objectOf(effect)) {
        self->process(inputs, outputs, sampleFrames);
    }
}

void processReplacingEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (AudioEffect* self = objectOf(effect)) {
        self->processReplacing(inputs, outputs, sampleFrames);
    }
}

void setParameterEntry(AEffect* effect, VstInt32 index, float value) {
    if (AudioEffect* self = objectOf(effect)) {
        self->setParameter(index, value);
    }
}

float getParameterEntry(AEffect* effect, VstInt32 index) {
    AudioEffect* self = objectOf(effect);
    return self == nullptr ? 0.0f : self->getParameter(index);
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback callback, VstInt32 programCount, VstInt32 parameterCount)
    : numPrograms(programCount), numParams(parameterCount), audioMaster(callback) {
    // Every byte the host may read, padding and the reserved tail included, starts at zero.
    std::memset(static_cast<void*>(&effectRecord), 0, sizeof effectRecord);
    effectRecord.magic = kEffectMagic;
    effectRecord.dispatcher = dispatchEntry;
    effectRecord.process = processEntry;
    effectRecord.setParameter = setParameterEntry;
    effectRecord.getParameter = getParameterEntry;
    effectRecord.processReplacing = processReplacingEntry;
    effectRecord.numPrograms = programCount;
    effectRecord.numParams = parameterCount;
    effectRecord.numInputs = 1;
    effectRecord.numOutputs = 2;
    effectRecord.ioRatio = 1.0f;
    effectRecord.object = this;
    effectRecord.uniqueID = FourCharCode('N', 'o', 'E', 'f');
    effectRecord.version = 1;
}

AudioEffect::~AudioEffect() {
    delete editor;
    editor = nullptr;
}

void AudioEffect::setSampleRate(float rate) {
    if (std::isfinite(rate) && rate > 0.0f) {
        sampleRate.store(rate, std::memory_order_relaxed);
    }
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    if (newEditor != editor) {
        delete editor;
    }
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
    if (state) {
        effectRecord.flags |= flag;
    } else {
        effectRecord.flags &= ~flag;
    }
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) const {
    if (audioMaster == nullptr) {
        return 0;
    }
    return audioMaster(const_cast<AEffect*>(&effectRecord), opcode, index, value, ptr, opt);
}

VstInt32 AudioEffect::getMasterVersion() {
    if (audioMaster == nullptr) {
        return 1;
    }
    auto version = static_cast<VstInt32>(callHost(audioMasterVersion));
    return version == 0 ? 1 : version;
}

VstInt32 AudioEffect::getCurrentUniqueId() {
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() {
    callHost(audioMasterIdle);
}

bool AudioEffect::isInputConnected(VstInt32 input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    auto* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
        // Values beyond the int32 range would wrap onto a valid program on 64-bit hosts.
        if (value < numPrograms && value >= INT32_MIN) {
            setProgram(static_cast<VstInt32>(value));
        }
        return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName:
        if (text)
            setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text)
            getProgramName(text);
        return 0;
    case effGetParamLabel:
        if (text)
            getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        if (text)
            getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        if (text)
            getParameterName(index, text);
        return 0;
    case effGetVu: return roundHalfEven(static_cast<double>(getVu()) * 32767.0);
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
    case effMainsChanged: value == 0 ? suspend() : resume(); return 0;
    case effEditGetRect: {
        if (editor == nullptr || ptr == nullptr)
            return 0;
        auto** place = static_cast<ERect**>(ptr);
        ERect* rect = *place;
        VstIntPtr answer = editor->getRect(&rect);
        *place = rect;
        return answer;
    }
    case effEditOpen: return editor ? editor->open(ptr) : 0;
    case effEditClose:
        if (editor)
            editor->close();
        return 0;
    case effEditIdle:
        if (editor)
            editor->idle();
        return 0;
    case effEditDraw:
    case effEditMouse:
    case effEditKey:
    case effEditTop:
    case effEditSleep: return 0;
    case effIdentify: return FourCharCode('N', 'v', 'E', 'f');
    case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk: return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default: return 0;
    }
}

} // namespace vst
