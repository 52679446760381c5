// The settings a host stores as 0..1, read as what they do at a sample rate, and back: the band's edges in
// Hz, the window's bounds in dBFS, the input gain in dB, the hold and the release in ms. A value typed with
// its unit ("120Hz", "2.5kHz", "-30dB", "50ms") becomes the nearest normalised value once the rate is known.
#pragma once

#include "plugin/parameters.h"
#include "tools/zephyrion/command_line.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zcli {

inline constexpr double kReadableRate = 44100.0; // where no audio file gives the rate

// What the readable forms depend on besides the value itself.
struct ReadableContext {
    double sampleRate = kReadableRate;
    int freqMode = 0; // the step of Freq.Mode: 0 linear, 1 exponential, 2 logarithmic
};

using ParameterValues = std::array<float, zephyrion::kNumRealParams>;

// The -3 dB point in Hz of one side of the band filter, all its sections together: the highpass side's for
// Freq.Lo, the lowpass side's for Freq.Hi. 0 when the side's coefficient is 0 (the lowpass then passes
// nothing, the highpass everything); infinity when the point lies above half the rate.
double edgeHz(zephyrion::ParameterIndex side, float value, const ReadableContext& context);

// True for Volume, Amp.Lo, Amp.Hi, Freq.Lo, Freq.Hi, Falloff and Release.
bool hasReadableForm(int index);
// The value in its unit, e.g. "gain -6.0 dB", "lower bound -4.4 dBFS", "lowpass edge 73.1 Hz", "hold 5.78
// ms".
std::string describeReadable(int index, float value, const ReadableContext& context);
// A band as one line: its two edges and its window, e.g. "highpass 0 Hz, lowpass 73.1 Hz, window -16.5 to
// 0.0 dBFS".
std::string describeBand(const ParameterValues& values, double sampleRate);

// The index in Zephyrion's table of a name as typed, -1 if none.
int tableIndexOf(std::string_view name);
// True when text is nothing but a number, which is a normalised value; otherwise it is read with its unit.
bool isPlainNumber(std::string_view text);
// Throws UsageError, starting with `what`, unless text is a number with a unit the parameter takes.
void checkReadable(int index, std::string_view text, const std::string& what);
// The normalised value whose meaning is nearest to text; throws UsageError, starting with `what`, when the
// parameter cannot reach it at this rate and frequency mode.
float normalisedFrom(int index, std::string_view text, const ReadableContext& context,
                     const std::string& what);

// Every request with a unit given its value at this rate, in the frequency mode the requests leave in force
// (`freqModeBefore` where none sets it).
void resolveReadable(std::vector<ParameterRequest>& requests, double sampleRate, float freqModeBefore);
// Zephyrion's values after the requests, from the table's defaults; names not in the table are passed over.
ParameterValues settledValues(const std::vector<ParameterRequest>& requests);

} // namespace zcli
