// The audio half of Plugin: blocks handed to the plug-in and the transport that places its MIDI events.
#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "host/Plugin.h"

namespace vsthost {

bool Plugin::processBlock(ProcessMode mode, float** inputs, float** outputs, vst::VstInt32 frames) {
    vst::AEffect& target = effect();
    vst::AEffectProcessProc entry = mode == ProcessMode::Replacing ? target.processReplacing : target.process;
    if (entry == nullptr) {
        return false;
    }
    context->beginBlock();
    entry(&target, inputs, outputs, frames);
    context->endBlock(frames);
    return true;
}

void Plugin::processReplacing(const Channels& inputs, Channels& outputs, std::size_t blockSize) {
    processWhole(ProcessMode::Replacing, inputs, outputs, blockSize);
}

void Plugin::process(const Channels& inputs, Channels& outputs, std::size_t blockSize) {
    processWhole(ProcessMode::Accumulating, inputs, outputs, blockSize);
}

void Plugin::processWhole(ProcessMode mode, const Channels& inputs, Channels& outputs,
                          std::size_t blockSize) {
    const vst::AEffect& target = effect();
    auto inputCount = static_cast<std::size_t>(std::max(target.numInputs, 0));
    auto outputCount = static_cast<std::size_t>(std::max(target.numOutputs, 0));
    if (inputs.size() < inputCount || outputs.size() < outputCount) {
        throw std::invalid_argument("the plug-in needs " + std::to_string(inputCount) + " input and " +
                                    std::to_string(outputCount) + " output buffers, got " +
                                    std::to_string(inputs.size()) + " and " + std::to_string(outputs.size()));
    }
    if (blockSize == 0 || blockSize > static_cast<std::size_t>(INT32_MAX)) {
        throw std::invalid_argument("block size must lie between 1 and 2^31-1 samples");
    }
    if ((mode == ProcessMode::Replacing ? target.processReplacing : target.process) == nullptr) {
        throw std::invalid_argument(std::string("the plug-in has no ") +
                                    (mode == ProcessMode::Replacing ? "replacing" : "accumulating") +
                                    " process entry");
    }
    inputPointers.resize(inputCount);
    outputPointers.resize(outputCount);

    std::size_t frames = SIZE_MAX;
    for (std::size_t c = 0; c < inputCount; ++c) {
        frames = std::min(frames, inputs[c].size());
    }
    for (std::size_t c = 0; c < outputCount; ++c) {
        frames = std::min(frames, outputs[c].size());
    }
    if (frames == SIZE_MAX) {
        return; // a plug-in without channels has nothing to run
    }
    for (std::size_t start = 0; start < frames; start += blockSize) {
        std::size_t length = std::min(blockSize, frames - start);
        for (std::size_t c = 0; c < inputCount; ++c) {
            // The format passes inputs as writable pointers; plug-ins only read them.
            inputPointers[c] = const_cast<float*>(inputs[c].data()) + start;
        }
        for (std::size_t c = 0; c < outputCount; ++c) {
            outputPointers[c] = outputs[c].data() + start;
        }
        processBlock(mode, inputPointers.data(), outputPointers.data(), static_cast<vst::VstInt32>(length));
    }
}

} // namespace vsthost
