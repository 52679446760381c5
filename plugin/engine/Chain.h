// The per-sample chain over one block, written once and built once per instruction set (ChainSse2.cpp,
// ChainAvx.cpp). Everything here has internal linkage and uses compiler builtins rather than library
// inlines, so a copy built for AVX can never stand in for the SSE2 one.
//
// The band filter is 32 one-pole sections, s = float(s + c * (in - s)) in double precision each. Within one
// sample they depend on one another, so a sample-by-sample loop waits on 32 updates in a row. The chain
// runs a wavefront instead: at step t, section s works on sample t - s, so all sections of a step are
// independent and run side by side in vector registers, while each still sees the same inputs, performs
// the same operations in the same order and rounds to float at the same points. Each sample's tail (meter,
// envelope, window, hold, MIDI, output) runs as soon as the last section has produced it, in the same loop,
// so the processor overlaps it with the filter's next steps.
#pragma once

#include <cstdint>

#include "plugin/engine/ChainTypes.h"

namespace zephyrion {
namespace {

constexpr int kSections = 2 * kSectionsPerSide;
// Keeps the filters and the envelope away from denormal numbers.
constexpr double kDenormalGuard = 1e-24;

inline std::int32_t nearest(double value) {
    return static_cast<std::int32_t>(__builtin_lrint(value));
}

inline std::uint8_t dataByte(std::int32_t value) {
    return static_cast<std::uint8_t>(value & 0x7F);
}

// The block's input side (mono sum) and the tail of the chain for every filtered sample. Levels: the block
// asks for the envelope level of every frame; a loop of its own, so that nobody else pays for it.
template <OutputMode Mode, bool Levels> class BlockStage {
public:
    std::int32_t messageCount = 0;

    BlockStage(ChainState& chainState, const ChainSettings& chainSettings, const ChainBlock& chainBlock)
        : state(chainState), s(chainSettings), block(chainBlock), meter(state.meterLevel),
          peak(state.meterPeak), level(state.envelope), holdCounter(state.holdCounter),
          ccCountdown(state.ccCountdown), noteNumber(state.noteNumber), noteChannel(state.noteChannel),
          window(state.inWindow), noteActive(state.noteActive), lastNoteActive(state.lastNoteActive),
          noteSounding(state.noteSounding) {}

    ~BlockStage() {
        state.meterLevel = meter;
        state.meterPeak = peak;
        state.envelope = level;
        state.holdCounter = holdCounter;
        state.ccCountdown = ccCountdown;
        state.noteNumber = noteNumber;
        state.noteChannel = noteChannel;
        state.inWindow = window;
        state.noteActive = noteActive;
        state.lastNoteActive = lastNoteActive;
        state.noteSounding = noteSounding;
    }

    // The mono input of sample t (see monoInputs).
    [[gnu::always_inline]] double input(std::int32_t t) const { return block.mono[t]; }

    [[gnu::always_inline]] void output(std::int32_t i, float y);

private:
    std::int32_t velocityFor(float env) const;
    // Messages wait in the block's list until the loop is done: a call inside the loop would make every
    // register the filter lives in go through memory on each step.
    void send(std::uint8_t status, std::int32_t data1, std::int32_t data2, std::int32_t i) {
        block.messages[messageCount++] = {status, dataByte(data1), dataByte(data2), block.firstFrame + i};
    }

    ChainState& state;
    const ChainSettings& s;
    const ChainBlock& block;
    float meter;
    float peak;
    float level;
    std::uint32_t holdCounter;
    std::int32_t ccCountdown;
    std::int32_t noteNumber;
    std::int32_t noteChannel;
    bool window;
    bool noteActive;
    bool lastNoteActive;
    bool noteSounding;
};

template <OutputMode Mode, bool Levels>
inline std::int32_t BlockStage<Mode, Levels>::velocityFor(float env) const {
    const std::int32_t base = s.velocity;
    std::int32_t velocity = base;
    if (s.velocityFromLevel) {
        const double upper = s.upper;
        const double lower = s.lower;
        if (!s.inverted) {
            velocity = nearest((env - lower + 1.0) / (upper - lower + 1.0) * (127 - base) + base);
        } else if (env > upper) {
            velocity = nearest((env - lower + 1.0) / (2.0 - lower) * (127 - base) + base);
        }
    }
    // A note-on of velocity 0 would be a note-off to every receiver.
    return velocity < 1 ? 1 : (velocity > 127 ? 127 : velocity);
}

template <OutputMode Mode, bool Levels>
inline void BlockStage<Mode, Levels>::output(std::int32_t i, float y) {
    constexpr double kMeterDecay = 0.99993;
    constexpr float kMeterFloor = 0.001f;
    constexpr float kEnvelopeFloor = 1e-10f;
    constexpr std::uint8_t kNoteOff = 0x80;
    constexpr std::uint8_t kNoteOn = 0x90;
    constexpr std::uint8_t kControlChange = 0xB0;

    if (y > 1.0f) {
        y = 1.0f;
    } else if (y < -1.0f) {
        y = -1.0f;
    }
    const float magnitude = __builtin_fabsf(y);
    if (magnitude >= meter) {
        meter = magnitude;
        peak = magnitude;
    } else {
        const float decayed = static_cast<float>(meter * kMeterDecay);
        meter = decayed < kMeterFloor ? 0.0f : decayed;
    }
    if (magnitude >= level) {
        level = magnitude;
    } else {
        const float decayed = static_cast<float>(static_cast<double>(level) * s.releaseCoeff);
        level = decayed < kEnvelopeFloor ? 0.0f : decayed;
    }
    if constexpr (Levels) {
        block.levels[i] = level;
    }
    window = s.inverted ? (level <= s.upper || level >= s.lower) : (level <= s.upper && level >= s.lower);

    // The hold: every in-window sample re-arms it; control changes count down within it.
    if (window) {
        holdCounter = s.hold;
        noteActive = true;
    }
    if (holdCounter > 0) {
        --holdCounter;
        --ccCountdown;
        if (s.controllerMode && ccCountdown <= 0) {
            send(kControlChange, s.midiNote, nearest(static_cast<double>(level) * 127.0), i);
            ccCountdown = s.ccInterval;
        }
    } else {
        noteActive = false;
        ccCountdown = s.ccInterval;
    }

    float left = block.inputs[0][i];
    float right = block.inputs[1][i];
    if (s.outputStep == 0) {
        left = right = 0.0f;
    } else if (s.outputStep == 1) {
        left = right = window ? y : 0.0f;
    }
    if constexpr (Mode == OutputMode::Replace) {
        block.outputs[0][i] = left;
        block.outputs[1][i] = right;
    } else {
        block.outputs[0][i] += left;
        block.outputs[1][i] += right;
    }

    // Note events fire on a change of the note state.
    if (s.controllerMode && noteSounding) {
        // A note that sounds when controller mode takes over would otherwise hang at the receiver.
        send(static_cast<std::uint8_t>(kNoteOff | noteChannel), noteNumber, 0, i);
        noteSounding = false;
    }
    if (noteActive == lastNoteActive) {
        return;
    }
    lastNoteActive = noteActive;
    if (s.controllerMode) {
        return;
    }
    if (noteActive) {
        constexpr std::int32_t kLowestNote = 1;
        constexpr std::int32_t kHighestNote = 100;
        const std::int32_t note = s.midiNote + 24;
        noteNumber = note < kLowestNote ? kLowestNote : (note > kHighestNote ? kHighestNote : note);
        noteChannel = s.midiChannel;
        send(static_cast<std::uint8_t>(kNoteOn | noteChannel), noteNumber, velocityFor(level), i);
        noteSounding = true;
    } else if (noteSounding) {
        send(static_cast<std::uint8_t>(kNoteOff | noteChannel), noteNumber, 0, i);
        noteSounding = false;
    }
}

// V is the instruction set: its vector type and width, and the few operations the filter needs, among them
// shiftIn, which makes the first register's input from the last register's previous value: every lane moves
// up by one, lane 0 takes the new sample and the highpass side's first lane takes its own input.
//
// Register k holds, lane by lane, sections k, k + R, k + 2R, ... (R registers of W lanes each). At step t the
// input of every register but the first is the previous step's value of the register before it.
template <typename V, bool BandPass, typename Stage> class Wavefront {
public:
    using Vec = typename V::Vec;
    static constexpr int kWidth = V::kWidth;
    static constexpr int kRegisters = kSections / kWidth;
    // The lane of register 0 that holds the highpass side's first section, 16.
    static constexpr int kHighLane = kSectionsPerSide / kRegisters;
    // A sample enters section 0 at step t and leaves section 31 at step t + kLag.
    static constexpr int kLag = kSections - 1;

    Wavefront(float* sectionStates, const ChainSettings& settings, Stage& blockStage, std::int32_t frames)
        : states(sectionStates), stage(blockStage), n(frames) {
        alignas(32) double lanes[kWidth];
        for (int i = 0; i < kWidth; ++i) {
            lanes[i] = i < kHighLane ? settings.lowpassCoefficient : settings.highpassCoefficient;
        }
        coefficients = V::load(lanes);
    }

    void run() {
        // The registers live in a local array that nothing else can reach, so they stay in registers.
        // Every loop over them is unrolled: one indexed at run time would put them in memory.
        Vec r[kRegisters];
        alignas(32) double lanes[kWidth];
#pragma GCC unroll 16
        for (int k = 0; k < kRegisters; ++k) {
            for (int i = 0; i < kWidth; ++i) {
                lanes[i] = states[k + i * kRegisters];
            }
            r[k] = V::load(lanes);
        }
        std::int32_t t = 0;
        if (n >= kLag) {
            for (; t < kLag; ++t) {
                step<Ramp::Filling>(r, t);
            }
            for (; t < n; ++t) {
                step<Ramp::None>(r, t);
            }
            for (; t < n + kLag; ++t) {
                step<Ramp::Draining>(r, t);
            }
        } else {
            for (; t < n + kLag; ++t) {
                step<Ramp::Both>(r, t);
            }
        }
#pragma GCC unroll 16
        for (int k = 0; k < kRegisters; ++k) {
            V::store(lanes, r[k]);
            for (int i = 0; i < kWidth; ++i) {
                states[k + i * kRegisters] = static_cast<float>(lanes[i]);
            }
        }
    }

private:
    [[gnu::always_inline]] static double guarded(double lowpassOutput) {
        // Keeps the lowpass output away from denormal numbers before it feeds the highpass side.
        return static_cast<float>(lowpassOutput + kDenormalGuard);
    }

    [[gnu::always_inline]] Vec advance(Vec state, Vec in) const {
        return V::roundToFloat(V::add(state, V::mul(coefficients, V::sub(in, state))));
    }

    // Full steps have a sample for every section. While the wavefront fills at the start of a block and
    // drains at its end, some sections have none, and those keep their state by taking it as their input.
    enum class Ramp { None, Filling, Draining, Both };

    // Lanes whose section has a sample: filling[t] at step t of the start, sections up to t; draining[e] at
    // step n + e - 1 of the end, sections above e - 1. Their last and first entries leave every lane active.
    struct RampMasks {
        alignas(32) std::uint64_t filling[kLag + 1][kRegisters][kWidth];
        alignas(32) std::uint64_t draining[kLag + 1][kRegisters][kWidth];
    };
    static constexpr RampMasks makeRampMasks() {
        RampMasks masks{};
        for (int e = 0; e <= kLag; ++e) {
            for (int k = 0; k < kRegisters; ++k) {
                for (int i = 0; i < kWidth; ++i) {
                    const int section = k + i * kRegisters;
                    masks.filling[e][k][i] = section <= e ? ~std::uint64_t{0} : 0;
                    masks.draining[e][k][i] = section > e - 1 ? ~std::uint64_t{0} : 0;
                }
            }
        }
        return masks;
    }
    static constexpr RampMasks kRampMasks = makeRampMasks();

    static Vec mask(const std::uint64_t (&lanes)[kWidth]) {
        return V::load(reinterpret_cast<const double*>(lanes));
    }

    template <Ramp R> [[gnu::always_inline]] void step(Vec (&r)[kRegisters], std::int32_t t) {
        constexpr bool full = R == Ramp::None;
        const Vec last = r[kRegisters - 1];
        const std::int32_t j = t - 16;
        double highInput;
        if (BandPass) {
            highInput = lowpassed; // section 15's output after the previous step
        } else {
            highInput = full || (j >= 0 && j < n) ? stage.input(j) : 0.0;
        }
        const Vec first = V::shiftIn(last, full || t < n ? stage.input(t) : 0.0, highInput);
        if (full) {
#pragma GCC unroll 16
            for (int k = kRegisters - 1; k > 0; --k) {
                r[k] = advance(r[k], r[k - 1]);
            }
            r[0] = advance(r[0], first);
        } else {
            const std::int32_t filled = t < kLag ? t : kLag;
            const std::int32_t drained = t < n ? 0 : t - n + 1;
#pragma GCC unroll 16
            for (int k = kRegisters - 1; k >= 0; --k) {
                Vec active;
                if (R == Ramp::Filling) {
                    active = mask(kRampMasks.filling[filled][k]);
                } else if (R == Ramp::Draining) {
                    active = mask(kRampMasks.draining[drained][k]);
                } else {
                    active =
                        V::both(mask(kRampMasks.filling[filled][k]), mask(kRampMasks.draining[drained][k]));
                }
                r[k] = advance(r[k], V::choose(active, k > 0 ? r[k - 1] : first, r[k]));
            }
        }
        finish<full>(r[kRegisters - 1], t);
    }

    // After step t, section 15 has finished sample t - 15 and section 31 sample t - 31.
    template <bool Full> [[gnu::always_inline]] void finish(Vec last, std::int32_t t) {
        const std::int32_t newest = t - 15;
        if (Full || (newest >= 0 && newest < n)) {
            lowpassed = guarded(V::template lane<kHighLane - 1>(last));
            ring[newest % kRingSize] = lowpassed;
        }
        const std::int32_t done = t - kLag;
        if (Full || (done >= 0 && done < n)) {
            const double lowpassOutput = ring[done % kRingSize];
            const double rest = V::template lane<kWidth - 1>(last);
            float y;
            if (BandPass) {
                y = static_cast<float>(lowpassOutput - rest);
            } else {
                const float highpassOutput = static_cast<float>(stage.input(done) - rest);
                y = static_cast<float>((static_cast<double>(highpassOutput) + lowpassOutput) * 0.5);
            }
            stage.output(done, y);
        }
    }

    // The lowpass outputs of the samples in flight: each is read 16 steps after it was made.
    static constexpr int kRingSize = 32;

    float* states;
    Stage& stage;
    std::int32_t n;
    Vec coefficients;
    double ring[kRingSize];
    // The newest of them, which the highpass side's first section takes next in the band pass.
    double lowpassed = 0.0;
};

inline double monoInput(float left, float right, double gain) {
    const float x = static_cast<float>((static_cast<double>(left) + right) * gain + kDenormalGuard);
    // A NaN or infinity would stay in the filter states and the envelope for good.
    return __builtin_isfinite(x) ? x : 0.0f;
}

// The whole block's mono input ahead of the filter, several samples per instruction.
template <typename V> void monoInputs(const ChainBlock& block, double gain) {
    const typename V::Vec g = V::set1(gain);
    const typename V::Vec guard = V::set1(kDenormalGuard);
    std::int32_t i = 0;
    for (; i + V::kWidth <= block.frames; i += V::kWidth) {
        const typename V::Vec sum =
            V::add(V::fromFloats(block.inputs[0] + i), V::fromFloats(block.inputs[1] + i));
        V::storeUnaligned(block.mono + i, V::finiteOrZero(V::roundToFloat(V::add(V::mul(sum, g), guard))));
    }
    for (; i < block.frames; ++i) {
        block.mono[i] = monoInput(block.inputs[0][i], block.inputs[1][i], gain);
    }
}

// Each output mode, with or without levels, has a loop of its own, which spares a test on every sample.
template <typename V, OutputMode Mode, bool Levels>
std::int32_t runStage(ChainState& state, const ChainSettings& settings, const ChainBlock& block) {
    using Stage = BlockStage<Mode, Levels>;
    Stage stage(state, settings, block);
    if (settings.bandPass) {
        Wavefront<V, true, Stage>(state.sections, settings, stage, block.frames).run();
    } else {
        Wavefront<V, false, Stage>(state.sections, settings, stage, block.frames).run();
    }
    return stage.messageCount;
}

template <typename V, OutputMode Mode>
std::int32_t runStage(ChainState& state, const ChainSettings& settings, const ChainBlock& block) {
    return block.levels != nullptr ? runStage<V, Mode, true>(state, settings, block)
                                   : runStage<V, Mode, false>(state, settings, block);
}

template <typename V>
void runChain(ChainState& state, const ChainSettings& settings, const ChainBlock& block) {
    if (block.frames <= 0) {
        return;
    }
    monoInputs<V>(block, settings.gain);
    const std::int32_t messages = block.mode == OutputMode::Replace
                                      ? runStage<V, OutputMode::Replace>(state, settings, block)
                                      : runStage<V, OutputMode::Add>(state, settings, block);
    for (std::int32_t m = 0; m < messages; ++m) {
        block.sink->receive(block.messages[m]);
    }
}

} // namespace
} // namespace zephyrion
