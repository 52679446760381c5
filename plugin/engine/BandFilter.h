// The frequency window: two cascades of sixteen one-pole lowpass sections each. The first cascade is the
// lowpass side; the second runs on the lowpass output (band pass) or on the input (band stop) and its
// output is subtracted from its input to give the highpass side.
//
// Every section performs s = float(s + c * (in - s)) in double precision. Within one sample the 32 sections
// depend on one another, so a sample-by-sample loop waits on 32 updates in a row. The filter instead runs a
// wavefront over a block: at step t, section k works on sample t - k, so all sections of one step are
// independent and run side by side in SSE2 registers, while every section still sees the same inputs,
// performs the same double operations in the same order and rounds to float at the same points.
#pragma once

#include <array>
#include <cstdint>

namespace zephyrion {

// What the filter needs from the parameters: the two coefficients and the topology.
struct BandSetting {
    float lowpassCoefficient = 1.0f;  // of the lowpass side, from Freq.Hi
    float highpassCoefficient = 0.1f; // of the highpass side, from Freq.Lo
    bool bandPass = true;             // Freq.Lo < Freq.Hi: the two sides in series
};

class BandFilter {
public:
    static constexpr int kSections = 32;

    // Filters `frames` mono samples of `input` into `output` (before clipping). Audio thread.
    void run(const float* input, float* output, std::int32_t frames, const BandSetting& setting);

    // The state of one section, 0..15 the lowpass side and 16..31 the other, in signal order.
    float section(int index) const;

private:
    // Register k holds section k in its low lane and section k + 16 in its high lane, so the input of every
    // register but the first is the previous step's value of the register before it.
    alignas(16) std::array<double, kSections> states{};
};

} // namespace zephyrion
