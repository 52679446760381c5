// The host's side of one plug-in instance: answers the instance's callbacks and keeps what they carry.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "host/HostSettings.h"
#include "host/RecordBuffer.h"
#include "host/Records.h"

namespace vsthost {

class HostContext {
public:
    explicit HostContext(HostSettings hostSettings);

    // Answers one callback and records it. Any thread; never allocates, locks or waits, so it is safe on
    // the audio thread while MIDI arrives.
    vst::VstIntPtr answer(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                          float opt);

    // The processing thread brackets every process call with these, so that events can be placed.
    void beginBlock();
    void endBlock(vst::VstInt32 frames);
    std::int64_t blocksProcessed() const { return blockCount.load(std::memory_order_relaxed); }
    std::int64_t samplesProcessed() const { return samplePosition.load(std::memory_order_relaxed); }
    // Controlling thread, while nothing is processed.
    void rewind();

    // What audioMasterGetSampleRate / GetBlockSize report: the values last told to the plug-in.
    void setSampleRate(float rate) { sampleRate.store(rate, std::memory_order_relaxed); }
    void setBlockSize(vst::VstInt32 size) { blockSize.store(size, std::memory_order_relaxed); }
    float currentSampleRate() const { return sampleRate.load(std::memory_order_relaxed); }
    vst::VstInt32 currentBlockSize() const { return blockSize.load(std::memory_order_relaxed); }

    bool wantsMidi() const { return midiWanted.load(std::memory_order_relaxed); }
    // Events of other types than MIDI handed over with audioMasterProcessEvents; they are not kept.
    std::size_t otherEventCount() const { return otherEvents.load(std::memory_order_relaxed); }

    const HostSettings& settings() const { return hostSettings; }
    RecordBuffer<CallRecord>& calls() { return callRecords; }
    RecordBuffer<MidiRecord>& midi() { return midiRecords; }
    const RecordBuffer<CallRecord>& calls() const { return callRecords; }
    const RecordBuffer<MidiRecord>& midi() const { return midiRecords; }
    void clearRecords();

private:
    bool onProcessingThread() const;
    vst::VstIntPtr receiveEvents(const vst::VstEvents* events);
    vst::VstIntPtr canDo(const char* text) const;

    HostSettings hostSettings;
    RecordBuffer<CallRecord> callRecords;
    RecordBuffer<MidiRecord> midiRecords;
    std::atomic<float> sampleRate;
    std::atomic<vst::VstInt32> blockSize;
    std::atomic<bool> midiWanted{false};
    std::atomic<std::size_t> otherEvents{0};

    std::atomic<bool> processing{false};
    std::atomic<std::thread::id> processingThread{};
    std::atomic<std::int64_t> blockCount{0};
    std::atomic<std::int64_t> samplePosition{0};
};

} // namespace vsthost
