// Every dispatcher opcode from -5 to 120, known or not, with a null pointer and with generous buffers. A
// plug-in must ignore what it does not know and survive what it does.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "tools/validator/checks.h"
#include "tools/validator/opcode_names.h"
#include "tools/validator/session.h"

namespace zvalidate {
namespace {

constexpr vst::VstInt32 kFirstOpcode = -5;
constexpr vst::VstInt32 kLastOpcode = 120;
// Larger than any record an opcode's pointer stands for (chunks aside, which the plug-in allocates itself).
constexpr std::size_t kBufferBytes = 64 * 1024;
constexpr float kAfterSweepSeconds = 1.0f;

// Opcodes whose `value` is a pointer too; it gets a buffer of its own in the buffer sweep.
bool valueIsPointer(vst::VstInt32 opcode) {
    return opcode == vst::effSetSpeakerArrangement || opcode == vst::effGetSpeakerArrangement;
}

// The sweep is about pointers: a sample rate or block size goes with the value a host would send.
struct SaneNumbers {
    vst::VstIntPtr value = 0;
    float opt = 0.0f;
};

SaneNumbers saneNumbers(vst::VstInt32 opcode) {
    switch (opcode) {
    case vst::effSetSampleRate: return {0, kUsualRate};
    case vst::effSetBlockSize: return {kUsualBlock, 0.0f};
    case vst::effSetBlockSizeAndSampleRate: return {kUsualBlock, kUsualRate};
    default: return {};
    }
}

Outcome sweep(CheckContext& context, bool withBuffers) {
    auto plugin = startInstance(context);
    // Zeroed and 16-byte aligned, as records are.
    std::vector<std::uint64_t> pointed(kBufferBytes / sizeof(std::uint64_t));
    std::vector<std::uint64_t> valued(kBufferBytes / sizeof(std::uint64_t));
    const std::string how = withBuffers ? "a 64 KiB buffer" : "a null pointer";
    int called = 0;
    for (vst::VstInt32 opcode = kFirstOpcode; opcode <= kLastOpcode; ++opcode) {
        // effClose ends the instance; effEditOpen needs a real window, which threads.editor gives it.
        if (opcode == vst::effClose || opcode == vst::effEditOpen) {
            continue;
        }
        context.note(opcodeName(opcode) + " with " + how);
        std::fill(pointed.begin(), pointed.end(), 0);
        std::fill(valued.begin(), valued.end(), 0);
        SaneNumbers numbers = saneNumbers(opcode);
        if (withBuffers && valueIsPointer(opcode)) {
            numbers.value = reinterpret_cast<vst::VstIntPtr>(valued.data());
        }
        plugin->dispatch(opcode, 0, numbers.value, withBuffers ? static_cast<void*>(pointed.data()) : nullptr,
                         numbers.opt);
        ++called;
    }

    context.note("audio after the sweep, the rate and block size told again");
    plugin->suspend();
    plugin->setSampleRate(kUsualRate);
    plugin->setBlockSize(kUsualBlock);
    plugin->resume();
    MidiChecker midi;
    Renderer renderer(*plugin, midi);
    Random random(context.seed());
    Rendering rendering;
    BlockSizes sizes = BlockSizes::fixed(kUsualBlock);
    renderer.render(burstsFor(*plugin, random, kAfterSweepSeconds, kUsualRate), sizes, rendering);
    Findings findings;
    expectFinite(findings, rendering.output, "after the opcode sweep");
    findings.absorb(midi.form());
    plugin->close();
    return findings.outcome(std::to_string(called) + " opcodes from " + std::to_string(kFirstOpcode) +
                            " to " + std::to_string(kLastOpcode) + " called with " + how +
                            " (all but effClose and "
                            "effEditOpen); audio runs afterwards");
}

} // namespace

Outcome checkDispatcherNull(CheckContext& context) {
    return sweep(context, false);
}

Outcome checkDispatcherBuffers(CheckContext& context) {
    return sweep(context, true);
}

} // namespace zvalidate
