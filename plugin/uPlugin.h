// The VST 2 effect object: the host's view of one instance. It owns the peak-to-MIDI engine and forwards
// parameters and audio to it, turns the engine's MIDI messages into events for the host, and holds the four
// programs. The host reaches it only through the effect record and the dispatcher of the base classes.
//
// Threads: the audio callbacks run on the host's audio thread; the dispatcher, the editor and idle calls on
// its user-interface thread; setParameter on either or on an automation thread (see PeakEngine for how the
// engine takes changes made while audio runs).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "plugin/Relaxed.h"
#include "plugin/engine/PeakEngine.h"
#include "plugin/parameters.h"
#include "plugin/uPluginProgram.h"
#include "vst/DAudioEffectX.h"

namespace zephyrion {

class APlugin : public vst::AudioEffectX, private MidiSink {
public:
    using VstInt32 = vst::VstInt32;

    explicit APlugin(vst::audioMasterCallback callback);
    ~APlugin() override;

    // Parameters (any thread). Values are clamped to 0..1; indices outside 0..14 store nothing.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    // User-interface thread; the release follows the new rate.
    void setSampleRate(float rate) override;

    // Audio thread.
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    // Programs and identity (user-interface thread).
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    float getVu() override { return 0.0f; }
    void suspend() override;
    void resume() override;
    VstInt32 processEvents(vst::VstEvents* events) override;
    bool getOutputProperties(VstInt32 index, vst::VstPinProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1; }
    VstInt32 canDo(char* text) override;
    // The level buffer of vst/LevelExtension.h; nothing else.
    vst::VstIntPtr vendorSpecific(VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) override;

    // What the editor adapter reads at idle and touches on the user-interface thread.
    float getMeterLevel() const { return engine.getMeterLevel(); }
    float getMeterPeak() const { return engine.getMeterPeak(); }
    bool isNoteActive() const { return engine.isNoteActive(); }
    void clearNoteActive() { engine.clearNoteActive(); }
    bool isEditorClosed() const { return editorClosed; }
    void setEditorClosed(bool closed) { editorClosed = closed; }

    // Derived values, for tests and tools that show them.
    std::int32_t getHoldUnit() const { return engine.getHoldUnit(); }
    std::int32_t getCcInterval() const { return engine.getCcInterval(); }
    float getReleaseCoeff() const { return engine.getReleaseCoeff(); }
    float getEnvelope() const { return engine.getEnvelope(); }

private:
    APluginProgram& currentProgram();
    // The effect record's delay follows Lookahead and the sample rate; the host hears of each change.
    void reportLatency();
    // The attached level buffer when a call of `frames` fits in it, else null.
    float* levelsFor(VstInt32 frames) const;
    // Each message of the engine goes to the host at once, stamped with the sample it arose on.
    void receive(const MidiMessage& message) override;

    PeakEngine engine;
    std::unique_ptr<vst::VstEvents> midiEvents;
    std::unique_ptr<vst::VstMidiEvent> midiEvent;
    Relaxed<bool> editorClosed{false};
    Relaxed<VstInt32> reportedLatency{0};
    // Between resume and suspend the audio thread may run: the level buffer changes only outside.
    Relaxed<bool> resumed{false};
    float* levelBuffer = nullptr;
    VstInt32 levelCapacity = 0;
    std::array<std::unique_ptr<APluginProgram>, kNumPrograms> programs;
};

} // namespace zephyrion
