// Settings in Hz, dB and ms: each side's edge measured on the engine's own filter, values typed with a unit
// landing where the engine does what they say, and the ones out of reach refused with the range.
#include "plugin/engine/PeakEngine.h"
#include "plugin/parameter_curves.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/readable_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>

namespace zcli_test {
namespace {

using namespace zephyrion;

class NoMidi : public MidiSink {
public:
    void receive(const MidiMessage&) override {}
};

// The gain of one side of the engine's band filter at `hz`: a sine run through the engine a sample at a
// time, the side's input and output read from its sections once the start has died away, each demodulated
// over whole periods.
double measuredGain(ParameterIndex side, float value, int mode, double rate, double hz) {
    PeakEngine engine;
    engine.setSampleRate(static_cast<float>(rate));
    engine.setParameter(kFreqMode, static_cast<float>(mode) / 10.0f);
    engine.setParameter(kVolume, 0.0f);
    // The other side wide open: the lowpass passes everything, the highpass feeds on it.
    engine.setParameter(kFreqHi, side == kFreqHi ? value : 1.0f);
    engine.setParameter(kFreqLo, side == kFreqLo ? value : 0.0f);
    const double w = 2.0 * std::numbers::pi * hz / rate;
    const int settle = 8000;
    const int measured = static_cast<int>(
        std::lround(std::ceil(6000.0 * w / (2.0 * std::numbers::pi)) * 2.0 * std::numbers::pi / w));
    NoMidi sink;
    std::complex<double> in;
    std::complex<double> out;
    for (int n = 0; n < settle + measured; ++n) {
        float x = static_cast<float>(0.25 * std::sin(w * n));
        float left = x;
        float right = x;
        float* inputs[2] = {&left, &right};
        float outLeft = 0.0f;
        float outRight = 0.0f;
        float* outputs[2] = {&outLeft, &outRight};
        engine.process(inputs, outputs, 1, OutputMode::Replace, sink);
        if (n >= settle) {
            const double lowpassed = engine.section(15);
            const double sideIn = side == kFreqHi ? 2.0 * x : lowpassed;
            const double sideOut = side == kFreqHi ? lowpassed : lowpassed - engine.section(31);
            in += sideIn * std::polar(1.0, -w * n);
            out += sideOut * std::polar(1.0, -w * n);
        }
    }
    return std::abs(out) / std::abs(in);
}

std::string hertz(double hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10gHz", hz);
    return text;
}

TEST(ReadableSettings, EdgesAreWhereTheEnginesSidesPassHalfThePower) {
    struct Row {
        ParameterIndex side;
        int mode;
        float value;
        double rate;
    };
    const Row rows[] = {
        {kFreqHi, 0, 0.3f, 44100.0}, {kFreqHi, 1, 0.08f, 44100.0}, {kFreqHi, 2, 0.2f, 48000.0},
        {kFreqLo, 0, 0.5f, 44100.0}, {kFreqLo, 1, 0.85f, 96000.0}, {kFreqLo, 2, 0.1f, 44100.0},
    };
    const double halfPower = std::sqrt(0.5);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.side << " mode " << row.mode << " value " << row.value);
        const zcli::ReadableContext context{row.rate, row.mode};
        const double edge = zcli::edgeHz(row.side, row.value, context);
        const double inBand = row.side == kFreqHi ? 0.9 : 1.1;
        EXPECT_NEAR(measuredGain(row.side, row.value, row.mode, row.rate, edge), halfPower, 2e-3);
        EXPECT_GT(measuredGain(row.side, row.value, row.mode, row.rate, edge * inBand), halfPower);
        EXPECT_LT(measuredGain(row.side, row.value, row.mode, row.rate, edge / inBand), halfPower);
        if (row.side == kFreqLo) {
            // The highpass side's edge is where it first reaches half the power.
            EXPECT_LT(measuredGain(row.side, row.value, row.mode, row.rate, edge / 2.0), halfPower);
        }
        // Typed back, the edge lands on the same filter.
        const float typed = zcli::normalisedFrom(row.side, hertz(edge), context, "test");
        EXPECT_EQ(filterCoefficient(typed, row.mode), filterCoefficient(row.value, row.mode)) << typed;
    }
}

// The engine's own reading of a value: the hold in ms, the release's half-life in ms, or the factor 1 -
// value.
double engineReading(int index, float value, double rate) {
    PeakEngine engine;
    engine.setSampleRate(static_cast<float>(rate));
    engine.setParameter(index, value);
    switch (index) {
    case kFalloff: return 5.0 * engine.getHoldUnit() / rate * 1000.0;
    case kRelease:
        return std::log(0.5) / std::log(static_cast<double>(engine.getReleaseCoeff())) / rate * 1000.0;
    default: return 1.0 - static_cast<double>(engine.getParameter(index));
    }
}

TEST(ReadableSettings, TypedValuesLandWhereTheEngineDoesWhatTheySay) {
    struct Row {
        const char* name;
        const char* typed;
        int mode;
        double rate;
        double expected;  // Hz for an edge, ms for a time, the factor for a level
        double tolerance; // what the nearest setting can miss by
        const char* shown;
    };
    const Row rows[] = {
        {"Freq.Hi", "120Hz", 1, 44100.0, 120.0, 0.01, "lowpass edge 120.0 Hz"},
        {"freq.lo", "2.5 kHz", 2, 48000.0, 2500.0, 0.1, "highpass edge 2.50 kHz"},
        {"Freq.Lo", "35.5Hz", 0, 44100.0, 35.6, 0.05, "highpass edge 35.6 Hz"}, // a hair below the lowest
        {"Falloff", "20ms", 0, 44100.0, 20.0, 2.5 / 44.1, "hold 19.95 ms"},
        {"Falloff", "0.01s", 0, 48000.0, 10.0, 2.5 / 48.0, "hold 10.00 ms"},
        {"Release", "50ms", 0, 44100.0, 50.0, 0.02, "half-life 50.0 ms"},
        {"Volume", "-6dB", 0, 44100.0, 0.50119, 1e-5, "gain -6.0 dB"},
        {"Amp.Hi", "-30dBFS", 0, 44100.0, 0.031623, 1e-6, "lower bound -30.0 dBFS"},
        {"Amp.Lo", "-inf dB", 0, 44100.0, 0.0, 0.0, "upper bound -inf dBFS"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name << "=" << row.typed);
        const int index = zcli::tableIndexOf(row.name);
        const zcli::ReadableContext context{row.rate, row.mode};
        ASSERT_FALSE(zcli::isPlainNumber(row.typed));
        const float value = zcli::normalisedFrom(index, row.typed, context, "test");
        const double reached = index == kFreqLo || index == kFreqHi
                                   ? zcli::edgeHz(static_cast<ParameterIndex>(index), value, context)
                                   : engineReading(index, value, row.rate);
        EXPECT_NEAR(reached, row.expected, row.tolerance);
        EXPECT_EQ(zcli::describeReadable(index, value, context), row.shown);
    }
}

TEST(ReadableSettings, ValuesOutOfReachOrInTheWrongUnitAreRefused) {
    struct Row {
        const char* name;
        const char* typed;
        int mode;
        double rate;
        std::vector<std::string> words;
    };
    const Row rows[] = {
        {"Freq.Hi",
         "120Hz",
         0,
         44100.0,
         {"what: the linear curve's lowpass edge", "no lower than 155.7 Hz", "exponential"}},
        {"Freq.Lo", "10Hz", 0, 44100.0, {"highpass edge goes no lower than 35.6 Hz at 44100 Hz"}},
        {"Freq.Hi", "22.2kHz", 1, 44100.0, {"exponential curve's lowpass edge goes no higher than 22.0"}},
        {"Freq.Lo", "25kHz", 2, 48000.0, {"no higher than 2", "at 48000 Hz"}},
        {"Freq.Hi", "-5Hz", 2, 44100.0, {"no lower than 0 Hz"}},
        {"Amp.Hi", "1dB", 0, 44100.0, {"no higher than 0 dBFS"}},
        {"Volume", "0.5dB", 0, 44100.0, {"gain goes no higher than 0 dB"}},
        {"Falloff", "200ms", 0, 44100.0, {"0.11 to 113.49 ms at 44100 Hz"}},
        {"Falloff", "100ms", 0, 88200.0, {"0.06 to 56.75 ms at 88200 Hz"}},
        {"Release", "0.5ms", 0, 44100.0, {"1 ms", "1001 ms"}},
        {"Freq.Hi", "120ms", 1, 44100.0, {"0 to 1", "120Hz or 2.5kHz"}},
        {"Amp.Lo", "loud", 0, 44100.0, {"0 to 1", "-30dB"}},
        {"Release", "5 Hz", 0, 44100.0, {"0 to 1", "50ms"}},
        {"Volume", "nan dB", 0, 44100.0, {"0 to 1", "-6dB"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name << "=" << row.typed);
        std::string message;
        try {
            zcli::normalisedFrom(zcli::tableIndexOf(row.name), row.typed, {row.rate, row.mode}, "what");
        } catch (const zcli::UsageError& error) {
            message = error.what();
        }
        for (const std::string& word : row.words) {
            EXPECT_NE(message.find(word), std::string::npos)
                << "'" << word << "' missing from '" << message << "'";
        }
    }
}

} // namespace
} // namespace zcli_test
