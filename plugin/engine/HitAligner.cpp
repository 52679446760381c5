// Onset estimation, the message queue and the audio delay of the lookahead.
#include "plugin/engine/HitAligner.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zephyrion {

namespace {

// A hit has begun where the level has stayed below this share of its peak for a whole span before.
constexpr float kStartShare = 0.05f;
constexpr std::int32_t kQuietSpan = 16;

constexpr double kLookBackSeconds = 0.025;

bool isNoteOn(const MidiMessage& message) {
    return (message.status & 0xF0) == 0x90 && message.data2 > 0;
}

bool isNoteOff(const MidiMessage& message) {
    return (message.status & 0xF0) == 0x80 || (message.status & 0xF0) == 0x90;
}

} // namespace

std::int32_t hitStartBefore(const float* levels, std::int32_t last) {
    std::int32_t peakAt = last;
    for (std::int32_t i = 0; i <= last; ++i) {
        if (levels[i] >= levels[peakAt]) {
            peakAt = i; // the latest of equal peaks
        }
    }
    const float threshold = kStartShare * levels[peakAt];
    if (!(threshold > 0.0f)) {
        return last; // nothing heard: the crossing is the best guess
    }
    // `quiet` counts the samples below the threshold from i upwards; the first full span ends the walk.
    std::int32_t quiet = 0;
    for (std::int32_t i = peakAt - 1; i >= 0; --i) {
        quiet = levels[i] < threshold ? quiet + 1 : 0;
        if (quiet == kQuietSpan) {
            return i + kQuietSpan;
        }
    }
    // No quiet before the peak in the whole window: the hit began earlier than the window reaches, or the
    // sound never paused; the crossing is the better guess then.
    return last;
}

std::int32_t HitAligner::latencyFor(float sampleRate) {
    const auto frames =
        static_cast<std::int32_t>(std::lround(kLookBackSeconds * static_cast<double>(sampleRate)));
    return std::clamp(frames, 1, kMaxLatency);
}

void HitAligner::start(std::int32_t newLatency) {
    latency = std::clamp(newLatency, 1, kMaxLatency);
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
    for (std::int32_t i = 0; i < pieceFrames; ++i) {
        float level = std::fabs(0.5f * (inputs[0][i] + inputs[1][i]));
        if (!std::isfinite(level)) {
            level = 0.0f;
        }
        const auto at = static_cast<std::size_t>((clock + i) & (kHistory - 1));
        history[at] = level;
        history[at + kHistory] = level;
    }
}

void HitAligner::receive(const MidiMessage& message) {
    const std::int64_t raised = callStart + message.frame;
    if (isNoteOn(message)) {
        // Before the start the history holds silence, as the stream had.
        const std::int64_t first = raised - latency;
        const float* levels = history.data() + (first & (kHistory - 1));
        const std::int64_t start = first + hitStartBefore(levels, static_cast<std::int32_t>(raised - first));
        const std::int64_t at = stamp(start + latency);
        noteShift = at - raised;
        enqueue(at, message);
    } else if (isNoteOff(message)) {
        // The note keeps its length.
        enqueue(stamp(raised + noteShift), message);
    } else {
        enqueue(stamp(raised + latency), message);
    }
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
    for (std::size_t channel = 0; channel < 2; ++channel) {
        auto& line = delayLine[channel];
        const float* produced = chainOutput[channel];
        float* output = outputs[channel];
        for (std::int32_t i = 0; i < pieceFrames; ++i) {
            const auto now = static_cast<std::size_t>((clock + i) & (kHistory - 1));
            const auto then = static_cast<std::size_t>((clock + i - latency) & (kHistory - 1));
            const float delayed = line[then];
            line[now] = produced[i];
            output[i] = add ? output[i] + delayed : delayed;
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
