// The effect object: fourteen parameters, the peak-to-MIDI engine that runs on every sample, and four
// programs. The host reaches it only through the effect record and the dispatcher of the base classes.
//
// Threads: the audio callbacks run on the host's audio thread; the dispatcher, the editor and idle calls on
// its user-interface thread; setParameter on either or on an automation thread. Every field that two of them
// share is a Relaxed value, read where it is used, so a change takes effect from the next sample.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "plugin/Relaxed.h"
#include "plugin/parameters.h"
#include "plugin/uPluginProgram.h"
#include "vst/DAudioEffectX.h"

namespace zephyrion {

class APlugin : public vst::AudioEffectX {
public:
    using VstInt32 = vst::VstInt32;

    explicit APlugin(vst::audioMasterCallback callback);
    ~APlugin() override;

    // Parameters (any thread). Values are clamped to 0..1; indices outside 0..13 store nothing.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;

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

    // What the editor adapter reads at idle and touches on the user-interface thread.
    float getMeterLevel() const { return meterLevel; }
    float getMeterPeak() const { return meterPeak; }
    bool isNoteActive() const { return noteActive; }
    void clearNoteActive() { noteActive = false; }
    bool isEditorClosed() const { return editorClosed; }
    void setEditorClosed(bool closed) { editorClosed = closed; }

    // Derived values, for tests and tools that show them.
    std::int32_t getHoldUnit() const { return holdUnit; }
    std::int32_t getCcInterval() const { return ccInterval; }
    float getReleaseCoeff() const { return releaseCoeff; }
    float getEnvelope() const { return envelope; }

private:
    static constexpr int kCascadeDepth = 8;
    // The stage arrays are indexed 1..50; only 1..kCascadeDepth are ever used.
    static constexpr int kStageCount = 50;
    using Stages = std::array<float, kStageCount + 1>;

    Relaxed<float>& field(VstInt32 index);
    Relaxed<float>& programField(APluginProgram& program, VstInt32 index);
    APluginProgram& currentProgram();

    // The per-sample chain; `frame` is the sample's index within the block, the events' deltaFrames.
    void processSample(float& left, float& right, VstInt32 frame);
    float lowpassCascade(std::uint8_t depth, float input, float position);
    float highpassCascade(std::uint8_t depth, float input, float position);
    float filterCoefficient(float position) const;
    float followEnvelope(float sample);
    bool testWindow(float level) const;

    // The MIDI steps of the per-sample chain.
    void computeVelocity(float level);
    void advanceHold(float level, VstInt32 frame);
    void sendNoteEvents(VstInt32 frame);
    void sendMidi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, VstInt32 frame);
    bool controllerMode() const { return noteOrCC > 0.5f; }

    float envelope = 0.0f;
    Relaxed<float> meterLevel{0.0f};
    Relaxed<float> meterPeak{0.0f};
    std::unique_ptr<vst::VstEvents> midiEvents;
    std::unique_ptr<vst::VstMidiEvent> midiEvent;
    std::int32_t noteVelocity = 0;
    std::int32_t noteNumber = 0;
    std::int32_t ccCountdown = 0;
    Relaxed<std::int32_t> ccInterval{0};
    Relaxed<std::uint32_t> holdCounter{0};
    Relaxed<bool> noteActive{false};
    bool lastNoteActive = false;
    Relaxed<bool> inWindow{false};
    Relaxed<std::int32_t> holdUnit{0};
    Relaxed<float> releaseCoeff{0.0f};
    Stages lowpassStageA{};
    Stages lowpassStageB{};
    Stages highpassStageA{};
    Stages highpassStageB{};
    Relaxed<float> freqMode{0.0f};
    Relaxed<float> release{0.0f};
    Relaxed<float> noteOrCC{0.0f};
    Relaxed<float> veloSw{0.0f};
    Relaxed<float> midiChannel{0.0f};
    Relaxed<float> midiVelocity{0.0f};
    Relaxed<float> volume{0.0f};
    Relaxed<float> ampLo{0.0f};
    Relaxed<float> ampHi{0.0f};
    Relaxed<float> freqLo{0.0f};
    Relaxed<float> freqHi{0.0f};
    Relaxed<float> midiNote{0.0f};
    Relaxed<float> falloff{0.0f};
    Relaxed<float> outMode{0.0f};
    float outputLevel = 0.0f;
    Relaxed<bool> editorClosed{false};
    std::array<std::unique_ptr<APluginProgram>, kNumPrograms> programs;

    // A note-on has gone out whose note-off has not: the note still sounds at the receiver. Its note-off
    // goes out on the channel it started on.
    bool noteSounding = false;
    std::int32_t noteChannel = 0;
};

} // namespace zephyrion
