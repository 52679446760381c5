// The base effect class: owns the effect record handed to the host, keeps the host callback and answers
// every opcode of the 2.0 interface with a default. Plug-ins derive from AudioEffectX and override what
// gives them their behaviour.
#pragma once

#include <atomic>

#include "vst/AEffEditor.h"
#include "vst/DAEffectX.h"

namespace vst {

class AudioEffect {
public:
    AudioEffect(audioMasterCallback callback, VstInt32 programCount, VstInt32 parameterCount);
    // Destroys the attached editor, and with it any editor window.
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    // A rate that is not a positive finite number is ignored: it would ruin every time constant.
    virtual void setSampleRate(float rate);
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }
    // Called from the host's automation thread or the editor's thread, while audio runs.
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
    virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
    // Sets the parameter as the host would, then reports the change to the host (the editor's path).
    virtual void setParameterAutomated(VstInt32 index, float value);
    // Audio thread. `process` adds to the outputs, `processReplacing` overwrites them.
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual void open() {}
    virtual void close() {}
    virtual VstInt32 getProgram() { return curProgram.load(std::memory_order_relaxed); }
    virtual void setProgram(VstInt32 program) { curProgram.store(program, std::memory_order_relaxed); }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* /*name*/) {}
    virtual void getParameterLabel(VstInt32 /*index*/, char* /*label*/) {}
    virtual void getParameterDisplay(VstInt32 /*index*/, char* /*text*/) {}
    virtual void getParameterName(VstInt32 /*index*/, char* /*text*/) {}
    virtual float getVu() { return 0.0f; }
    virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/) { return 0; }
    virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/) { return 0; }
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setUniqueID(VstInt32 id) { effectRecord.uniqueID = id; }
    virtual void setNumInputs(VstInt32 inputs) { effectRecord.numInputs = inputs; }
    virtual void setNumOutputs(VstInt32 outputs) { effectRecord.numOutputs = outputs; }
    virtual void hasVu(bool state) { setFlag(effFlagsHasVu, state); }
    virtual void hasClip(bool state) { setFlag(effFlagsHasClip, state); }
    virtual void canMono(bool state) { setFlag(effFlagsCanMono, state); }
    virtual void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    virtual void setRealtimeQualities(VstInt32 qualities) { effectRecord.realQualities = qualities; }
    virtual void setOfflineQualities(VstInt32 qualities) { effectRecord.offQualities = qualities; }
    virtual void setInitialDelay(VstInt32 delay) { effectRecord.initialDelay = delay; }

    // Host services of the 2.0 interface; each answers its default when there is no callback.
    virtual VstInt32 getMasterVersion();
    virtual VstInt32 getCurrentUniqueId();
    virtual void masterIdle();
    virtual bool isInputConnected(VstInt32 input);
    virtual bool isOutputConnected(VstInt32 output);

    // Takes ownership of `newEditor` and destroys the editor it replaces; the flag tells the host whether
    // there is an editor at all.
    void setEditor(AEffEditor* newEditor);
    AEffect* getAeffect() { return &effectRecord; }
    AEffEditor* getEditor() const { return editor; }
    float getSampleRate() const { return sampleRate.load(std::memory_order_relaxed); }
    VstInt32 getBlockSize() const { return blockSize; }

protected:
    void setFlag(VstInt32 flag, bool state);
    // Calls the host with this instance's record; 0 without a callback.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;

    AEffect effectRecord;
    std::atomic<float> sampleRate{44100.0f};
    AEffEditor* editor = nullptr;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 blockSize = 1024;
    std::atomic<VstInt32> curProgram{0};
    audioMasterCallback audioMaster;
};

} // namespace vst
