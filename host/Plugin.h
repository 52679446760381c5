// One running instance of a VST 2 plug-in, driven the way a host drives it.
//
// Threads: a Plugin is created, configured and destroyed on one controlling thread (a host's user-interface
// thread): every dispatcher call below belongs there. The process calls run on one audio thread, which may be
// the same. setParameter and getParameter may come from any thread, as automation does. The records may be
// read from any thread but the audio thread (reading allocates); clearRecords and rewind only while nothing
// runs. Several instances, of one library or several, may live at once.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/HostContext.h"
#include "host/LoadError.h"
#include "host/Module.h"

namespace vsthost {

// One buffer per channel, non-interleaved.
using Channels = std::vector<std::vector<float>>;

enum class ProcessMode {
    Replacing,    // processReplacing: the outputs are overwritten
    Accumulating, // process: the plug-in adds to the outputs
};

class Plugin {
public:
    // Calls the module's entry with this host's callback. Throws LoadError: EntryReturnedNull, WrongMagic or
    // TooManyInstances.
    explicit Plugin(std::shared_ptr<Module> module, HostSettings settings = {});
    // Loads the library and creates one instance; throws LoadError for every failure on the way.
    static std::unique_ptr<Plugin> load(const std::string& path, HostSettings settings = {});
    // Closes the instance if it is still open.
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // The effect record as the plug-in fills it; throws std::logic_error once the instance is closed.
    vst::AEffect& effect() const;
    const Module& module() const { return *library; }
    bool isClosed() const { return record == nullptr; }

    // Any dispatcher opcode with its raw arguments, for tests and probes. effClose goes through close().
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);

    // Life cycle, in the order hosts use: open, sample rate and block size, resume ... suspend, close.
    void open();
    // The plug-in is told, and the host reports the new value from then on.
    void setSampleRate(float rate);
    void setBlockSize(vst::VstInt32 size);
    void resume();
    void suspend();
    // open, the current sample rate and block size, resume: what a host does before the first block.
    void activate();
    // effClose: the plug-in frees itself; the record is gone afterwards. Closing twice does nothing.
    void close();

    // Any thread.
    float getParameter(vst::VstInt32 index) const;
    void setParameter(vst::VstInt32 index, float value);
    std::string parameterName(vst::VstInt32 index);
    std::string parameterLabel(vst::VstInt32 index);
    std::string parameterDisplay(vst::VstInt32 index);
    bool canBeAutomated(vst::VstInt32 index);

    vst::VstInt32 program();
    void setProgram(vst::VstInt32 program);
    std::string programName();
    void setProgramName(const std::string& name);
    // effGetProgramNameIndexed; empty when the plug-in does not answer.
    std::string programNameIndexed(vst::VstInt32 program);

    std::string effectName();
    std::string vendorString();
    std::string productString();
    vst::VstInt32 vendorVersion();
    // The plug-in's answer: 1 yes, -1 no, 0 does not know.
    vst::VstIntPtr canDo(const std::string& capability);

    bool hasEditor() const;
    // The editor's rectangle, when the plug-in gives one.
    std::optional<vst::ERect> editorRect();
    // `parent` is the native window: an X11 window id on Linux, an HWND on Windows.
    bool openEditor(void* parent);
    void idleEditor();
    void closeEditor();

    // Zephyrion's level buffer (vst/LevelExtension.h): from then on each process call of at most `capacity`
    // frames writes the envelope level of every frame into `levels`. Only while suspended; a null buffer
    // detaches it. False when the plug-in refused or does not know the extension.
    bool attachLevels(float* levels, vst::VstInt32 capacity);

    // Audio thread. One block with the caller's own channel pointers, accounted as the next block. Never
    // allocates. Answers false, calling nothing, when the plug-in lacks that kind of process entry.
    bool processBlock(ProcessMode mode, float** inputs, float** outputs, vst::VstInt32 frames);
    // Audio thread. Whole buffers in blocks of `blockSize` samples, the last one possibly shorter; the
    // length run is the shortest channel handed over. There must be a buffer for every input and output
    // of the plug-in (std::invalid_argument otherwise). Allocates only when the plug-in's channel counts
    // grew since the last call.
    void processReplacing(const Channels& inputs, Channels& outputs, std::size_t blockSize);
    void process(const Channels& inputs, Channels& outputs, std::size_t blockSize);
    std::int64_t blocksProcessed() const { return context->blocksProcessed(); }
    std::int64_t samplesProcessed() const { return context->samplesProcessed(); }
    // Starts counting blocks and samples from 0 again.
    void rewind() { context->rewind(); }

    // What the plug-in told the host.
    std::vector<CallRecord> calls() const { return context->calls().snapshot(); }
    std::vector<MidiRecord> midiEvents() const { return context->midi().snapshot(); }
    std::size_t droppedCalls() const { return context->calls().dropped(); }
    std::size_t droppedMidiEvents() const { return context->midi().dropped(); }
    std::size_t countCalls(vst::VstInt32 opcode) const;
    bool wantsMidi() const { return context->wantsMidi(); }
    HostContext& host() { return *context; }
    void clearRecords() { context->clearRecords(); }

private:
    std::string readText(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0);
    void processWhole(ProcessMode mode, const Channels& inputs, Channels& outputs, std::size_t blockSize);

    std::shared_ptr<Module> library;
    std::unique_ptr<HostContext> context;
    vst::AEffect* record = nullptr;
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
};

} // namespace vsthost
