// Test signals, one channel each, and the stereo pairs the plug-ins take.
#pragma once

#include <cstddef>
#include <vector>

namespace testsupport {

using Signal = std::vector<float>;

// One sample of `amplitude` at `position`, silence elsewhere.
Signal impulse(std::size_t length, std::size_t position, float amplitude = 1.0f);
// A sine wave of `frequency` Hz, starting at phase 0.
Signal sine(std::size_t length, double frequency, double sampleRate, float amplitude = 1.0f);
// Silence with a sine burst of `burstLength` samples from `start`, phase 0 at the burst's start.
Signal burst(std::size_t length, std::size_t start, std::size_t burstLength, double frequency,
             double sampleRate, float amplitude = 1.0f);
// Kick-like hits from each start: 100 Hz from 60% of `level`, swelling over 2 ms and dying within a few
// tens of milliseconds. A kick band's level reaches a window several milliseconds after the first sample.
Signal kickHits(std::size_t length, const std::vector<std::size_t>& starts, double sampleRate, float level);
// Hits whose energy stays near one frequency, for telling bands apart: a sine of `frequency` Hz from phase 0
// at each start (no click to reach other bands) dying away with the time constant `decaySeconds`; at 55 Hz
// kick-like, at 220 Hz like a snare's body.
Signal toneHits(std::size_t length, const std::vector<std::size_t>& starts, double frequency,
                double decaySeconds, double sampleRate, float level);
// The same signal on both channels.
std::vector<Signal> stereo(const Signal& mono);
// Two silent channels, e.g. outputs.
std::vector<Signal> silentStereo(std::size_t length);
// The largest magnitude in a signal.
float peak(const Signal& signal);

} // namespace testsupport
