// The lookahead's message queue and audio delay; the hit starts come from HitStart.
#include "plugin/engine/HitAligner.h"

#include "plugin/parameter_curves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zephyrion {

namespace {

constexpr double kLookBackSeconds = 0.025;

bool isNoteOn(const MidiMessage& message) {
    return (message.status & 0xF0) == 0x90 && message.data2 > 0;
}

bool isNoteOff(const MidiMessage& message) {
    return (message.status & 0xF0) == 0x80 || (message.status & 0xF0) == 0x90;
}

} // namespace

std::int32_t HitAligner::latencyFor(float sampleRate) {
    const auto frames =
        static_cast<std::int32_t>(std::lround(kLookBackSeconds * static_cast<double>(sampleRate)));
    return std::clamp(frames, 1, kMaxLatency);
}

void HitAligner::start(std::int32_t newLatency, float sampleRate) {
    latency = std::clamp(newLatency, 1, kMaxLatency);
    finder = HitStartFinder(sampleRate, kMaxWarmUp);
    rate = sampleRate;
    bandCoefficient = -1.0f;
    clock = 0;
    lastStamp = std::numeric_limits<std::int64_t>::min();
    noteShift = 0;
    history.fill(0.0f);
    for (auto& line : delayLine) {
        line.fill(0.0f);
    }
    queueHead = 0;
    queueSize = 0;
}

void HitAligner::flush(MidiSink& target, std::int32_t frame) {
    for (; queueSize > 0; --queueSize, queueHead = (queueHead + 1) % kQueue) {
        MidiMessage message = queue[static_cast<std::size_t>(queueHead)].message;
        message.frame = frame;
        target.receive(message);
    }
}

void HitAligner::beginPiece(const float* const* inputs, std::int32_t frames, std::int32_t firstFrame,
                            MidiSink& target) {
    sink = &target;
    pieceFrames = std::min(frames, kMaxPiece);
    callStart = clock - firstFrame;
    // In at most two stretches that do not wrap, so the loops run several samples per instruction.
    const auto at = static_cast<std::int32_t>(clock & (kHistory - 1));
    const std::int32_t firstStretch = std::min(pieceFrames, kHistory - at);
    for (const auto& [from, count, to] :
         {std::array{0, firstStretch, at}, std::array{firstStretch, pieceFrames - firstStretch, 0}}) {
        const float* left = inputs[0] + from;
        const float* right = inputs[1] + from;
        float* mono = history.data() + to;
        float* mirror = mono + kHistory;
        for (std::int32_t i = 0; i < count; ++i) {
            const float sum = 0.5f * (left[i] + right[i]);
            // NaN and infinity fail the comparison: a broken sample counts as silence.
            const float finite = std::fabs(sum) < std::numeric_limits<float>::infinity() ? sum : 0.0f;
            mono[i] = finite;
            mirror[i] = finite;
        }
    }
}

void HitAligner::receive(const MidiMessage& message) {
    const std::int64_t raised = callStart + message.frame;
    if (isNoteOn(message)) {
        const std::int64_t at = stamp(hitStart(raised) + latency);
        noteShift = at - raised;
        enqueue(at, message);
    } else if (isNoteOff(message)) {
        // The note keeps its length.
        enqueue(stamp(raised + noteShift), message);
    } else {
        enqueue(stamp(raised + latency), message);
    }
}

void HitAligner::followBand(float highpassCoefficient, bool bandPass) {
    if (highpassCoefficient != bandCoefficient || bandPass != bandPassing) {
        bandCoefficient = highpassCoefficient;
        bandPassing = bandPass;
        inHighs = hearsOnlyHighs(highpassCoefficient, bandPass, rate);
    }
}

std::int64_t HitAligner::hitStart(std::int64_t raised) {
    // Before the start the history holds silence, as the stream had.
    const std::int64_t first = raised - latency;
    const float* mono = history.data() + ((first - finder.warmUp()) & (kHistory - 1));
    return first + (inHighs ? finder.findInHighs(mono, latency, latency, broadLevels.data(), lowLevels.data(),
                                                 otherLevels.data())
                            : finder.find(mono, latency, latency, broadLevels.data(), lowLevels.data(),
                                          otherLevels.data()));
}

std::int64_t HitAligner::stamp(std::int64_t at) {
    lastStamp = std::max(at, lastStamp);
    return lastStamp;
}

void HitAligner::enqueue(std::int64_t at, const MidiMessage& message) {
    if (queueSize == kQueue) {
        // Cannot happen at the latencies allowed; were it to, a message goes early rather than never.
        send(queue[static_cast<std::size_t>(queueHead)]);
        queueHead = (queueHead + 1) % kQueue;
        --queueSize;
    }
    queue[static_cast<std::size_t>((queueHead + queueSize) % kQueue)] = {at, message};
    ++queueSize;
}

void HitAligner::send(const Timed& timed) {
    MidiMessage message = timed.message;
    message.frame = static_cast<std::int32_t>(std::max(timed.at - callStart, clock - callStart));
    sink->receive(message);
}

void HitAligner::finishPiece(float* const* outputs, bool add) {
    // The piece goes into the line first: the line holds more than the latency and a piece, so nothing the
    // piece still has to read is overwritten, and a latency shorter than the piece reads the piece itself.
    const auto writeAt = static_cast<std::int32_t>(clock & (kHistory - 1));
    const auto readAt = static_cast<std::int32_t>((clock - latency) & (kHistory - 1));
    for (std::size_t channel = 0; channel < 2; ++channel) {
        float* line = delayLine[channel].data();
        const float* produced = chainOutput[channel];
        const std::int32_t writeStretch = std::min(pieceFrames, kHistory - writeAt);
        std::copy_n(produced, writeStretch, line + writeAt);
        std::copy_n(produced + writeStretch, pieceFrames - writeStretch, line);

        float* output = outputs[channel];
        const std::int32_t readStretch = std::min(pieceFrames, kHistory - readAt);
        for (const auto& [from, count, to] :
             {std::array{readAt, readStretch, 0}, std::array{0, pieceFrames - readStretch, readStretch}}) {
            if (add) {
                for (std::int32_t i = 0; i < count; ++i) {
                    output[to + i] += line[from + i];
                }
            } else {
                std::copy_n(line + from, count, output + to);
            }
        }
    }
    const std::int64_t end = clock + pieceFrames;
    while (queueSize > 0 && queue[static_cast<std::size_t>(queueHead)].at < end) {
        send(queue[static_cast<std::size_t>(queueHead)]);
        queueHead = (queueHead + 1) % kQueue;
        --queueSize;
    }
    clock = end;
}

} // namespace zephyrion
