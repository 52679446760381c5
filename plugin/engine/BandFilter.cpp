#include "plugin/engine/BandFilter.h"

#include <emmintrin.h>

namespace zephyrion {

namespace {

constexpr int kRegisters = BandFilter::kSections / 2;
// A sample enters section 0 at step t and leaves section 31 at step t + kLag.
constexpr int kLag = BandFilter::kSections - 1;
// Keeps the lowpass output away from denormal numbers before it feeds the highpass side.
constexpr double kDenormalGuard = 1e-24;
// The lowpass outputs of the samples in flight: each is read up to 16 steps after it was made.
constexpr int kRingSize = 32;

inline __m128d roundToFloat(__m128d value) {
    return _mm_cvtps_pd(_mm_cvtpd_ps(value));
}

inline __m128d advance(__m128d state, __m128d input, __m128d coefficient) {
    return roundToFloat(_mm_add_pd(state, _mm_mul_pd(coefficient, _mm_sub_pd(input, state))));
}

inline __m128d choose(__m128d mask, __m128d whenSet, __m128d otherwise) {
    return _mm_or_pd(_mm_and_pd(mask, whenSet), _mm_andnot_pd(mask, otherwise));
}

inline float guarded(double lowpassOutput) {
    return static_cast<float>(lowpassOutput + kDenormalGuard);
}

inline float high(__m128d pair) {
    return static_cast<float>(_mm_cvtsd_f64(_mm_unpackhi_pd(pair, pair)));
}

// One run of the wavefront over a block. Steps in which every section has a sample are the fast path;
// at both ends of the block some sections have none, and those keep their state by taking it as input.
template <bool BandPass> class Wavefront {
public:
    Wavefront(double* stateMemory, const float* input, float* output, std::int32_t frames,
              const BandSetting& setting)
        : states(stateMemory), x(input), y(output), n(frames),
          coefficients(_mm_set_pd(setting.highpassCoefficient, setting.lowpassCoefficient)) {
        for (int k = 0; k < kRegisters; ++k) {
            r[k] = _mm_load_pd(states + 2 * k);
        }
    }

    ~Wavefront() {
        for (int k = 0; k < kRegisters; ++k) {
            _mm_store_pd(states + 2 * k, r[k]);
        }
    }

    void run() {
        const std::int32_t fullFrom = kLag;
        const std::int32_t fullTo = n; // exclusive
        std::int32_t t = 0;
        for (; t < fullFrom && t < n + kLag; ++t) {
            partialStep(t);
        }
        for (; t < fullTo; ++t) {
            fullStep(t);
        }
        for (; t < n + kLag; ++t) {
            partialStep(t);
        }
    }

private:
    // The input of the highpass side's first section for sample j.
    float highpassInput(std::int32_t j) const { return BandPass ? ring[j % kRingSize] : x[j]; }

    void fullStep(std::int32_t t) {
        const double feed = BandPass ? static_cast<double>(guarded(_mm_cvtsd_f64(r[kRegisters - 1])))
                                     : static_cast<double>(x[t - 16]);
        const __m128d first = _mm_set_pd(feed, x[t]);
#pragma GCC unroll 16
        for (int k = kRegisters - 1; k > 0; --k) {
            r[k] = advance(r[k], r[k - 1], coefficients);
        }
        r[0] = advance(r[0], first, coefficients);
        finishStep(t);
    }

    void partialStep(std::int32_t t) {
        const __m128d after = _mm_set1_pd(static_cast<double>(t) - n); // sections above it are active
        const __m128d upTo = _mm_set1_pd(static_cast<double>(t));      // and up to it
        const std::int32_t j = t - 16;
        const double lowFeed = t < n ? static_cast<double>(x[t]) : _mm_cvtsd_f64(r[0]);
        const double highFeed = j >= 0 && j < n ? static_cast<double>(highpassInput(j))
                                                : _mm_cvtsd_f64(_mm_unpackhi_pd(r[0], r[0]));
        const __m128d first = _mm_set_pd(highFeed, lowFeed);
        for (int k = kRegisters - 1; k > 0; --k) {
            const __m128d sections = _mm_set_pd(k + 16.0, k);
            const __m128d active = _mm_and_pd(_mm_cmpgt_pd(sections, after), _mm_cmple_pd(sections, upTo));
            r[k] = advance(r[k], choose(active, r[k - 1], r[k]), coefficients);
        }
        r[0] = advance(r[0], first, coefficients);
        finishStep(t);
    }

    // Section 15 has finished sample t - 15 and section 31 sample t - 31.
    void finishStep(std::int32_t t) {
        const std::int32_t lowpassed = t - 15;
        if (lowpassed >= 0 && lowpassed < n) {
            ring[lowpassed % kRingSize] = guarded(_mm_cvtsd_f64(r[kRegisters - 1]));
        }
        const std::int32_t done = t - kLag;
        if (done >= 0 && done < n) {
            const float lowpassOutput = ring[done % kRingSize];
            const double rest = high(r[kRegisters - 1]);
            if (BandPass) {
                y[done] = static_cast<float>(static_cast<double>(lowpassOutput) - rest);
            } else {
                const float highpassOutput = static_cast<float>(static_cast<double>(x[done]) - rest);
                y[done] = static_cast<float>((static_cast<double>(highpassOutput) + lowpassOutput) * 0.5);
            }
        }
    }

    double* states;
    const float* x;
    float* y;
    std::int32_t n;
    __m128d coefficients;
    __m128d r[kRegisters];
    float ring[kRingSize];
};

} // namespace

void BandFilter::run(const float* input, float* output, std::int32_t frames, const BandSetting& setting) {
    if (frames <= 0) {
        return;
    }
    if (setting.bandPass) {
        Wavefront<true>(states.data(), input, output, frames, setting).run();
    } else {
        Wavefront<false>(states.data(), input, output, frames, setting).run();
    }
}

float BandFilter::section(int index) const {
    const int k = index % kRegisters;
    return static_cast<float>(states[static_cast<std::size_t>(2 * k + index / kRegisters)]);
}

} // namespace zephyrion
