// The audio path: every sample is summed to mono, band filtered, followed by an envelope and tested against
// the amplitude window, and the MIDI steps follow. Nothing here allocates, locks or formats. Each stored
// value is rounded to a 32-bit float; the arithmetic in between is done in double precision.
#include <algorithm>
#include <cmath>

#include "plugin/engine/PeakEngine.h"

namespace zephyrion {

namespace {

// Keeps the filters and the envelope away from denormal numbers.
constexpr double kDenormalGuard = 1e-24;
constexpr double kMeterDecay = 0.99993;
constexpr float kMeterFloor = 0.001f;
constexpr float kEnvelopeFloor = 1e-10f;

constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::int32_t kLowestNote = 1;
constexpr std::int32_t kHighestNote = 100;
constexpr std::int32_t kNoteOffset = 24;
// A note-on of velocity 0 would be a note-off to every receiver.
constexpr std::int32_t kLowestVelocity = 1;
constexpr std::int32_t kHighestVelocity = 127;

inline float monoInput(float left, float right, double gain) {
    const float x = static_cast<float>((static_cast<double>(left) + right) * gain + kDenormalGuard);
    // A NaN or infinity would stay in the filter states and the envelope for good.
    return std::isfinite(x) ? x : 0.0f;
}

inline std::uint8_t dataByte(std::int32_t value) {
    return static_cast<std::uint8_t>(value & 0x7F);
}

} // namespace

void PeakEngine::process(const float* const* inputs, float* const* outputs, std::int32_t frames,
                         OutputMode mode, MidiSink& sink) {
    if (frames <= 0) {
        return;
    }
    const Settings settings = readSettings();
    for (std::int32_t start = 0; start < frames; start += kChunkFrames) {
        const std::int32_t count = std::min(kChunkFrames, frames - start);
        const float* left = inputs[0] + start;
        const float* right = inputs[1] + start;
        for (std::int32_t i = 0; i < count; ++i) {
            mono[static_cast<std::size_t>(i)] = monoInput(left[i], right[i], settings.gain);
        }
        bandFilter.run(mono.data(), filtered.data(), count, settings.band);
        runTail(settings, inputs, outputs, start, count, mode, sink);
    }
}

std::int32_t PeakEngine::velocityFor(const Settings& s, float level) const {
    const std::int32_t base = roundHalfEven(static_cast<double>(s.midiVelocity) * 127.0);
    std::int32_t velocity = base;
    if (s.velocityFromLevel) {
        const double upper = s.upper;
        const double lower = s.lower;
        const double env = level;
        if (!s.inverted) {
            velocity = roundHalfEven((env - lower + 1.0) / (upper - lower + 1.0) * (127 - base) + base);
        } else if (env > upper) {
            velocity = roundHalfEven((env - lower + 1.0) / (2.0 - lower) * (127 - base) + base);
        }
    }
    return std::clamp(velocity, kLowestVelocity, kHighestVelocity);
}

void PeakEngine::runTail(const Settings& s, const float* const* inputs, float* const* outputs,
                         std::int32_t start, std::int32_t frames, OutputMode mode, MidiSink& sink) {
    float meter = meterLevel;
    float peak = meterPeak;
    float level = envelope;
    bool window = inWindow;
    for (std::int32_t i = 0; i < frames; ++i) {
        const std::int32_t frame = start + i;
        float y = filtered[static_cast<std::size_t>(i)];
        if (y > 1.0f) {
            y = 1.0f;
        } else if (y < -1.0f) {
            y = -1.0f;
        }

        const float outputLevel = std::fabs(y);
        if (outputLevel >= meter) {
            meter = outputLevel;
            peak = outputLevel;
        } else {
            const float decayed = static_cast<float>(meter * kMeterDecay);
            meter = decayed < kMeterFloor ? 0.0f : decayed;
        }

        if (outputLevel >= level) {
            level = outputLevel;
        } else {
            const float decayed = static_cast<float>(static_cast<double>(level) * s.releaseCoeff);
            level = decayed < kEnvelopeFloor ? 0.0f : decayed;
        }

        window = s.inverted ? (level <= s.upper || level >= s.lower) : (level <= s.upper && level >= s.lower);

        // The hold: every in-window sample re-arms it; the control changes count down within it.
        if (window) {
            holdCounter = s.hold;
            noteActive = true;
        }
        const std::uint32_t hold = holdCounter;
        if (hold > 0) {
            holdCounter = hold - 1;
            --ccCountdown;
            if (s.controllerMode && ccCountdown <= 0) {
                const std::int32_t controller = roundHalfEven(static_cast<double>(s.midiNote) * 127.0);
                const std::int32_t value = roundHalfEven(static_cast<double>(level) * 127.0);
                sink.receive({kControlChange, dataByte(controller), dataByte(value), frame});
                ccCountdown = s.ccInterval;
            }
        } else {
            noteActive = false;
            ccCountdown = s.ccInterval;
        }

        float* outLeft = outputs[0] + frame;
        float* outRight = outputs[1] + frame;
        float left = inputs[0][frame];
        float right = inputs[1][frame];
        if (s.outputStep == 0) {
            left = right = 0.0f;
        } else if (s.outputStep == 1) {
            left = right = window ? y : 0.0f;
        }
        if (mode == OutputMode::Replace) {
            *outLeft = left;
            *outRight = right;
        } else {
            *outLeft += left;
            *outRight += right;
        }

        // Note events fire on a change of the note state.
        if (s.controllerMode && noteSounding) {
            // A note that sounds when controller mode takes over would otherwise hang at the receiver.
            sink.receive({static_cast<std::uint8_t>(kNoteOff | noteChannel), dataByte(noteNumber), 0, frame});
            noteSounding = false;
        }
        const bool active = noteActive;
        if (active == lastNoteActive) {
            continue;
        }
        lastNoteActive = active;
        if (s.controllerMode) {
            continue;
        }
        if (active) {
            noteNumber = std::clamp(roundHalfEven(static_cast<double>(s.midiNote) * 127.0) + kNoteOffset,
                                    kLowestNote, kHighestNote);
            noteChannel = roundHalfEven(static_cast<double>(s.midiChannel) * 15.0);
            sink.receive({static_cast<std::uint8_t>(kNoteOn | noteChannel), dataByte(noteNumber),
                          dataByte(velocityFor(s, level)), frame});
            noteSounding = true;
        } else if (noteSounding) {
            sink.receive({static_cast<std::uint8_t>(kNoteOff | noteChannel), dataByte(noteNumber), 0, frame});
            noteSounding = false;
        }
    }
    meterLevel = meter;
    meterPeak = peak;
    envelope = level;
    inWindow = window;
}

} // namespace zephyrion
