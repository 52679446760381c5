// Onset estimation, the message queue and the audio delay of the lookahead.
#include "plugin/engine/HitAligner.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace zephyrion {

namespace {

// A hit has begun where the level has stayed below a share of its peak for a whole span before.
constexpr float kStartShare = 0.05f;
constexpr std::int32_t kQuietSpan = 16;

constexpr double kLookBackSeconds = 0.025;

// Two starts are weighed: the broadband level's and the low band's, where a kick's or a snare's body
// sounds and a hi-hat hardly does. A hi-hat struck a few milliseconds before a kick moves the broadband
// start early; a drum's own click, before its body, moves the low band's start late. When the low band
// starts clearly later, the note goes part of the way toward it, which bounds either error.
constexpr double kLowEdgeHz = 400.0;
constexpr float kLowStartShare = 0.02f;
constexpr double kLowDelaySeconds = 0.00075; // the fourth-order lowpass's delay at a hit's start
constexpr double kLowLeadSeconds = 0.0005;
constexpr double kLowWeight = 0.4;
constexpr double kWarmUpSeconds = 0.01;
constexpr std::array kButterworthQ = {0.5412, 1.3066};

bool isNoteOn(const MidiMessage& message) {
    return (message.status & 0xF0) == 0x90 && message.data2 > 0;
}

bool isNoteOff(const MidiMessage& message) {
    return (message.status & 0xF0) == 0x80 || (message.status & 0xF0) == 0x90;
}

} // namespace

std::int32_t hitStartBefore(const float* levels, std::int32_t last, float share) {
    std::int32_t peakAt = last;
    for (std::int32_t i = 0; i <= last; ++i) {
        if (levels[i] >= levels[peakAt]) {
            peakAt = i; // the latest of equal peaks
        }
    }
    const float threshold = share * levels[peakAt];
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

void HitAligner::start(std::int32_t newLatency, float sampleRate) {
    latency = std::clamp(newLatency, 1, kMaxLatency);
    const double rate = sampleRate;
    const auto framesOf = [rate](double seconds) {
        return static_cast<std::int32_t>(std::lround(seconds * rate));
    };
    warmUp = std::clamp(framesOf(kWarmUpSeconds), 0, kMaxWarmUp);
    lowDelay = framesOf(kLowDelaySeconds);
    lowLead = framesOf(kLowLeadSeconds);
    // Each section a lowpass biquad with its own Q, together a Butterworth response.
    const double w = 2.0 * std::numbers::pi * std::min(kLowEdgeHz, 0.45 * rate) / rate;
    for (std::size_t i = 0; i < lowpass.size(); ++i) {
        const double alpha = std::sin(w) / (2.0 * kButterworthQ[i]);
        const double a0 = 1.0 + alpha;
        const double b1 = (1.0 - std::cos(w)) / a0;
        lowpass[i] = {b1 / 2.0, b1, b1 / 2.0, -2.0 * std::cos(w) / a0, (1.0 - alpha) / a0};
    }
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

std::int64_t HitAligner::hitStart(std::int64_t raised) {
    // Before the start the history holds silence, as the stream had.
    const std::int64_t first = raised - latency;
    const float* mono = history.data() + ((first - warmUp) & (kHistory - 1));
    std::array<double, 2> z1{};
    std::array<double, 2> z2{};
    for (std::int32_t i = 0; i <= warmUp + latency; ++i) {
        double low = mono[i];
        for (std::size_t s = 0; s < lowpass.size(); ++s) {
            const Section& f = lowpass[s];
            const double in = low;
            low = f.b0 * in + z1[s];
            z1[s] = f.b1 * in - f.a1 * low + z2[s];
            z2[s] = f.b2 * in - f.a2 * low;
        }
        if (i >= warmUp) {
            broadLevels[static_cast<std::size_t>(i - warmUp)] = std::fabs(mono[i]);
            lowLevels[static_cast<std::size_t>(i - warmUp)] = static_cast<float>(std::fabs(low));
        }
    }
    const std::int32_t broadStart = hitStartBefore(broadLevels.data(), latency, kStartShare);
    const std::int32_t lowStart = hitStartBefore(lowLevels.data(), latency, kLowStartShare);
    const std::int32_t lowShifted = lowStart - lowDelay;
    if (lowStart == latency || lowShifted < broadStart + lowLead) {
        return first + broadStart;
    }
    return first + broadStart + std::lround(kLowWeight * (lowShifted - broadStart));
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
