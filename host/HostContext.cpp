#include "host/HostContext.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace vsthost {
namespace {

// Hosts hand plug-ins buffers of this size for vendor and product texts.
constexpr std::size_t kHostStringSize = 64;

vst::VstIntPtr copyHostString(const std::string& source, void* destination) {
    if (destination == nullptr) {
        return 0;
    }
    std::size_t length = std::min(source.size(), kHostStringSize - 1);
    std::memcpy(destination, source.data(), length);
    static_cast<char*>(destination)[length] = '\0';
    return 1;
}

} // namespace

HostContext::HostContext(HostSettings settingsToUse)
    : hostSettings(std::move(settingsToUse)), callRecords(hostSettings.callbackCapacity),
      midiRecords(hostSettings.midiCapacity), sampleRate(hostSettings.sampleRate),
      blockSize(hostSettings.blockSize) {}

vst::VstIntPtr HostContext::answer(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                   float opt) {
    vst::VstIntPtr result = 0;
    switch (opcode) {
    case vst::audioMasterVersion: result = hostSettings.version; break;
    case vst::audioMasterWantMidi:
        midiWanted.store(true, std::memory_order_relaxed);
        result = 1;
        break;
    case vst::audioMasterProcessEvents:
        result = receiveEvents(static_cast<const vst::VstEvents*>(ptr));
        break;
    case vst::audioMasterGetSampleRate: result = std::lrint(currentSampleRate()); break;
    case vst::audioMasterGetBlockSize: result = currentBlockSize(); break;
    case vst::audioMasterCanDo: result = canDo(static_cast<const char*>(ptr)); break;
    case vst::audioMasterGetVendorString: result = copyHostString(hostSettings.vendor, ptr); break;
    case vst::audioMasterGetProductString: result = copyHostString(hostSettings.product, ptr); break;
    case vst::audioMasterGetVendorVersion: result = hostSettings.vendorVersion; break;
    case vst::audioMasterUpdateDisplay:
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit: result = 1; break;
    default: break; // audioMasterAutomate and audioMasterIdle included: noted, nothing to answer
    }

    CallRecord record{};
    record.opcode = opcode;
    record.index = index;
    record.value = value;
    record.ptrWasNull = ptr == nullptr;
    record.opt = opt;
    record.answer = result;
    record.duringProcessing = onProcessingThread();
    if (opcode == vst::audioMasterCanDo && ptr != nullptr) {
        std::strncpy(record.text, static_cast<const char*>(ptr), sizeof record.text - 1);
    }
    callRecords.append(record);
    return result;
}

vst::VstIntPtr HostContext::receiveEvents(const vst::VstEvents* events) {
    if (events == nullptr || events->numEvents < 0) {
        return 0;
    }
    bool inBlock = onProcessingThread();
    std::int64_t block = inBlock ? blockCount.load(std::memory_order_relaxed) : kOutsideProcessing;
    std::int64_t start = samplePosition.load(std::memory_order_relaxed);
    for (vst::VstInt32 i = 0; i < events->numEvents; ++i) {
        const vst::VstEvent* event = events->events[i];
        if (event == nullptr || event->type != vst::kVstMidiType) {
            otherEvents.fetch_add(1, std::memory_order_relaxed);
            continue;
        }
        MidiRecord record{};
        // The plug-in owns the record and may rewrite it after this call: copy it now.
        std::memcpy(&record.event, event, sizeof record.event);
        record.block = block;
        record.position = start + record.event.deltaFrames;
        midiRecords.append(record);
    }
    return 1;
}

vst::VstIntPtr HostContext::canDo(const char* text) const {
    if (text == nullptr) {
        return 0;
    }
    for (const std::string& capability : hostSettings.capabilities) {
        if (capability == text) {
            return 1;
        }
    }
    return 0;
}

bool HostContext::onProcessingThread() const {
    return processing.load(std::memory_order_acquire) &&
           processingThread.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

void HostContext::beginBlock() {
    processingThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    processing.store(true, std::memory_order_release);
}

void HostContext::endBlock(vst::VstInt32 frames) {
    processing.store(false, std::memory_order_release);
    samplePosition.fetch_add(frames, std::memory_order_relaxed);
    blockCount.fetch_add(1, std::memory_order_relaxed);
}

void HostContext::rewind() {
    samplePosition.store(0, std::memory_order_relaxed);
    blockCount.store(0, std::memory_order_relaxed);
}

void HostContext::clearRecords() {
    callRecords.clear();
    midiRecords.clear();
    otherEvents.store(0, std::memory_order_relaxed);
}

} // namespace vsthost
