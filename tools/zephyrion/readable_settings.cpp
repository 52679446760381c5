#include "tools/zephyrion/readable_settings.h"

#include "editor/EditorWords.h"
#include "plugin/parameter_curves.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>

namespace zcli {
namespace {

using zephyrion::ParameterIndex;

constexpr double kPi = 3.14159265358979323846;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// A typed edge this little beyond the farthest a side reaches takes that extreme, so that an edge shown
// rounded can be typed back.
constexpr double kEdgeSlack = 0.005;
// Lets 1 ms and 1001 ms, the half-lives of Release 1 and 0, through despite rounding.
constexpr double kHalfLifeSlack = 1e-9;
// The hold is a whole number of steps of kHoldStepFrames, up to this many of them.
const double kMostHoldSteps = zephyrion::holdStepsFor(0.0f);

enum class Unit { None, Hertz, Decibel, Millisecond };

struct UnitWord {
    std::string_view word; // in lower case
    Unit unit;
    double scale; // to Hz, dB or ms
};

constexpr UnitWord kUnitWords[] = {
    {"hz", Unit::Hertz, 1.0},     {"khz", Unit::Hertz, 1000.0},   {"db", Unit::Decibel, 1.0},
    {"dbfs", Unit::Decibel, 1.0}, {"ms", Unit::Millisecond, 1.0}, {"s", Unit::Millisecond, 1000.0},
};

Unit unitOf(int index) {
    switch (index) {
    case zephyrion::kVolume:
    case zephyrion::kAmpLo:
    case zephyrion::kAmpHi: return Unit::Decibel;
    case zephyrion::kFreqLo:
    case zephyrion::kFreqHi: return Unit::Hertz;
    case zephyrion::kFalloff:
    case zephyrion::kRelease: return Unit::Millisecond;
    default: return Unit::None;
    }
}

struct Quantity {
    double amount; // in Hz, dB or ms
    Unit unit;
};

std::optional<Quantity> quantityOf(std::string_view text) {
    const std::string trimmed = withoutOuterBlanks(text);
    const char* end = trimmed.data() + trimmed.size();
    double amount = 0.0;
    const auto [stop, error] = std::from_chars(trimmed.data(), end, amount);
    if (error != std::errc() || std::isnan(amount)) {
        return std::nullopt;
    }
    const std::string word = lowerCase(withoutOuterBlanks(std::string_view(stop, end)));
    for (const UnitWord& unit : kUnitWords) {
        if (word == unit.word) {
            return Quantity{amount * unit.scale, unit.unit};
        }
    }
    return std::nullopt;
}

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string hertzText(double hz) {
    if (hz == 0.0) {
        return "0 Hz";
    }
    if (hz < 10.0) {
        return formatted("%.2f Hz", hz);
    }
    return hz < 1000.0 ? formatted("%.1f Hz", hz) : formatted("%.2f kHz", hz / 1000.0);
}

std::string edgeText(double hz, double sampleRate) {
    return std::isinf(hz) ? "above " + hertzText(sampleRate / 2.0) : hertzText(hz);
}

std::string rateText(double sampleRate) {
    return formatted("%g Hz", sampleRate);
}

// Volume's gain and Amp.Lo's and Amp.Hi's bounds are all 1 - value.
std::string complementDecibels(float value) {
    return formatted("%.1f", 20.0 * std::log10(1.0 - static_cast<double>(value)));
}

double halfLifeMs(float release) {
    return zephyrion::halfLifeSecondsFor(release) * 1000.0;
}

double holdMs(float falloff, double sampleRate) {
    return zephyrion::kHoldStepFrames * zephyrion::holdStepsFor(falloff) / sampleRate * 1000.0;
}

// Where the side's gain first crosses -3 dB, in radians per sample: the lowpass side falls below it, the
// highpass side rises above it. Below a thousandth of c the lowpass side passes and the highpass side does
// not, for every coefficient, so the walk starts there and goes up by hundredths of a decade.
double edgeRadians(double c, bool highpass) {
    if (c <= 0.0) {
        return 0.0;
    }
    const double halfPower = std::sqrt(0.5);
    const auto crossed = [&](double w) {
        return (zephyrion::bandSideGain(c, w, highpass) >= halfPower) == highpass;
    };
    const double step = std::pow(10.0, 0.01);
    for (double below = 1e-3 * c; below < kPi;) {
        const double above = std::min(below * step, kPi);
        if (crossed(above)) {
            double low = below;
            double high = above;
            for (int i = 0; i < 50; ++i) {
                const double middle = std::sqrt(low * high);
                (crossed(middle) ? high : low) = middle;
            }
            return high;
        }
        below = above;
    }
    return kInfinity;
}

// The floats 0..1 in order are the bit patterns 0..kOneBits.
constexpr std::uint32_t kOneBits = 0x3F800000;

float positionAt(std::uint32_t bits) {
    return std::bit_cast<float>(bits);
}

// The first of the floats 0..1 where `reached` holds, for a test that holds everywhere above that; one past
// 1 if none.
template <typename Test> std::uint32_t firstWhere(Test reached) {
    std::uint32_t low = 0;
    std::uint32_t high = kOneBits + 1;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (reached(positionAt(middle))) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

float fromHertz(int index, double hz, const ReadableContext& context, const std::string& what) {
    const auto side = static_cast<ParameterIndex>(index);
    const auto edgeAt = [&](std::uint32_t bits) { return edgeHz(side, positionAt(bits), context); };
    // At the value 0 each side has an edge below half the rate; from some value on it has none.
    const std::uint32_t open =
        firstWhere([&](float position) { return std::isinf(edgeHz(side, position, context)); });
    const double lowest = edgeAt(0);
    const double highest = edgeAt(open - 1);
    const std::string edge = std::string(editor::freqModeNames[static_cast<std::size_t>(context.freqMode)]) +
                             " curve's " + (side == zephyrion::kFreqLo ? "highpass" : "lowpass") + " edge";
    if (hz < lowest * (1.0 - kEdgeSlack)) {
        throw UsageError(what + ": the " + edge + " goes no lower than " + hertzText(lowest) + " at " +
                         rateText(context.sampleRate) +
                         (lowest > 0.0 ? "; the exponential and logarithmic curves reach lower" : ""));
    }
    if (hz > highest * (1.0 + kEdgeSlack)) {
        throw UsageError(what + ": the " + edge + " goes no higher than " + hertzText(highest) + " at " +
                         rateText(context.sampleRate));
    }
    const std::uint32_t above =
        std::min(firstWhere([&](float position) { return edgeHz(side, position, context) >= hz; }), open - 1);
    if (above > 0 && std::abs(edgeAt(above - 1) - hz) < std::abs(edgeAt(above) - hz)) {
        return positionAt(above - 1);
    }
    return positionAt(above);
}

float fromDecibels(int index, double decibels, const std::string& what) {
    if (decibels > 0.0) {
        throw UsageError(what +
                         (index == zephyrion::kVolume
                              ? ": the gain goes no higher than 0 dB, the plain sum of the two channels"
                              : ": the window's bounds go no higher than 0 dBFS"));
    }
    return static_cast<float>(1.0 - std::pow(10.0, decibels / 20.0));
}

float fromHalfLife(double ms, const std::string& what) {
    const double value = 1.001 - ms / 1000.0;
    if (!(value >= -kHalfLifeSlack && value <= 1.0 + kHalfLifeSlack)) {
        throw UsageError(what + ": the level halves every 1 ms at the fastest and 1001 ms at the slowest");
    }
    return static_cast<float>(std::clamp(value, 0.0, 1.0));
}

float fromHold(double ms, double sampleRate, const std::string& what) {
    const double steps = std::nearbyint(ms / 1000.0 * sampleRate / zephyrion::kHoldStepFrames);
    if (!(steps >= 1.0 && steps <= kMostHoldSteps)) {
        throw UsageError(what + ": the hold lasts " + formatted("%.2f", holdMs(1.0f, sampleRate)) + " to " +
                         formatted("%.2f ms", holdMs(0.0f, sampleRate)) + " at " + rateText(sampleRate));
    }
    return static_cast<float>(1.0 - (steps - 1.0) / 1000.0);
}

} // namespace

double edgeHz(ParameterIndex side, float value, const ReadableContext& context) {
    const double c = zephyrion::filterCoefficient(value, context.freqMode);
    return edgeRadians(c, side == zephyrion::kFreqLo) / (2.0 * kPi) * context.sampleRate;
}

bool hasReadableForm(int index) {
    return unitOf(index) != Unit::None;
}

std::string describeReadable(int index, float value, const ReadableContext& context) {
    switch (index) {
    case zephyrion::kVolume: return "gain " + complementDecibels(value) + " dB";
    case zephyrion::kAmpLo: return "upper bound " + complementDecibels(value) + " dBFS";
    case zephyrion::kAmpHi: return "lower bound " + complementDecibels(value) + " dBFS";
    case zephyrion::kFreqLo:
        return "highpass edge " + edgeText(edgeHz(zephyrion::kFreqLo, value, context), context.sampleRate);
    case zephyrion::kFreqHi:
        return "lowpass edge " + edgeText(edgeHz(zephyrion::kFreqHi, value, context), context.sampleRate);
    case zephyrion::kFalloff: return "hold " + formatted("%.2f ms", holdMs(value, context.sampleRate));
    case zephyrion::kRelease: return "half-life " + formatted("%.1f ms", halfLifeMs(value));
    default: return "";
    }
}

std::string describeBand(const ParameterValues& values, double sampleRate) {
    using namespace zephyrion;
    const ReadableContext context{sampleRate, threeStepOf(values[kFreqMode])};
    const std::string highpass = edgeText(edgeHz(kFreqLo, values[kFreqLo], context), sampleRate);
    const std::string lowpass = edgeText(edgeHz(kFreqHi, values[kFreqHi], context), sampleRate);
    const std::string upper = complementDecibels(values[kAmpLo]);
    const std::string lower = complementDecibels(values[kAmpHi]);
    // The sides run in series while Freq.Lo < Freq.Hi, and side by side at half level otherwise.
    std::string line = values[kFreqLo] < values[kFreqHi]
                           ? "highpass " + highpass + ", lowpass " + lowpass
                           : "highpass " + highpass + " and lowpass " + lowpass + " in parallel";
    line += values[kAmpLo] > values[kAmpHi] ? ", window below " + upper + " or above " + lower + " dBFS"
                                            : ", window " + lower + " to " + upper + " dBFS";
    return line;
}

int tableIndexOf(std::string_view name) {
    for (const zephyrion::ParameterInfo& info : zephyrion::kParameters) {
        if (sameName(name, info.name)) {
            return info.index;
        }
    }
    return -1;
}

bool isPlainNumber(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

void checkReadable(int index, std::string_view text, const std::string& what) {
    const std::optional<Quantity> quantity = quantityOf(text);
    if (quantity && quantity->unit == unitOf(index) && quantity->unit != Unit::None) {
        return;
    }
    std::string forms = "a time such as 50ms";
    if (unitOf(index) == Unit::Hertz) {
        forms = "a frequency such as 120Hz or 2.5kHz";
    } else if (unitOf(index) == Unit::Decibel) {
        forms = index == zephyrion::kVolume ? "a gain such as -6dB" : "a level such as -30dB";
    }
    throw UsageError(what + ": use a number from 0 to 1, or " + forms);
}

float normalisedFrom(int index, std::string_view text, const ReadableContext& context,
                     const std::string& what) {
    checkReadable(index, text, what);
    const double amount = quantityOf(text)->amount;
    switch (unitOf(index)) {
    case Unit::Hertz: return fromHertz(index, amount, context, what);
    case Unit::Decibel: return fromDecibels(index, amount, what);
    default:
        return index == zephyrion::kRelease ? fromHalfLife(amount, what)
                                            : fromHold(amount, context.sampleRate, what);
    }
}

void resolveReadable(std::vector<ParameterRequest>& requests, double sampleRate, float freqModeBefore) {
    float freqMode = freqModeBefore;
    for (const ParameterRequest& request : requests) {
        if (tableIndexOf(request.name) == zephyrion::kFreqMode) {
            freqMode = request.value;
        }
    }
    const ReadableContext context{sampleRate, zephyrion::threeStepOf(freqMode)};
    for (ParameterRequest& request : requests) {
        if (!request.readable.empty()) {
            request.value =
                normalisedFrom(tableIndexOf(request.name), request.readable, context, request.option);
            request.readable.clear();
        }
    }
}

ParameterValues settledValues(const std::vector<ParameterRequest>& requests) {
    ParameterValues values{};
    for (const zephyrion::ParameterInfo& info : zephyrion::kParameters) {
        values[static_cast<std::size_t>(info.index)] = info.initial;
    }
    for (const ParameterRequest& request : requests) {
        const int index = tableIndexOf(request.name);
        if (index >= 0 && request.readable.empty()) {
            values[static_cast<std::size_t>(index)] = request.value;
        }
    }
    return values;
}

} // namespace zcli
